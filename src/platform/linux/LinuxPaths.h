// Where the Linux program finds its user's folders and itself.
#pragma once

#include <filesystem>

namespace velora::linux_ {

// $HOME when absolute, else the home folder of the user's password entry; empty if neither.
std::filesystem::path homeFolder();
// The running program's absolute path (/proc/self/exe), or empty when it cannot be read.
std::filesystem::path runningExecutable();
// The user's configuration folder: $XDG_CONFIG_HOME when set and absolute, else $HOME/.config;
// empty when neither gives an absolute path.
std::filesystem::path xdgConfigHome(const char* xdgConfigHomeVar, const char* home);
// The same for this process's environment and home folder.
std::filesystem::path configHome();

}  // namespace velora::linux_
