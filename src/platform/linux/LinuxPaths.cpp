#include "platform/linux/LinuxPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

#include "core/Store.h"

namespace velora::linux_ {

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && std::filesystem::path(home).is_absolute()) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && std::filesystem::path(found->pw_dir).is_absolute()) {
        return found->pw_dir;
    }
    return {};
}

std::filesystem::path runningExecutable() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::filesystem::path settingsFolder() {
    return linuxConfigFolder(std::getenv("XDG_CONFIG_HOME"), homeFolder().c_str());
}

AutoStartProfile autoStartProfile() {
    const auto configHome = xdgConfigHome(std::getenv("XDG_CONFIG_HOME"), homeFolder().c_str());
    return linuxAutoStartProfile(configHome, programFile(runningExecutable()));
}

}  // namespace velora::linux_
