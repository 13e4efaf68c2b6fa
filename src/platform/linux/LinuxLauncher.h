// Child processes for power actions: started without waiting, always reaped.
#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace velora::linux_ {

// Starts programs found on PATH with standard streams on /dev/null, no inherited descriptors
// beyond them and default signal handling. A reaper thread, started with the first launch,
// collects the exit of every child it started (and of no other process), so none is left a
// zombie while the launcher lives.
class LinuxLauncher : public Launcher {
public:
    LinuxLauncher() = default;
    ~LinuxLauncher() override;
    LinuxLauncher(const LinuxLauncher&) = delete;
    LinuxLauncher& operator=(const LinuxLauncher&) = delete;

    bool launch(const std::vector<std::string>& argv) override;
    void run(const std::vector<std::string>& argv) override;

private:
    struct Child {
        pid_t pid;
        int pidfd;  // -1 where the kernel has no process descriptors: then polled each second
    };

    void reapLoop();
    void reapExited();
    void wake();

    std::mutex mutex_;
    std::vector<Child> children_;
    int wakeFd_ = -1;
    bool stopping_ = false;
    std::thread reaper_;
};

// Starts `argv` as described for LinuxLauncher; 0 when it cannot start.
pid_t spawnQuietly(const std::vector<std::string>& argv);

}  // namespace velora::linux_
