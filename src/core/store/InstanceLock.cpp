#include "core/store/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/Text.h"
#include "core/store/Files.h"

namespace velora {
namespace {

pid_t readHolder(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return 0;
    const auto pid = text::parseInt64(text::trimWhitespaceAndNewlines(std::string(text, n)));
    return pid && *pid > 0 ? static_cast<pid_t>(*pid) : 0;
}

}  // namespace

InstanceLock::InstanceLock(const std::filesystem::path& folder) : folder_(folder) {
    files::makeFolder(folder_, 0700);
    // Close-on-exec: a program Velora starts (a browser, a power command) must not keep the lock
    // after Velora ends.
    fd_ = ::open((folder_ / "velora.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        held_ = true;
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        held_ = errno != EWOULDBLOCK;
        if (!held_) holder_ = readHolder(fd_);
        return;
    }
    held_ = true;
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) == 0) (void)::pwrite(fd_, pid.data(), pid.size(), 0);
}

// The lock goes with the descriptor; the file stays, so that no second start can lock a file
// that a third one is about to replace.
InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace velora
