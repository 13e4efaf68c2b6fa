// Types long texts on a thread of its own so that the server thread goes on answering every phone
// while the key presses go out. Texts take turns a slice at a time, and every other use of the
// input waits for the current slice only.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/input/InputSim.h"

namespace velora {

class Typist {
public:
    // One text being typed; `cancel` stops it before its next slice.
    class Job {
    public:
        void cancel() { cancelled_ = true; }

    private:
        friend class Typist;
        Job(std::string text, std::function<void()> done)
            : text_(std::move(text)), done_(std::move(done)) {}
        std::string text_;
        bool started_ = false;
        std::vector<std::string> clusters_;
        size_t next_ = 0;
        std::function<void()> done_;
        std::atomic<bool> cancelled_{false};
    };

    // The server thread's hold on the input while it posts its own events.
    class Hold {
    public:
        explicit Hold(Typist& typist);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Typist& typist_;
    };

    explicit Typist(InputSim& input);
    ~Typist();
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    // Queues `text` (valid UTF-8); `done` runs on the typist's thread once all of it is typed or
    // the job was cancelled, also when the typist stops first.
    std::shared_ptr<Job> type(std::string text, std::function<void()> done);
    // Whether a hold is waiting for the slice under way to end.
    bool holdWaiting() const { return holdsWaiting_ > 0; }

private:
    void run();
    void start(Job& job);
    // Types the next slice of `job`; true while text remains.
    bool typeSlice(Job& job);

    InputSim& input_;
    std::mutex inputLock_;
    // Holds waiting for the input lock; the typist lets them go first between slices.
    std::atomic<int> holdsWaiting_{0};
    std::mutex queueLock_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace velora
