#include "app/MainThreadQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <cerrno>
#include <cstdint>
#include <system_error>

namespace velora {

MainThreadQueue::MainThreadQueue() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    notifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { wake(); });
}

MainThreadQueue::~MainThreadQueue() {
    notifier_.reset();
    ::close(wakeFd_);
}

void MainThreadQueue::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    // The counter only has to become non-zero; it cannot overflow at one per post.
    const std::uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

// The tasks run from a posted event rather than from the notifier itself, since posted events are
// also delivered inside the nested loop of a modal dialog that a task may open.
void MainThreadQueue::wake() {
    std::uint64_t count = 0;
    while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    postDrain();
}

void MainThreadQueue::postDrain() {
    if (drainPosted_) return;
    drainPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
}

bool MainThreadQueue::event(QEvent* event) {
    if (event->type() != QEvent::User) return QObject::event(event);
    drainPosted_ = false;
    drain();
    return true;
}

void MainThreadQueue::drain() {
    for (;;) {
        std::function<void()> task;
        bool more = false;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
            more = !tasks_.empty();
        }
        // Should this task run a nested loop, the tasks after it run there, still in order.
        if (more) postDrain();
        task();
    }
}

}  // namespace velora
