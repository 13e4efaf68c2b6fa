// A private PipeWire daemon for the tests: a session bus, pipewire and its session manager in a
// runtime folder of their own, started once for the test program and ended by process id.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace velora::test {

class PipeWireDaemon {
public:
    // Starts the daemon the first time; later calls see how that went.
    static PipeWireDaemon& instance();
    ~PipeWireDaemon();

    // Empty when the daemon runs, else why it does not.
    const std::string& unavailable() const { return unavailable_; }
    // A new socket connected to the daemon, or -1.
    int connect() const;

private:
    PipeWireDaemon();
    pid_t spawn(const std::vector<std::string>& argv, const std::string& log);
    bool waitForSocket(const std::string& path, pid_t owner);

    std::string dir_;
    std::vector<pid_t> children_;
    std::string unavailable_;
};

}  // namespace velora::test
