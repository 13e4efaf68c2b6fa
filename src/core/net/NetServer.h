// The control server: TCP listener and admission, sessions with line framing, greeting, pairing,
// roster and teardown, the command dispatcher, the screen request and the discovery responder.
// Every piece of its state lives on one thread, "velora.server".
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/net/LogEvent.h"
#include "core/store/Store.h"
#include "platform/Platform.h"

namespace velora {

// One admitted phone on the roster.
struct ClientInfo {
    std::string name;
    std::string ip;
    bool operator==(const ClientInfo&) const = default;
};

struct ServerOptions {
    using Clock = std::chrono::steady_clock;
    uint16_t controlPort;
    uint16_t discoveryPort;
    // How long a second pairing waits for the single pairing slot before "ERR busy".
    std::chrono::milliseconds busyWait{2000};
    // How long a pairing prompt accepts a PIN.
    std::chrono::milliseconds pinTimeout{120000};
    // How long an address stays blocked after its fifth PIN mismatch.
    std::chrono::milliseconds blockTime{600000};
    // Wrong PINs from all addresses together that pause new pairings: past this many within the
    // window, new pairing requests get "ERR busy" until it clears. Paired phones are not affected.
    size_t pinFailureLimit = 20;
    std::chrono::milliseconds pinFailureWindow{600000};
    // Most addresses remembered in the failure table.
    size_t maxBlocked = 4096;
    // Most connections that are not yet admitted at one time.
    size_t maxPending = 64;
    // How long a new connection may take to send its first line. Without a deadline, a few
    // connections that never greet would hold every unadmitted place and lock all phones out.
    std::chrono::milliseconds greetingTimeout{10000};
    // Most discovery replies a second.
    int discoveryRepliesPerSecond = 100;
    // How long a connection that speaks HTTP may stay idle between requests.
    std::chrono::milliseconds httpIdleTimeout{5000};
    // How long a WebSocket phone may stay silent: a ping goes out halfway, and a phone that
    // answers nothing by the end (Wi-Fi gone, tab frozen) loses its session.
    std::chrono::milliseconds webSocketIdle{40000};
    // The screen streamer's pacing (tests shorten it).
    std::chrono::nanoseconds screenTick = std::chrono::milliseconds(66);
    std::function<Clock::time_point()> now = Clock::now;

    ServerOptions();
};

class NetServer {
public:
    NetServer(std::shared_ptr<Store> store, Platform platform, ServerOptions options = {});
    ~NetServer();
    NetServer(const NetServer&) = delete;
    NetServer& operator=(const NetServer&) = delete;

    // Callbacks, raised on the server thread; set them before start().
    std::function<void(const std::string& name, const std::string& ip, const std::string& pin,
                       std::function<void()> approve)>
        onPinShow;
    std::function<void()> onPinHide;
    std::function<void()> onClientsChanged;
    std::function<void(const LogEvent& event)> onLog;
    std::function<void(const std::string& name, bool on)> onScreenViewer;

    // Opens the discovery listener, then the control listener, and starts the server thread.
    // A listener that cannot be opened is logged; the rest runs on.
    void start();
    // Ends the server thread and closes everything (the program itself never needs it).
    void stop();

    // A copy of the roster and the viewer count, safe to read from any thread.
    std::vector<ClientInfo> clients() const;
    int screenViewers() const;

    // The ports actually bound (0 when that listener is not open).
    uint16_t controlPort() const;
    uint16_t discoveryPort() const;

    // The discovery reply datagram: "RMK!" and compact JSON.
    std::string discoveryReply() const;
    // The identity the phone page reads: the same id, name and version discovery announces.
    std::string identityJson() const;
    // The INFO reply line, "\n" included.
    std::string infoLine() const;

    // Runs `fn` on the server thread.
    void post(std::function<void()> fn);

    // Admission by address text alone.
    static bool isPrivate(std::string_view address);
    // The address text of an endpoint address: IPv4-mapped IPv6 back to dotted form, zone cut.
    static std::string addressText(std::string_view rawAddress);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace velora
