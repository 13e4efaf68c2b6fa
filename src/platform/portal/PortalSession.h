// A remote desktop session with the desktop portal (org.freedesktop.portal.Desktop on the session
// bus): the consent conversation, the restore token, input and, when asked for, a screen cast in
// the same session.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace sdbus {
class IConnection;
class IProxy;
class Variant;
}  // namespace sdbus

namespace velora::portal {

// Device types of SelectDevices and of Start's answer.
namespace device {
inline constexpr uint32_t keyboard = 1;
inline constexpr uint32_t pointer = 2;
}  // namespace device

// One screen cast stream: its PipeWire node and its size in the desktop's logical pixels, the
// space of absolute pointer moves.
struct PortalStream {
    uint32_t nodeId = 0;
    PixelSize logicalSize;
    bool operator==(const PortalStream&) const = default;
};

// What Start gave. The PipeWire descriptor belongs to whoever holds the result; -1 without a
// screen cast.
struct PortalStart {
    bool started = false;
    uint32_t devices = 0;
    std::vector<PortalStream> streams;
    int pipewireFd = -1;
};

// What a PipeWire screen source needs: a descriptor of its own (the caller closes it), the node
// and the stream's logical size. `cast` counts the session's successful starts: the same number
// means the same cast, so that its viewers can share one stream.
struct PortalScreen {
    int pipewireFd = -1;
    uint32_t nodeId = 0;
    PixelSize logicalSize;
    uint64_t cast = 0;
};

// Where the single-use restore token lives between runs. `save` with an empty token removes it.
struct TokenStore {
    std::function<std::string()> load;
    std::function<void(const std::string&)> save;
};

// The D-Bus conversation runs on sdbus-c++'s own event loop thread; start() blocks its caller
// until the person answers the consent dialog, which may take any time, so callers run it off
// the server thread (startInBackground). Input calls may come from any thread and do not wait
// for the portal's reply.
class PortalSession {
public:
    // A session on the bus at `busAddress`, or on the session bus when it is empty; none when the
    // bus cannot be reached.
    static std::shared_ptr<PortalSession> connect(const std::string& busAddress, TokenStore tokens);
    ~PortalSession();
    PortalSession(const PortalSession&) = delete;
    PortalSession& operator=(const PortalSession&) = delete;

    // The RemoteDesktop and ScreenCast interfaces' versions; 0 when the bus offers no such portal.
    uint32_t remoteDesktopVersion();
    uint32_t screenCastVersion();

    // Creates a session and asks for the keyboard and the pointer, with a screen cast of one
    // monitor (cursor drawn in) when `wantScreen`; returns once the person has answered. A
    // session that was running is closed first.
    PortalStart start(bool wantScreen);
    // start() on a thread of its own; `done` gets its result there. False (and nothing happens)
    // while a start is still waiting for an answer.
    bool startInBackground(bool wantScreen, std::function<void(const PortalStart&)> done);
    // A screen cast session alone (ScreenCast interface: one monitor, cursor drawn in, the
    // restore token where the interface's version has persistence), for desktops whose input
    // comes from elsewhere; returns once the person has answered. A running session is closed.
    PortalStart startScreenCast();
    bool startScreenCastInBackground(std::function<void(const PortalStart&)> done);
    // Ends the session; a start still waiting returns not started.
    void close();

    // True from a successful Start until the session ends, from either side.
    bool started() const { return started_; }
    uint32_t devices() const { return devices_; }
    // Called on the D-Bus thread when the desktop ends the session (consent revoked, the
    // session closed); it must not call close() or start().
    void onClosed(std::function<void()> callback);
    // The first screen cast stream of the started session; none without one.
    std::optional<PortalStream> firstStream() const;
    // The screen cast for a PipeWire source, with a new descriptor; none without a stream.
    std::optional<PortalScreen> screen();

    void pointerMotion(double dx, double dy);
    void pointerMotionAbsolute(uint32_t stream, double x, double y);
    void pointerButton(int32_t evdevButton, bool pressed);
    // Vertical axis 0, horizontal 1; positive steps go down and right.
    void pointerAxisDiscrete(uint32_t axis, int32_t steps);
    void keyboardKeycode(int32_t evdevCode, bool pressed);
    void keyboardKeysym(int32_t keysym, bool pressed);

private:
    struct Response;
    using Options = std::map<std::string, sdbus::Variant>;
    enum class Kind { Input, InputAndScreen, ScreenOnly };

    PortalSession(std::unique_ptr<sdbus::IConnection> connection, TokenStore tokens);
    std::string newToken();
    Response request(const std::string& interface, const std::string& method,
                     const std::optional<std::string>& session, Options options,
                     bool withParentWindow = false);
    uint32_t version(const std::string& interface);
    PortalStart run(Kind kind);
    bool runInBackground(Kind kind, std::function<void(const PortalStart&)> done);
    std::string currentSession() const;
    bool createSession(const std::string& interface);
    bool selectDevices(uint32_t version);
    bool selectSources(bool persist);
    bool startSession(Kind kind, PortalStart& result);
    void watchClosed(const std::string& handle);
    void ended(const std::string& handle);
    template <typename... Args>
    void notify(const char* method, Args... args);

    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> desktop_;
    TokenStore tokens_;
    // The sender part of request and session paths: the unique name without ':' and '.'.
    std::string sender_;
    std::atomic<uint64_t> tokenCount_{0};

    mutable std::mutex mutex_;
    std::condition_variable answered_;
    std::string pendingPath_;
    bool closing_ = false;
    std::string session_;
    std::unique_ptr<sdbus::IProxy> sessionProxy_;
    std::vector<PortalStream> streams_;
    int pipewireFd_ = -1;
    std::function<void()> onClosed_;
    std::atomic<bool> started_{false};
    std::atomic<uint32_t> devices_{0};
    uint64_t casts_ = 0;

    std::thread starter_;
    std::atomic<bool> starting_{false};
};

}  // namespace velora::portal
