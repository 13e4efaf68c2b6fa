// The program: picks the platform, creates the Store and runs one shell.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

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
    if (!console && display != nullptr) {
        std::fprintf(stderr, "velora: this build has no tray shell; running in the terminal\n");
    }
    velora::Platform platform = velora::makePlatform(display);
    velora::ConsoleShell shell(store, std::move(platform), std::cout);
    return shell.run(std::cin);
}
