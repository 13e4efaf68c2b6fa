#include "platform/portal/PortalSession.h"

#include <fcntl.h>
#include <sdbus-c++/sdbus-c++.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace velora::portal {

namespace {

const std::string kDesktopName = "org.freedesktop.portal.Desktop";
const std::string kDesktopPath = "/org/freedesktop/portal/desktop";
const std::string kRemoteDesktop = "org.freedesktop.portal.RemoteDesktop";
const std::string kScreenCast = "org.freedesktop.portal.ScreenCast";
const std::string kRequest = "org.freedesktop.portal.Request";
const std::string kSession = "org.freedesktop.portal.Session";
const std::string kProperties = "org.freedesktop.DBus.Properties";

// Answers of the Request's Response signal.
constexpr uint32_t kResponseSuccess = 0;
constexpr uint32_t kResponseEnded = 2;

// A portal that is D-Bus activated may take a moment to come up; one that has not answered by
// then is taken as absent, so that the program's start does not hang on it.
constexpr auto kPropertyTimeout = std::chrono::seconds(5);

// Keep the permission until it is revoked, rather than for this run only.
constexpr uint32_t kPersistUntilRevoked = 2;
constexpr uint32_t kSourceMonitor = 1;
constexpr uint32_t kCursorEmbedded = 2;
// The first versions of RemoteDesktop and ScreenCast with persist_mode and restore_token.
constexpr uint32_t kPersistenceVersion = 2;
constexpr uint32_t kScreenCastPersistenceVersion = 4;

// ":1.42" becomes "1_42", as the portal names the objects it makes for a caller.
std::string senderPart(std::string unique) {
    if (!unique.empty() && unique.front() == ':') unique.erase(0, 1);
    std::replace(unique.begin(), unique.end(), '.', '_');
    return unique;
}

template <typename T>
std::optional<T> value(const std::map<std::string, sdbus::Variant>& map, const std::string& key) {
    const auto found = map.find(key);
    if (found == map.end() || !found->second.containsValueOfType<T>()) return std::nullopt;
    return found->second.get<T>();
}

using StreamProps = sdbus::Struct<uint32_t, std::map<std::string, sdbus::Variant>>;

std::vector<PortalStream> streamsOf(const std::map<std::string, sdbus::Variant>& results) {
    std::vector<PortalStream> streams;
    const auto list = value<std::vector<StreamProps>>(results, "streams");
    if (!list) return streams;
    for (const StreamProps& entry : *list) {
        PortalStream stream{std::get<0>(entry), {}};
        if (const auto size = value<sdbus::Struct<int32_t, int32_t>>(std::get<1>(entry), "size"))
            stream.logicalSize = PixelSize{std::get<0>(*size), std::get<1>(*size)};
        streams.push_back(stream);
    }
    return streams;
}

}  // namespace

// The answer of one request; code 2 (ended) until one arrives.
struct PortalSession::Response {
    bool arrived = false;
    uint32_t code = kResponseEnded;
    std::map<std::string, sdbus::Variant> results;
};

std::shared_ptr<PortalSession> PortalSession::connect(const std::string& busAddress,
                                                      TokenStore tokens) {
    try {
        auto connection = busAddress.empty()
                              ? sdbus::createSessionBusConnection()
                              : sdbus::createSessionBusConnectionWithAddress(busAddress);
        connection->enterEventLoopAsync();
        return std::shared_ptr<PortalSession>(
            new PortalSession(std::move(connection), std::move(tokens)));
    } catch (const sdbus::Error&) {
        return nullptr;
    }
}

PortalSession::PortalSession(std::unique_ptr<sdbus::IConnection> connection, TokenStore tokens)
    : connection_(std::move(connection)),
      desktop_(sdbus::createProxy(*connection_, kDesktopName, kDesktopPath)),
      tokens_(std::move(tokens)),
      sender_(senderPart(connection_->getUniqueName())) {
    desktop_->finishRegistration();
}

PortalSession::~PortalSession() {
    close();
    if (starter_.joinable()) starter_.join();
    // The event loop thread stops with the connection; the proxies go first.
    sessionProxy_.reset();
    desktop_.reset();
}

uint32_t PortalSession::remoteDesktopVersion() {
    return version(kRemoteDesktop);
}

uint32_t PortalSession::screenCastVersion() {
    return version(kScreenCast);
}

uint32_t PortalSession::version(const std::string& interface) {
    try {
        sdbus::Variant version;
        desktop_->callMethod("Get")
            .onInterface(kProperties)
            .withTimeout(kPropertyTimeout)
            .withArguments(interface, std::string("version"))
            .storeResultsTo(version);
        return version.containsValueOfType<uint32_t>() ? version.get<uint32_t>() : 0;
    } catch (const sdbus::Error&) {
        return 0;
    }
}

std::string PortalSession::newToken() {
    return "velora" + std::to_string(::getpid()) + "_" + std::to_string(++tokenCount_);
}

// Subscribes to the Response of the request object the portal will make before making the call,
// so that an answer given at once is not missed, then waits for it (or for close()).
PortalSession::Response PortalSession::request(const std::string& interface,
                                               const std::string& method,
                                               const std::optional<std::string>& session,
                                               Options options, bool withParentWindow) {
    const std::string token = newToken();
    const std::string path = kDesktopPath + "/request/" + sender_ + "/" + token;
    auto response = std::make_shared<Response>();
    auto subscribe = [&](const std::string& at) {
        auto proxy = sdbus::createProxy(*connection_, kDesktopName, at);
        proxy->uponSignal("Response")
            .onInterface(kRequest)
            .call([this, response](uint32_t code,
                                   const std::map<std::string, sdbus::Variant>& results) {
                std::lock_guard lock(mutex_);
                response->arrived = true;
                response->code = code;
                response->results = results;
                answered_.notify_all();
            });
        proxy->finishRegistration();
        return proxy;
    };
    std::vector<std::unique_ptr<sdbus::IProxy>> watched;
    watched.push_back(subscribe(path));
    {
        std::lock_guard lock(mutex_);
        if (closing_) return {};
        pendingPath_ = path;
    }
    options["handle_token"] = sdbus::Variant(token);
    sdbus::ObjectPath handle;
    auto call = desktop_->callMethod(method);
    call.onInterface(interface);
    if (!session)
        call.withArguments(options);
    else if (withParentWindow)
        call.withArguments(sdbus::ObjectPath(*session), std::string(), options);
    else
        call.withArguments(sdbus::ObjectPath(*session), options);
    call.storeResultsTo(handle);
    // Portals older than the handle_token convention make up a path of their own.
    if (handle != path) {
        watched.push_back(subscribe(handle));
        std::lock_guard lock(mutex_);
        pendingPath_ = handle;
    }
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return response->arrived || closing_; });
    pendingPath_.clear();
    return *response;
}

bool PortalSession::createSession(const std::string& interface) {
    const std::string token = newToken();
    Options options;
    options["session_handle_token"] = sdbus::Variant(token);
    const Response answer = request(interface, "CreateSession", std::nullopt, options);
    if (answer.code != kResponseSuccess) return false;
    // The answer names the session as a string; some portals send an object path instead.
    std::string handle;
    if (const auto text = value<std::string>(answer.results, "session_handle"))
        handle = *text;
    else if (const auto path = value<sdbus::ObjectPath>(answer.results, "session_handle"))
        handle = *path;
    if (handle.empty()) return false;
    {
        std::lock_guard lock(mutex_);
        session_ = handle;
    }
    watchClosed(handle);
    return true;
}

// Version 1 portals know neither persistence nor tokens: they ask at every start.
bool PortalSession::selectDevices(uint32_t version) {
    Options options;
    options["types"] = sdbus::Variant(device::keyboard | device::pointer);
    if (version >= kPersistenceVersion) {
        options["persist_mode"] = sdbus::Variant(kPersistUntilRevoked);
        const std::string token = tokens_.load ? tokens_.load() : std::string();
        if (!token.empty()) options["restore_token"] = sdbus::Variant(token);
    }
    return request(kRemoteDesktop, "SelectDevices", currentSession(), options).code ==
           kResponseSuccess;
}

// In a remote desktop session the devices' selection carries the persistence; a screen cast
// session alone carries it here.
bool PortalSession::selectSources(bool persist) {
    Options options;
    options["types"] = sdbus::Variant(kSourceMonitor);
    options["multiple"] = sdbus::Variant(false);
    options["cursor_mode"] = sdbus::Variant(kCursorEmbedded);
    if (persist) {
        options["persist_mode"] = sdbus::Variant(kPersistUntilRevoked);
        const std::string token = tokens_.load ? tokens_.load() : std::string();
        if (!token.empty()) options["restore_token"] = sdbus::Variant(token);
    }
    return request(kScreenCast, "SelectSources", currentSession(), options).code ==
           kResponseSuccess;
}

// Start asks for consent (unless a restore token stands for it). Each Start gives a new
// single-use token, or none: the stored one is replaced or removed.
bool PortalSession::startSession(Kind kind, PortalStart& result) {
    const std::string session = currentSession();
    const Response answer = request(kind == Kind::ScreenOnly ? kScreenCast : kRemoteDesktop,
                                    "Start", session, {}, true);
    if (answer.code != kResponseSuccess) return false;
    if (tokens_.save)
        tokens_.save(value<std::string>(answer.results, "restore_token").value_or(""));
    result.devices = value<uint32_t>(answer.results, "devices").value_or(0);
    result.streams = streamsOf(answer.results);
    int fd = -1;
    if (kind != Kind::Input && !result.streams.empty()) {
        sdbus::UnixFd remote;
        desktop_->callMethod("OpenPipeWireRemote")
            .onInterface(kScreenCast)
            .withArguments(sdbus::ObjectPath(session), Options{})
            .storeResultsTo(remote);
        fd = remote.release();
        if (fd >= 0) result.pipewireFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    }
    std::lock_guard lock(mutex_);
    // The session may have ended while Start was answered.
    if (closing_ || session_ != session) {
        if (fd >= 0) ::close(fd);
        if (result.pipewireFd >= 0) ::close(result.pipewireFd);
        result.pipewireFd = -1;
        return false;
    }
    streams_ = result.streams;
    pipewireFd_ = fd;
    devices_ = result.devices;
    ++casts_;
    started_ = true;
    result.started = true;
    return true;
}

std::string PortalSession::currentSession() const {
    std::lock_guard lock(mutex_);
    return session_;
}

PortalStart PortalSession::start(bool wantScreen) {
    return run(wantScreen ? Kind::InputAndScreen : Kind::Input);
}

PortalStart PortalSession::startScreenCast() {
    return run(Kind::ScreenOnly);
}

bool PortalSession::startInBackground(bool wantScreen,
                                      std::function<void(const PortalStart&)> done) {
    return runInBackground(wantScreen ? Kind::InputAndScreen : Kind::Input, std::move(done));
}

bool PortalSession::startScreenCastInBackground(std::function<void(const PortalStart&)> done) {
    return runInBackground(Kind::ScreenOnly, std::move(done));
}

// Version 1 to 3 ScreenCast portals know no persistence: they ask at every start.
PortalStart PortalSession::run(Kind kind) {
    close();
    {
        std::lock_guard lock(mutex_);
        closing_ = false;
    }
    PortalStart result;
    try {
        bool ok = false;
        if (kind == Kind::ScreenOnly) {
            const uint32_t version = screenCastVersion();
            ok = version != 0 && createSession(kScreenCast) &&
                 selectSources(version >= kScreenCastPersistenceVersion) &&
                 startSession(kind, result);
        } else {
            const uint32_t version = remoteDesktopVersion();
            ok = version != 0 && createSession(kRemoteDesktop) && selectDevices(version) &&
                 (kind == Kind::Input || selectSources(false)) && startSession(kind, result);
        }
        if (!ok) close();
    } catch (const sdbus::Error&) {
        close();
        return PortalStart{};
    }
    return result;
}

bool PortalSession::runInBackground(Kind kind, std::function<void(const PortalStart&)> done) {
    if (starting_.exchange(true)) return false;
    if (starter_.joinable()) starter_.join();
    starter_ = std::thread([this, kind, done = std::move(done)] {
        const PortalStart result = run(kind);
        starting_ = false;
        if (done)
            done(result);
        else if (result.pipewireFd >= 0)
            ::close(result.pipewireFd);  // the session keeps a descriptor of its own
    });
    return true;
}

void PortalSession::watchClosed(const std::string& handle) {
    auto proxy = sdbus::createProxy(*connection_, kDesktopName, handle);
    proxy->uponSignal("Closed").onInterface(kSession).call(
        [this, handle](const std::map<std::string, sdbus::Variant>&) { ended(handle); });
    proxy->finishRegistration();
    // The replaced proxy goes after the lock is released: its destruction takes the bus
    // connection's lock, which the event loop holds while a signal handler waits for ours.
    std::unique_ptr<sdbus::IProxy> replaced;
    std::lock_guard lock(mutex_);
    replaced = std::move(sessionProxy_);
    sessionProxy_ = std::move(proxy);
}

// The desktop ended the session: input stops reaching it. A session that is no longer the
// current one (closed by us, replaced by a new start) changes nothing.
void PortalSession::ended(const std::string& handle) {
    std::function<void()> callback;
    {
        std::lock_guard lock(mutex_);
        if (handle != session_) return;
        session_.clear();
        const bool wasStarted = started_.exchange(false);
        closing_ = true;
        answered_.notify_all();
        if (pipewireFd_ >= 0) ::close(pipewireFd_);
        pipewireFd_ = -1;
        streams_.clear();
        if (wasStarted) callback = onClosed_;
    }
    if (callback) callback();
}

void PortalSession::close() {
    std::string session;
    std::string pending;
    {
        std::lock_guard lock(mutex_);
        started_ = false;
        closing_ = true;
        answered_.notify_all();
        session.swap(session_);
        pending = pendingPath_;
        if (pipewireFd_ >= 0) ::close(pipewireFd_);
        pipewireFd_ = -1;
        streams_.clear();
    }
    // Dismisses a consent dialog still open, then ends the session; either may be gone already.
    for (const auto& [path, interface] : {std::pair{pending, kRequest}, {session, kSession}}) {
        if (path.empty()) continue;
        try {
            auto proxy = sdbus::createProxy(*connection_, kDesktopName, path);
            proxy->callMethod("Close").onInterface(interface).dontExpectReply();
        } catch (const sdbus::Error&) {
        }
    }
}

void PortalSession::onClosed(std::function<void()> callback) {
    std::lock_guard lock(mutex_);
    onClosed_ = std::move(callback);
}

std::optional<PortalStream> PortalSession::firstStream() const {
    std::lock_guard lock(mutex_);
    if (!started_ || streams_.empty()) return std::nullopt;
    return streams_.front();
}

std::optional<PortalScreen> PortalSession::screen() {
    std::lock_guard lock(mutex_);
    if (!started_ || pipewireFd_ < 0 || streams_.empty()) return std::nullopt;
    const int fd = ::fcntl(pipewireFd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    return PortalScreen{fd, streams_.front().nodeId, streams_.front().logicalSize, casts_};
}

// Input goes out without waiting for the portal's reply: the server thread never blocks on it.
template <typename... Args>
void PortalSession::notify(const char* method, Args... args) {
    if (!started_) return;
    const std::string session = currentSession();
    if (session.empty()) return;
    try {
        desktop_->callMethod(method)
            .onInterface(kRemoteDesktop)
            .withArguments(sdbus::ObjectPath(session), Options{}, args...)
            .dontExpectReply();
    } catch (const sdbus::Error&) {
    }
}

void PortalSession::pointerMotion(double dx, double dy) {
    notify("NotifyPointerMotion", dx, dy);
}

void PortalSession::pointerMotionAbsolute(uint32_t stream, double x, double y) {
    notify("NotifyPointerMotionAbsolute", stream, x, y);
}

void PortalSession::pointerButton(int32_t evdevButton, bool pressed) {
    notify("NotifyPointerButton", evdevButton, uint32_t{pressed});
}

void PortalSession::pointerAxisDiscrete(uint32_t axis, int32_t steps) {
    notify("NotifyPointerAxisDiscrete", axis, steps);
}

void PortalSession::keyboardKeycode(int32_t evdevCode, bool pressed) {
    notify("NotifyKeyboardKeycode", evdevCode, uint32_t{pressed});
}

void PortalSession::keyboardKeysym(int32_t keysym, bool pressed) {
    notify("NotifyKeyboardKeysym", keysym, uint32_t{pressed});
}

}  // namespace velora::portal
