#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/linux/LinuxLauncher.h"

namespace velora::linux_ {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Children of this process that have ended but not been collected.
int zombieChildren() {
    int zombies = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        zombies += parent == getpid() && state == 'Z';
    }
    return zombies;
}

bool noZombieSoon() {
    for (int i = 0; i < 300 && zombieChildren() > 0; ++i) std::this_thread::sleep_for(10ms);
    return zombieChildren() == 0;
}

TEST(LinuxLauncher, LaunchesWithoutWaitingAndReapsEveryChild) {
    LinuxLauncher launcher;
    const auto start = Clock::now();
    EXPECT_TRUE(launcher.launch({"sleep", "0.3"}));
    EXPECT_LT(Clock::now() - start, 200ms);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(launcher.launch({i % 2 ? "true" : "false"}));
    EXPECT_TRUE(noZombieSoon());
    std::this_thread::sleep_for(400ms);  // the sleeper has ended by now
    EXPECT_TRUE(noZombieSoon());

    EXPECT_FALSE(launcher.launch({}));
    EXPECT_FALSE(launcher.launch({"velora-no-such-program"}));
    launcher.run({"velora-no-such-program"});
    const auto ran = Clock::now();
    launcher.run({"sleep", "0.2"});
    EXPECT_GE(Clock::now() - ran, 200ms);
    EXPECT_EQ(zombieChildren(), 0);
}

TEST(LinuxLauncher, LeavesOtherChildrenToTheirParent) {
    const pid_t own = fork();
    ASSERT_GE(own, 0);
    if (own == 0) _exit(7);
    LinuxLauncher launcher;
    ASSERT_TRUE(launcher.launch({"true"}));
    ASSERT_TRUE(launcher.launch({"sleep", "0.1"}));
    std::this_thread::sleep_for(300ms);
    int status = 0;
    ASSERT_EQ(waitpid(own, &status, 0), own);
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST(LinuxLauncher, ChildGetsNullStreamsAndNoOtherDescriptors) {
    const int inheritable = open("/dev/zero", O_RDONLY);
    ASSERT_GE(inheritable, 3);
    const pid_t child = spawnQuietly({"sleep", "5"});
    close(inheritable);
    ASSERT_GT(child, 0);
    const std::filesystem::path fds = "/proc/" + std::to_string(child) + "/fd";
    for (const char* fd : {"0", "1", "2"})
        EXPECT_EQ(std::filesystem::read_symlink(fds / fd), "/dev/null") << fd;
    EXPECT_FALSE(std::filesystem::exists(fds / std::to_string(inheritable)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

}  // namespace
}  // namespace velora::linux_
