#include "platform/linux/LinuxLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace velora::linux_ {

namespace {

// A descriptor that turns readable when the process ends (pidfd_open, Linux 5.3), or -1.
int processDescriptor(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

}  // namespace

pid_t spawnQuietly(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty()) return 0;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The control sockets must not live on in a child that outlasts the program.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    // A child starts with no blocked signals and default handlers, whatever this thread has.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args.front(), &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

LinuxLauncher::~LinuxLauncher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (reaper_.joinable()) {
        wake();
        reaper_.join();
    }
    reapExited();
    for (const Child& child : children_)
        if (child.pidfd >= 0) close(child.pidfd);
    if (wakeFd_ >= 0) close(wakeFd_);
}

bool LinuxLauncher::launch(const std::vector<std::string>& argv) {
    const pid_t pid = spawnQuietly(argv);
    if (pid == 0) return false;
    std::lock_guard lock(mutex_);
    children_.push_back({pid, processDescriptor(pid)});
    if (!reaper_.joinable()) {
        wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        reaper_ = std::thread([this] { reapLoop(); });
    } else {
        wake();
    }
    return true;
}

void LinuxLauncher::run(const std::vector<std::string>& argv) {
    const pid_t pid = spawnQuietly(argv);
    if (pid == 0) return;
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void LinuxLauncher::wake() {
    if (wakeFd_ < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
}

// Waits for any of our children to end (a process descriptor turning readable) or for a new
// child or the stop request (the event descriptor), then collects whoever has ended.
void LinuxLauncher::reapLoop() {
    for (;;) {
        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}};
        bool undescribed = false;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            for (const Child& child : children_) {
                if (child.pidfd >= 0)
                    fds.push_back({child.pidfd, POLLIN, 0});
                else
                    undescribed = true;
            }
        }
        poll(fds.data(), fds.size(), undescribed ? 1000 : -1);
        uint64_t count = 0;
        [[maybe_unused]] const auto got = read(wakeFd_, &count, sizeof count);
        reapExited();
    }
}

void LinuxLauncher::reapExited() {
    std::lock_guard lock(mutex_);
    std::erase_if(children_, [](const Child& child) {
        const pid_t result = waitpid(child.pid, nullptr, WNOHANG);
        if (result == 0 || (result < 0 && errno == EINTR)) return false;
        if (child.pidfd >= 0) close(child.pidfd);
        return true;
    });
}

}  // namespace velora::linux_
