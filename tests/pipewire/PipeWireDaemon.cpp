#include "PipeWireDaemon.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace velora::test {

namespace {

// How long a daemon may take to open its socket on a loaded machine.
constexpr auto kStartLimit = std::chrono::seconds(20);

bool exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

PipeWireDaemon& PipeWireDaemon::instance() {
    static PipeWireDaemon daemon;
    return daemon;
}

PipeWireDaemon::PipeWireDaemon() {
    char pattern[] = "/tmp/velora-pipewire-XXXXXX";
    if (!mkdtemp(pattern)) {
        unavailable_ = "no temporary folder";
        return;
    }
    dir_ = pattern;
    chmod(dir_.c_str(), 0700);
    // Everything started from here, this process's own clients included, finds the daemon
    // through these.
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    setenv("XDG_STATE_HOME", (dir_ + "/state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir_ + "/bus").c_str(), 1);
    unsetenv("PIPEWIRE_REMOTE");

    // The session manager needs a session bus.
    const pid_t bus = spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                             "--address=unix:path=" + dir_ + "/bus"},
                            "dbus.log");
    if (!waitForSocket(dir_ + "/bus", bus)) {
        unavailable_ = "dbus-daemon did not start (see " + dir_ + "/dbus.log)";
        return;
    }
    const pid_t daemon = spawn({"pipewire"}, "pipewire.log");
    if (!waitForSocket(dir_ + "/pipewire-0", daemon)) {
        unavailable_ = "pipewire did not start (see " + dir_ + "/pipewire.log)";
        return;
    }
    // It links each viewer's stream to its node; the tests wait for the links themselves.
    const pid_t manager = spawn({"wireplumber"}, "wireplumber.log");
    if (manager < 0) unavailable_ = "wireplumber could not be started";
}

PipeWireDaemon::~PipeWireDaemon() {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        kill(*it, SIGTERM);
        waitpid(*it, nullptr, 0);
    }
    if (!dir_.empty() && unavailable_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

pid_t PipeWireDaemon::spawn(const std::vector<std::string>& argv, const std::string& log) {
    const std::string logPath = dir_ + "/" + log;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // A test program that dies without its destructors still takes the daemons with it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int out = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    if (pid > 0) children_.push_back(pid);
    return pid;
}

bool PipeWireDaemon::waitForSocket(const std::string& path, pid_t owner) {
    if (owner < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) return true;
        if (exited(owner)) {
            std::erase(children_, owner);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

int PipeWireDaemon::connect() const {
    if (!unavailable_.empty()) return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = dir_ + "/pipewire-0";
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
        return fd;
    if (fd >= 0) close(fd);
    return -1;
}

}  // namespace velora::test
