#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "core/store/AutoStart.h"

using namespace velora;
using namespace velora::testing_support;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

// Records each command and whether the watched file existed when it ran.
class RecordingLauncher : public Launcher {
public:
    explicit RecordingLauncher(fs::path watched) : watched_(std::move(watched)) {}
    bool launch(const Args& argv) override {
        ran.push_back(argv);
        return true;
    }
    void run(const Args& argv) override {
        ran.push_back(argv);
        fileExisted.push_back(fs::exists(watched_));
    }
    std::vector<Args> ran;
    std::vector<bool> fileExisted;

private:
    fs::path watched_;
};

}  // namespace

TEST(DesktopExec, QuotesAndEscapesReservedCharacters) {
    EXPECT_EQ(desktopExecArgument("/usr/bin/velora"), "/usr/bin/velora");
    EXPECT_EQ(desktopExecArgument("/opt/My Apps/velora"), "\"/opt/My Apps/velora\"");
    // A dollar sign and a backslash need both the quoting and the string-value escape.
    EXPECT_EQ(desktopExecArgument("/a$b"), "\"/a\\\\$b\"");
    EXPECT_EQ(desktopExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(desktopExecArgument("/100%/v"), "/100%%/v");
}

TEST(AutoStart, LinuxEntryIsWrittenAndRemovedWithoutLauncher) {
    TempFolder home;
    const auto profile = linuxAutoStartProfile(home.path / ".config", "/opt/Velora Apps/velora");
    RecordingLauncher launcher(profile.file);
    EXPECT_EQ(profile.file, home.path / ".config/autostart/velora.desktop");
    EXPECT_FALSE(AutoStart::isOn(profile));

    AutoStart::set(profile, true, launcher);
    EXPECT_TRUE(AutoStart::isOn(profile));
    EXPECT_EQ(
        readFile(profile.file),
        "[Desktop Entry]\nType=Application\nName=Velora\n"
        "Exec=\"/opt/Velora Apps/velora\"\nX-GNOME-Autostart-enabled=true\nNoDisplay=false\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(profile.file.parent_path()), {}), 1);

    AutoStart::set(profile, false, launcher);
    EXPECT_FALSE(AutoStart::isOn(profile));
    EXPECT_TRUE(launcher.ran.empty());
}

TEST(AutoStart, MacAgentOpensTheBundleAndIsLoadedAroundTheFile) {
    TempFolder home;
    const auto profile = macAutoStartProfile(home.path, "/Applications/Velora & Co.app/", "/x/v");
    const fs::path agent = home.path / "Library/LaunchAgents/com.quorin.velora.mac.plist";
    ASSERT_EQ(profile.file, agent);
    RecordingLauncher launcher(agent);

    AutoStart::set(profile, true, launcher);
    EXPECT_EQ(readFile(agent),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
              "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
              "<plist version=\"1.0\">\n<dict>\n"
              "\t<key>Label</key>\n\t<string>com.quorin.velora.mac</string>\n"
              "\t<key>ProgramArguments</key>\n\t<array>\n"
              "\t\t<string>/usr/bin/open</string>\n\t\t<string>-a</string>\n"
              "\t\t<string>/Applications/Velora &amp; Co.app</string>\n"
              "\t</array>\n\t<key>RunAtLoad</key>\n\t<true/>\n</dict>\n</plist>\n");

    // Enabling again after a move records the new location in the one file.
    AutoStart::set(macAutoStartProfile(home.path, "/tmp/bin", "/tmp/bin/velora"), true, launcher);
    EXPECT_NE(readFile(agent).find("<array>\n\t\t<string>/tmp/bin/velora</string>\n\t</array>"),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(agent.parent_path()), {}), 1);

    AutoStart::set(profile, false, launcher);
    AutoStart::set(profile, false, launcher);
    const Args load{"/bin/launchctl", "load", "-w", agent.string()};
    const Args unload{"/bin/launchctl", "unload", "-w", agent.string()};
    EXPECT_EQ(launcher.ran, (std::vector<Args>{load, load, unload, unload}));
    EXPECT_EQ(launcher.fileExisted, (std::vector<bool>{true, true, true, false}));
    EXPECT_FALSE(AutoStart::isOn(profile));
}

TEST(AutoStart, MacLoadsEvenWhenTheAgentCannotBeWritten) {
    TempFolder home;
    writeFile(home.path / "Library/LaunchAgents", "in the way");
    const auto profile = macAutoStartProfile(home.path, "/opt/velora", "");
    RecordingLauncher launcher(profile.file);
    AutoStart::set(profile, true, launcher);
    EXPECT_FALSE(AutoStart::isOn(profile));
    ASSERT_EQ(launcher.ran.size(), 1u);
    EXPECT_EQ(launcher.ran[0][1], "load");
    EXPECT_EQ(launchArgs("/opt/velora", ""), Args{""});
    EXPECT_EQ(launchArgs("/opt/Velora.apps", "/opt/v"), Args{"/opt/v"});
}

TEST(AutoStart, TheProgramToStartIsTheFileNowInPlace) {
    EXPECT_EQ(programFile("/usr/bin/velora"), "/usr/bin/velora");
    // A package upgrade or a rebuild replaced the file while the program ran.
    EXPECT_EQ(programFile("/usr/bin/velora (deleted)"), "/usr/bin/velora");
    EXPECT_EQ(programFile("/src/My (deleted) build/velora (deleted)"),
              "/src/My (deleted) build/velora");
    EXPECT_EQ(programFile(""), "");
}

TEST(AutoStart, AnInstalledProgramLiesBesideItsDesktopEntry) {
    TempFolder root;
    writeFile(root.path / "usr/bin/velora", "");
    writeFile(root.path / "src/build/velora", "");
    EXPECT_FALSE(isInstalledProgram(root.path / "usr/bin/velora"));
    writeFile(root.path / "usr/share/applications/velora.desktop", "[Desktop Entry]\n");
    EXPECT_TRUE(isInstalledProgram(root.path / "usr/bin/velora"));
    EXPECT_FALSE(isInstalledProgram(root.path / "src/build/velora"));
    // A build tree that holds a share folder of its own is still no install.
    writeFile(root.path / "src/share/applications/velora.desktop", "[Desktop Entry]\n");
    EXPECT_FALSE(isInstalledProgram(root.path / "src/build/velora"));
}

TEST(AutoStart, AdoptingRewritesOnlyAnEntryThatStartsAnotherProgram) {
    TempFolder home;
    const auto installed = linuxAutoStartProfile(home.path / ".config", "/usr/bin/velora");
    const auto built = linuxAutoStartProfile(home.path / ".config", "/src/build/velora");
    RecordingLauncher launcher(installed.file);

    AutoStart::adopt(installed, launcher);
    EXPECT_FALSE(AutoStart::isOn(installed)) << "an option that is off stays off";

    AutoStart::set(built, true, launcher);
    AutoStart::adopt(installed, launcher);
    EXPECT_EQ(readFile(installed.file), installed.contents);

    // A rewrite renames a new file into place, so an entry already right keeps its inode.
    struct stat before {};
    struct stat after {};
    ASSERT_EQ(::stat(installed.file.c_str(), &before), 0);
    AutoStart::adopt(installed, launcher);
    ASSERT_EQ(::stat(installed.file.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_TRUE(launcher.ran.empty());
}
