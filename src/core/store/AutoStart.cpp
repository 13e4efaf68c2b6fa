#include "core/store/AutoStart.h"

#include <system_error>

#include "core/store/Files.h"

namespace velora {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kEntryMode = 0644;
constexpr const char* kAgentLabel = "com.quorin.velora.mac";
constexpr const char* kLaunchctl = "/bin/launchctl";

// Characters that force an Exec argument into double quotes.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";

std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// "a/b.app/" names b.app.
fs::path withoutTrailingSeparator(const fs::path& path) {
    return path.has_filename() ? path : path.parent_path();
}

}  // namespace

std::string desktopExecArgument(std::string_view argument) {
    std::string quoted;
    const bool needsQuotes = argument.find_first_of(kReservedInExec) != std::string_view::npos;
    if (needsQuotes) {
        quoted += '"';
    }
    for (const char c : argument) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            quoted += '\\';
        }
        quoted += c == '%' ? "%%" : std::string(1, c);
    }
    if (needsQuotes) {
        quoted += '"';
    }
    // The string-value escapes apply before the quoting rules when the entry is read.
    std::string value;
    for (const char c : quoted) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

fs::path programFile(const fs::path& running) {
    constexpr std::string_view kReplaced = " (deleted)";
    const std::string_view name = running.native();
    if (!name.ends_with(kReplaced)) {
        return running;
    }
    return fs::path(name.substr(0, name.size() - kReplaced.size()));
}

bool isInstalledProgram(const fs::path& program) {
    const fs::path bin = program.parent_path();
    std::error_code ec;
    return bin.filename() == "bin" &&
           fs::is_regular_file(bin.parent_path() / "share" / "applications" / "velora.desktop", ec);
}

std::string desktopEntry(const fs::path& executable) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velora\n"
           "Exec=" +
           desktopExecArgument(executable.string()) +
           "\n"
           "X-GNOME-Autostart-enabled=true\n"
           "NoDisplay=false\n";
}

AutoStartProfile linuxAutoStartProfile(const fs::path& configHome, const fs::path& executable) {
    if (configHome.empty()) {
        return {};
    }
    return {configHome / "autostart" / "velora.desktop", desktopEntry(executable), {}, {}};
}

std::vector<std::string> launchArgs(const fs::path& bundle, const fs::path& executable) {
    const fs::path bundlePath = withoutTrailingSeparator(bundle);
    if (bundlePath.extension() == ".app") {
        return {"/usr/bin/open", "-a", bundlePath.string()};
    }
    return {executable.string()};
}

std::string launchAgentPlist(const std::vector<std::string>& programArguments) {
    std::string plist =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n"
        "<dict>\n"
        "\t<key>Label</key>\n"
        "\t<string>" +
        xmlEscaped(kAgentLabel) +
        "</string>\n"
        "\t<key>ProgramArguments</key>\n"
        "\t<array>\n";
    for (const std::string& argument : programArguments) {
        plist += "\t\t<string>" + xmlEscaped(argument) + "</string>\n";
    }
    plist +=
        "\t</array>\n"
        "\t<key>RunAtLoad</key>\n"
        "\t<true/>\n"
        "</dict>\n"
        "</plist>\n";
    return plist;
}

AutoStartProfile macAutoStartProfile(const fs::path& home, const fs::path& bundle,
                                     const fs::path& executable) {
    const fs::path file = home / "Library" / "LaunchAgents" / (std::string(kAgentLabel) + ".plist");
    return {file,
            launchAgentPlist(launchArgs(bundle, executable)),
            {kLaunchctl, "load", "-w", file.string()},
            {kLaunchctl, "unload", "-w", file.string()}};
}

namespace AutoStart {

bool isOn(const AutoStartProfile& profile) {
    std::error_code ec;
    return fs::exists(profile.file, ec);
}

void set(const AutoStartProfile& profile, bool on, Launcher& launcher) {
    if (profile.file.empty()) {
        return;
    }
    std::error_code ec;
    if (on) {
        fs::create_directories(profile.file.parent_path(), ec);
        files::writeAtomically(profile.file, profile.contents, kEntryMode);
        // Loaded even when the write failed, so an earlier agent file is still registered.
        if (!profile.loadCommand.empty()) {
            launcher.run(profile.loadCommand);
        }
        return;
    }
    // Unloaded while the file still exists, so launchctl can find the job by its file.
    if (!profile.unloadCommand.empty()) {
        launcher.run(profile.unloadCommand);
    }
    fs::remove(profile.file, ec);
}

void adopt(const AutoStartProfile& profile, Launcher& launcher) {
    bool missing = false;
    const auto current = files::readWhole(profile.file, &missing);
    if (!missing && current != profile.contents) {
        set(profile, true, launcher);
    }
}

}  // namespace AutoStart
}  // namespace velora
