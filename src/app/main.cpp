// The program: picks the platform, creates the Store and runs one shell: the tray where there is
// a graphical session, the terminal otherwise or with --console.
#include <sys/resource.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "app/AppDelegate.h"
#include "app/ConsoleShell.h"
#include "app/PlatformSetup.h"
#include "core/Version.h"
#include "core/store/Store.h"

namespace {

void usage(FILE* to) {
    std::fprintf(to,
                 "usage: velora [--console] [--version] [--help]\n"
                 "\n"
                 "Lets a phone on the local network control this computer: pointer, keys,\n"
                 "text, media keys, power actions and a live view of the screen.\n"
                 "\n"
                 "  --console  run in the terminal instead of the system tray (the default\n"
                 "             when there is no graphical session)\n"
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

// The tray shell. A panel started with the same session may put up its tray after us; the icon
// appears once it does, and the pairing window works without one.
int runTray(int& argc, char** argv, std::shared_ptr<velora::Store> store, const char* display) {
    std::printf("Velora %s \xE2\x80\x94 tray shell\n", velora::kVersion);
    std::fflush(stdout);
    QApplication app(argc, argv);
    app.setApplicationName("velora");
    app.setQuitOnLastWindowClosed(false);
    velora::ShellOptions options;
    options.autoStart = velora::autoStartProfile();
    velora::Platform platform = velora::makePlatform(display);
    // Login starts the installed program even when a build tree turned the option on.
    if (velora::isInstalledProgram(velora::programPath())) {
        velora::AutoStart::adopt(options.autoStart, *platform.launcher);
    }
    velora::AppDelegate delegate(std::move(store), std::move(platform), options);
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
    auto store = std::make_shared<velora::Store>(velora::settingsFolder());
    const char* display = std::getenv("DISPLAY");
    if (!console && velora::displayReachable(display)) return runTray(argc, argv, store, display);
    velora::ConsoleShell shell(store, velora::makePlatform(display), std::cout);
    return shell.run(std::cin);
}
