// Launch at login. The presence of one file is the whole state; a profile says, per platform,
// which file it is, what it holds and which commands register it with the system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace velora {

struct AutoStartProfile {
    std::filesystem::path file;
    std::string contents;
    // Run after the file is written, and before it is removed; empty where nothing is registered.
    std::vector<std::string> loadCommand;
    std::vector<std::string> unloadCommand;
};

// Linux: the XDG autostart entry <configHome>/autostart/velora.desktop starting `executable`;
// a profile without a file (which `set` leaves alone) when `configHome` is empty.
AutoStartProfile linuxAutoStartProfile(const std::filesystem::path& configHome,
                                       const std::filesystem::path& executable);
// The file to start for the running program, from the name /proc/self/exe gives: a program whose
// file was replaced while it ran (an upgrade or a rebuild) is named "<file> (deleted)", and the
// file now at its place is the one to start.
std::filesystem::path programFile(const std::filesystem::path& running);
// Whether `program` is an installed Velora: installation puts it in a bin folder beside
// share/applications/velora.desktop, which a build tree does not have.
bool isInstalledProgram(const std::filesystem::path& program);
// The desktop entry that starts `executable` at login.
std::string desktopEntry(const std::filesystem::path& executable);
// One argument of a desktop entry's Exec key: quoted when it holds a reserved character, with
// field-code and string-value escapes applied.
std::string desktopExecArgument(std::string_view argument);

// macOS profile: the launch agent <home>/Library/LaunchAgents/com.quorin.velora.mac.plist,
// loaded and unloaded with launchctl. `executable` is empty when the bundle reports none.
AutoStartProfile macAutoStartProfile(const std::filesystem::path& home,
                                     const std::filesystem::path& bundle,
                                     const std::filesystem::path& executable);
// The agent's program: an application bundle is opened with "/usr/bin/open -a", anything else is
// run as its executable alone.
std::vector<std::string> launchArgs(const std::filesystem::path& bundle,
                                    const std::filesystem::path& executable);
// The agent's XML property list: Label, ProgramArguments and RunAtLoad.
std::string launchAgentPlist(const std::vector<std::string>& programArguments);

namespace AutoStart {

bool isOn(const AutoStartProfile& profile);
// Writes the file and loads it (on), or unloads it and removes the file (off). Failures are
// silent; the file's presence afterwards shows the result.
void set(const AutoStartProfile& profile, bool on, Launcher& launcher);
// Rewrites a file that is on but starts something else (a build tree, an older install), so that
// login starts this program; an installed program calls this as it starts.
void adopt(const AutoStartProfile& profile, Launcher& launcher);

}  // namespace AutoStart
}  // namespace velora
