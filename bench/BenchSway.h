// A headless sway of the benchmark's own: one HEADLESS-1 output of a given size, software
// rendering. Debian's sway refuses to run as root, so as root it runs as nobody (uid 65534) in
// a runtime folder that user owns; the benchmark itself connects to its socket by path.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "BenchProcess.h"

namespace bench {

struct Sway {
    pid_t pid = 0;
    std::filesystem::path folder;
    // The compositor's socket, an absolute path.
    std::string socket;
};

inline void stopSway(Sway& sway) {
    end(sway.pid);
    sway.pid = 0;
    if (!sway.folder.empty()) std::filesystem::remove_all(sway.folder);
}

// Started, with its socket up; pid 0 when it could not be.
inline Sway startSway(int width, int height) {
    namespace fs = std::filesystem;
    Sway sway;
    sway.folder = fs::temp_directory_path() / ("velora-bench-sway-" + std::to_string(getpid()));
    const fs::path runtime = sway.folder / "run";
    fs::create_directories(runtime);
    chmod(sway.folder.c_str(), 0755);
    chmod(runtime.c_str(), 0700);
    const bool root = geteuid() == 0;
    if (root && chown(runtime.c_str(), 65534, 65534) != 0) return sway;
    const std::string config = (sway.folder / "config").string();
    std::ofstream(config) << "output HEADLESS-1 resolution " << width << "x" << height
                          << " position 0 0 bg #204060 solid_color\n"
                          << "default_border none\nfocus_follows_mouse no\n";
    chmod(config.c_str(), 0644);
    std::vector<std::string> argv = {"env",
                                     "XDG_RUNTIME_DIR=" + runtime.string(),
                                     "WLR_BACKENDS=headless",
                                     "WLR_LIBINPUT_NO_DEVICES=1",
                                     "WLR_RENDERER=pixman",
                                     "sway",
                                     "-c",
                                     config};
    if (root)
        argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    // setpriv and env exec the compositor in their own process: the id is sway's.
    sway.pid = spawn(argv);
    for (int i = 0; sway.pid && i < 200; ++i) {
        for (const auto& entry : fs::directory_iterator(runtime))
            if (entry.path().filename().string().starts_with("wayland-") &&
                entry.path().extension() != ".lock")
                sway.socket = entry.path().string();
        if (!sway.socket.empty()) return sway;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    stopSway(sway);
    return sway;
}

}  // namespace bench
