// How a second start reaches the running tray shell: a Unix socket in the settings folder (owner
// only), on which every connection asks the shell to show its status.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>

class QSocketNotifier;

namespace velora {

class StatusChannel : public QObject {
    Q_OBJECT

public:
    // Listens on `socket` once the instance lock is held, so any file there is a stale one.
    // Where it cannot listen, it stays silent: the shell runs on without it.
    StatusChannel(std::filesystem::path socket, std::function<void()> onRequest);
    ~StatusChannel() override;

    bool listening() const { return fd_ >= 0; }

    // The second start's side: asks the instance listening on `socket` to show its status. False
    // when nothing listens there (a console instance, or one that runs without the channel).
    static bool request(const std::filesystem::path& socket);

private:
    void takeRequests();

    std::filesystem::path socket_;
    std::function<void()> onRequest_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velora
