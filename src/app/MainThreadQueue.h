// Hands functions from any thread to the Qt main thread, in the order they were posted.
//
// The posting thread never calls into Qt: it appends under a std::mutex and wakes the main loop
// through an eventfd, which a QSocketNotifier watches. The server thread thus stays out of Qt's
// internals altogether, and every hand-over is through synchronisation that ThreadSanitizer
// sees. Functions still queued when the queue is destroyed are dropped without running.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace velora {

class MainThreadQueue : public QObject {
public:
    // Construct on the main thread.
    MainThreadQueue();
    ~MainThreadQueue() override;

    MainThreadQueue(const MainThreadQueue&) = delete;
    MainThreadQueue& operator=(const MainThreadQueue&) = delete;

    // Any thread.
    void post(std::function<void()> task);

protected:
    bool event(QEvent* event) override;

private:
    void wake();
    void postDrain();
    void drain();

    int wakeFd_;
    bool drainPosted_ = false;  // main thread only
    std::unique_ptr<QSocketNotifier> notifier_;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace velora
