// Where the Linux program finds its user's folders and itself.
#pragma once

#include <filesystem>

#include "core/AutoStart.h"

namespace velora::linux_ {

// $HOME when absolute, else the home folder of the user's password entry; empty if neither.
std::filesystem::path homeFolder();
// The running program's absolute path (/proc/self/exe), or empty when it cannot be read.
std::filesystem::path runningExecutable();
// The settings folder: $XDG_CONFIG_HOME/velora, else ~/.config/velora.
std::filesystem::path settingsFolder();
// Launch at login for this user and this program.
AutoStartProfile autoStartProfile();

}  // namespace velora::linux_
