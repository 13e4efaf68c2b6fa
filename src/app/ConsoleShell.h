// The terminal shell: prints where Velora listens, the phone page's address with its QR code, and
// every activity line (in the person's language), shows pairing requests with their PIN, and
// takes commands from standard input: "allow" (the Allow button), "power on|off" and "screen
// on|off" (the menu's two switches), "devices", "forget NAME" (the menu's paired-devices item),
// "qr" (the address and code again), "consent" (where the desktop asks whether Velora may
// control input: its dialog again), "quit".
// An "allow" counts only once the request has been shown for `allowDelay`: one typed for a
// request that has just ended must not approve the phone whose request took its place.
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/net/NetServer.h"
#include "core/store/Store.h"

namespace velora {

class ConsoleShell {
public:
    ConsoleShell(std::shared_ptr<Store> store, Platform platform, std::ostream& out,
                 std::chrono::milliseconds allowDelay = std::chrono::seconds(1),
                 ServerOptions server = {});
    ~ConsoleShell();
    // Runs until standard input says "quit" or the process is signalled. `in` is read on a thread
    // of its own that may outlive this call, so it must live as long as the process (std::cin).
    int run(std::istream& in);
    // Blocks the signals that run() waits for in the calling thread; called before any other
    // thread starts (the server's, the platform's), since threads inherit the mask and a signal
    // sent to one that has them unblocked would end the process without a clean quit.
    static sigset_t blockSignals();

    // Phone-supplied text made safe for a terminal: control characters become "?".
    static std::string printable(const std::string& text);

private:
    // Lines read from standard input, waiting for the shell's thread.
    struct LineQueue {
        std::mutex mutex;
        std::vector<std::string> lines;

        void push(std::string line);
        std::vector<std::string> takeAll();
    };

    void print(const std::string& line);
    void printListening();
    void printPhoneLink();
    void command(const std::string& line);
    void allow();
    void forget(const std::string& name);
    void consent();
    std::string commandList() const;

    // The pairing request on show.
    struct Prompt {
        std::string who;
        std::chrono::steady_clock::time_point shownAt;
        std::function<void()> approve;
    };

    // Blocked first, before the server's threads start and inherit the mask.
    sigset_t signals_;
    std::shared_ptr<Store> store_;
    std::shared_ptr<SystemInfo> system_;
    // The backend's name and what could not start (the fixed sentence for the log, the notice in
    // the person's language), for the first lines.
    std::string backend_;
    std::string unavailable_;
    std::string notice_;
    std::shared_ptr<EventSink> events_;
    std::function<void()> askConsent_;
    NetServer server_;
    std::ostream& out_;
    std::chrono::milliseconds allowDelay_;
    std::mutex lock_;
    std::optional<Prompt> prompt_;
};

}  // namespace velora
