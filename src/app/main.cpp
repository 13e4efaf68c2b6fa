// The program: picks the platform, creates the Store and runs one shell: the tray where there is
// a graphical session, the terminal otherwise or with --console.
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "app/AppDelegate.h"
#include "app/ConsoleShell.h"
#include "app/PlatformSetup.h"
#include "app/StatusChannel.h"
#include "core/Text.h"
#include "core/Version.h"
#include "core/shell/BackendNotice.h"
#include "core/shell/L.h"
#include "core/store/InstanceLock.h"
#include "core/store/Store.h"

namespace {

void usage(FILE* to) {
    std::fprintf(to,
                 "usage: velora [--console] [--x11] [--version] [--help]\n"
                 "\n"
                 "Lets a phone on the local network control this computer: pointer, keys,\n"
                 "text, media keys, power actions and a live view of the screen.\n"
                 "\n"
                 "  --console  run in the terminal instead of the system tray (the default\n"
                 "             when there is no graphical session)\n"
                 "  --x11      use the X11 backend in a Wayland session (input then reaches\n"
                 "             only the X programs that run under Xwayland)\n"
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

// How long a pairing request is shown before Allow counts. VELORA_ALLOW_DELAY_MS can lengthen it
// (tests make a too-early Allow certain that way); nothing shortens it below a second.
std::chrono::milliseconds allowDelay() {
    const char* value = std::getenv("VELORA_ALLOW_DELAY_MS");
    const auto ms = value ? velora::text::parseInt64(value) : std::nullopt;
    return std::chrono::milliseconds(std::max<int64_t>(1000, ms.value_or(0)));
}

// The tray shell's second line names the backend; what could not start is said once, in the
// person's language, and in the log with its fixed text.
void announceBackend(const velora::Platform& platform, velora::Store& store) {
    std::printf("Input and screen: %s\n", platform.backend.c_str());
    if (platform.unavailable.empty()) return;
    std::printf("%s\n", velora::backendNotice(platform, velora::L::lang()).c_str());
    store.log(platform.unavailable);
}

// The tray shell. A panel started with the same session may put up its tray after us; the icon
// appears once it does, and the pairing window works without one.
int runTray(int& argc, char** argv, std::shared_ptr<velora::Store> store, velora::Platform platform,
            const velora::InstanceLock& lock) {
    std::printf("Velora %s \xE2\x80\x94 tray shell\n", velora::kVersion);
    announceBackend(platform, *store);
    std::fflush(stdout);
    QApplication app(argc, argv);
    app.setApplicationName("velora");
    app.setQuitOnLastWindowClosed(false);
    velora::ShellOptions options;
    options.autoStart = velora::autoStartProfile();
    options.statusSocket = lock.statusSocket();
    options.allowDelay = allowDelay();
    // Login starts the installed program even when a build tree turned the option on.
    if (velora::isInstalledProgram(velora::programPath())) {
        velora::AutoStart::adopt(options.autoStart, *platform.launcher);
    }
    velora::AppDelegate delegate(std::move(store), std::move(platform), options);
    delegate.launch();
    return app.exec();
}

// A second start changes nothing: it names the running instance and, in a graphical session,
// asks that one to show its status.
int alreadyRunning(const velora::InstanceLock& lock, bool graphical) {
    const std::string pid = lock.holder() ? " (process " + std::to_string(lock.holder()) + ")" : "";
    std::fprintf(stderr, "velora: Velora is already running%s\n", pid.c_str());
    if (graphical && velora::StatusChannel::request(lock.statusSocket())) {
        std::fprintf(stderr, "velora: asked it to show its status\n");
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool console = false;
    bool forceX11 = false;
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
        if (arg == "--x11") {
            forceX11 = true;
            continue;
        }
        std::fprintf(stderr, "velora: unknown option %s\n\n", argv[i]);
        usage(stderr);
        return 2;
    }
    raiseFileLimit();
    const char* display = std::getenv("DISPLAY");
    const velora::SessionKind kind = velora::currentSessionKind(forceX11);
    const bool graphical =
        !console && (velora::displayReachable(display) ||
                     (kind == velora::SessionKind::Wayland && velora::compositorReachable()));
    // Taken before the Store, which rewrites config.json as it loads.
    const velora::InstanceLock lock(velora::settingsFolder());
    if (!lock.held()) return alreadyRunning(lock, graphical);
    if (!graphical) velora::ConsoleShell::blockSignals();
    auto store = std::make_shared<velora::Store>(velora::settingsFolder());
    velora::Platform platform = velora::makePlatform(kind, display);
    if (graphical) return runTray(argc, argv, store, std::move(platform), lock);
    velora::ConsoleShell shell(store, std::move(platform), std::cout, allowDelay());
    return shell.run(std::cin);
}
