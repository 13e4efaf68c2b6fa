#include "core/input/Typist.h"

#include <pthread.h>

#include <chrono>

#include "core/Text.h"

namespace velora {

namespace {

// One slice: as many clusters as fit in the time (at least one, at most a handful), after which
// the server thread's events and the other texts get their turn.
constexpr size_t kSliceClusters = 8;
constexpr auto kSliceTime = std::chrono::microseconds(100);

}  // namespace

Typist::Hold::Hold(Typist& typist) : typist_(typist) {
    ++typist_.holdsWaiting_;
    typist_.inputLock_.lock();
    --typist_.holdsWaiting_;
}

Typist::Hold::~Hold() {
    typist_.inputLock_.unlock();
}

Typist::Typist(InputSim& input) : input_(input), thread_([this] { run(); }) {}

Typist::~Typist() {
    {
        std::lock_guard lock(queueLock_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

std::shared_ptr<Typist::Job> Typist::type(std::string text, std::function<void()> done) {
    std::shared_ptr<Job> job(new Job(std::move(text), std::move(done)));
    {
        std::lock_guard lock(queueLock_);
        jobs_.push_back(job);
    }
    wake_.notify_one();
    return job;
}

void Typist::run() {
#ifdef __APPLE__
    pthread_setname_np("velora.typist");
#else
    pthread_setname_np(pthread_self(), "velora.typist");
#endif
    while (true) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(queueLock_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            if (stopping_) job->cancel();
        }
        if (!job->cancelled_ && !job->started_) start(*job);
        if (!job->cancelled_ && typeSlice(*job)) {
            std::lock_guard lock(queueLock_);
            jobs_.push_back(std::move(job));
        } else {
            job->done_();
        }
        // std::mutex is not fair: a hold that waits gets the input before the next slice.
        while (holdsWaiting_ > 0) std::this_thread::yield();
    }
}

// Cuts the text into clusters here rather than on the server thread, and lets the sink prepare
// for all of it at once.
void Typist::start(Job& job) {
    job.started_ = true;
    job.clusters_ = text::graphemes(job.text_);
    std::lock_guard lock(inputLock_);
    input_.sink().textAhead(job.text_);
    job.text_ = std::string();
}

bool Typist::typeSlice(Job& job) {
    std::lock_guard lock(inputLock_);
    const auto until = std::chrono::steady_clock::now() + kSliceTime;
    for (size_t i = 0; job.next_ < job.clusters_.size() && i < kSliceClusters; ++i) {
        if (i > 0 && std::chrono::steady_clock::now() >= until) break;
        input_.typeCluster(job.clusters_[job.next_++]);
    }
    input_.sink().flush();
    return job.next_ < job.clusters_.size();
}

}  // namespace velora
