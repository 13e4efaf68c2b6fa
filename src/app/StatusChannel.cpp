#include "app/StatusChannel.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstring>
#include <optional>

namespace velora {
namespace {

// A path too long for a Unix socket address gives none.
std::optional<sockaddr_un> addressOf(const std::filesystem::path& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socket.string();
    if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

}  // namespace

StatusChannel::StatusChannel(std::filesystem::path socket, std::function<void()> onRequest)
    : socket_(std::move(socket)), onRequest_(std::move(onRequest)) {
    const auto address = addressOf(socket_);
    if (!address) return;
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) return;
    ::unlink(socket_.c_str());
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(fd_, 4) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StatusChannel::takeRequests);
}

StatusChannel::~StatusChannel() {
    if (fd_ < 0) return;
    delete notifier_;
    ::close(fd_);
    ::unlink(socket_.c_str());
}

// Several starts in a row show the status once.
void StatusChannel::takeRequests() {
    bool asked = false;
    for (int client; (client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ::close(client);
        asked = true;
    }
    if (asked && onRequest_) onRequest_();
}

bool StatusChannel::request(const std::filesystem::path& socket) {
    const auto address = addressOf(socket);
    if (!address) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool reached =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    ::close(fd);
    return reached;
}

}  // namespace velora
