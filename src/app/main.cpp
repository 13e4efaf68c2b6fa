// The program: picks the platform, creates the Store and runs one shell: the tray where there is
// a display with a system tray, the terminal otherwise.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/AppDelegate.h"
#include "app/ConsoleShell.h"
#include "app/PlatformSetup.h"
#include "core/Store.h"
#include "core/Version.h"
#include "platform/linux/LinuxPaths.h"

namespace {

void usage(FILE* to) {
    std::fprintf(to,
                 "usage: velora [--console] [--version] [--help]\n"
                 "\n"
                 "Lets a phone on the local network control this computer: pointer, keys,\n"
                 "text, media keys, power actions and a live view of the screen.\n"
                 "\n"
                 "  --console  run in the terminal instead of the system tray (the default\n"
                 "             when there is no graphical session or no system tray)\n"
                 "  --version  print the version and exit\n"
                 "  --help     print this help and exit\n"
                 "\n"
                 "Settings, paired phones and the activity log: $XDG_CONFIG_HOME/velora/\n"
                 "(~/.config/velora/). Language: VELORA_LANG, else the locale.\n");
}

// Every phone and viewer is a descriptor, and the usual soft limit of 1024 leaves little room
// above a thousand phones; the hard limit is what the system grants this user.
void raiseFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// A panel started with the same session may put up its tray a moment after us.
bool waitForSystemTray() {
    constexpr int kWaitMs = 3000;
    QElapsedTimer waited;
    waited.start();
    while (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (waited.elapsed() >= kWaitMs) return false;
        QApplication::processEvents();
        QThread::msleep(100);
    }
    return true;
}

// The tray shell's exit status, or none when this display has no system tray.
std::optional<int> runTray(int& argc, char** argv, std::shared_ptr<velora::Store> store,
                           const char* display) {
    QApplication app(argc, argv);
    app.setApplicationName("velora");
    app.setQuitOnLastWindowClosed(false);
    if (!waitForSystemTray()) return std::nullopt;
    velora::ShellOptions options;
    options.autoStart = velora::linux_::autoStartProfile();
    velora::AppDelegate delegate(std::move(store), velora::makePlatform(display), options);
    delegate.launch();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    bool console = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            std::printf("velora %s\n", velora::kVersion);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--console") {
            console = true;
            continue;
        }
        std::fprintf(stderr, "velora: unknown option %s\n\n", argv[i]);
        usage(stderr);
        return 2;
    }
    raiseFileLimit();
    auto store = std::make_shared<velora::Store>(velora::linux_::settingsFolder());
    const char* display = std::getenv("DISPLAY");
    if (!console && velora::displayReachable(display)) {
        if (const auto status = runTray(argc, argv, store, display)) return *status;
        std::fprintf(stderr, "velora: no system tray on this display; running in the terminal\n");
    }
    velora::ConsoleShell shell(store, velora::makePlatform(display), std::cout);
    return shell.run(std::cin);
}
