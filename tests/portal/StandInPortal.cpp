#include "StandInPortal.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace velora::portal::test {

namespace {

const std::string kDesktopPath = "/org/freedesktop/portal/desktop";
const std::string kRemoteDesktop = "org.freedesktop.portal.RemoteDesktop";
const std::string kScreenCast = "org.freedesktop.portal.ScreenCast";
const std::string kRequest = "org.freedesktop.portal.Request";
const std::string kSession = "org.freedesktop.portal.Session";

std::string senderPart(std::string unique) {
    if (!unique.empty() && unique.front() == ':') unique.erase(0, 1);
    std::replace(unique.begin(), unique.end(), '.', '_');
    return unique;
}

}  // namespace

// A bus of its own that activates nothing: the machine's real portal must not answer in place of
// the stand-in.
constexpr const char* kBusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

PrivateBus::PrivateBus() {
    char pattern[] = "/tmp/velora-bus-XXXXXX.conf";
    const int config = ::mkstemps(pattern, 5);
    if (config < 0) throw std::runtime_error("mkstemps");
    configFile_ = pattern;
    const std::string text = kBusConfig;
    const bool written =
        ::write(config, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(config);
    if (!written) throw std::runtime_error("bus configuration");
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
        // A test that dies does not leave its bus behind.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        const std::string option = "--config-file=" + configFile_;
        ::execlp("dbus-daemon", "dbus-daemon", option.c_str(), "--print-address", "--nofork",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    // The daemon prints its address once it listens.
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') address_ += c;
    ::close(out[0]);
    if (address_.empty()) throw std::runtime_error("dbus-daemon gave no address");
}

PrivateBus::~PrivateBus() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    ::unlink(configFile_.c_str());
}

uint32_t RecordedCall::option(const std::string& key) const {
    const auto found = options.find(key);
    return found != options.end() && found->second.containsValueOfType<uint32_t>()
               ? found->second.get<uint32_t>()
               : 0;
}

std::string RecordedCall::textOption(const std::string& key) const {
    const auto found = options.find(key);
    return found != options.end() && found->second.containsValueOfType<std::string>()
               ? found->second.get<std::string>()
               : std::string();
}

StandInPortal::StandInPortal(const std::string& address)
    : connection_(sdbus::createSessionBusConnectionWithAddress(address)) {
    connection_->requestName("org.freedesktop.portal.Desktop");
    desktop_ = sdbus::createObject(*connection_, kDesktopPath);
    registerRemoteDesktop();
    registerScreenCast();
    desktop_->finishRegistration();
    connection_->enterEventLoopAsync();
}

// Objects go while the event loop still runs (sdbus-c++ allows that); the connection, last, stops
// and joins its loop.
StandInPortal::~StandInPortal() {
    std::vector<std::unique_ptr<sdbus::IObject>> objects;
    {
        std::lock_guard lock(mutex_);
        objects.swap(objects_);
    }
    objects.clear();
    desktop_.reset();
}

void StandInPortal::setVersion(uint32_t version) {
    std::lock_guard lock(mutex_);
    version_ = version;
}

void StandInPortal::setStartAnswer(uint32_t code, std::string token) {
    std::lock_guard lock(mutex_);
    startCode_ = code;
    startToken_ = std::move(token);
}

void StandInPortal::setScreenCastVersion(uint32_t version) {
    std::lock_guard lock(mutex_);
    screenCastVersion_ = version;
}

void StandInPortal::holdStart() {
    std::lock_guard lock(mutex_);
    holdStart_ = true;
}

void StandInPortal::setStream(uint32_t nodeId, int32_t width, int32_t height) {
    std::lock_guard lock(mutex_);
    nodeId_ = nodeId;
    width_ = width;
    height_ = height;
}

void StandInPortal::record(RecordedCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    arrived_.notify_all();
}

std::vector<RecordedCall> StandInPortal::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<RecordedCall> StandInPortal::calls(const std::string& method) const {
    std::vector<RecordedCall> found;
    for (RecordedCall& call : calls())
        if (call.method == method) found.push_back(std::move(call));
    return found;
}

RecordedCall StandInPortal::waitFor(const std::string& method, size_t count) {
    std::unique_lock lock(mutex_);
    const RecordedCall* last = nullptr;
    arrived_.wait(lock, [&] {
        size_t seen = 0;
        for (const RecordedCall& call : calls_) {
            if (call.method != method) continue;
            last = &call;
            if (++seen == count) return true;
        }
        return false;
    });
    return *last;
}

sdbus::ObjectPath StandInPortal::requestPath(const std::string& token) const {
    const std::string sender = desktop_->getCurrentlyProcessedMessage()->getSender();
    return sdbus::ObjectPath(kDesktopPath + "/request/" + senderPart(sender) + "/" + token);
}

void StandInPortal::emitResponse(const std::string& path, uint32_t code, const Options& results) {
    sdbus::IObject* request = nullptr;
    {
        std::lock_guard lock(mutex_);
        for (const auto& object : objects_)
            if (object->getObjectPath() == path) request = object.get();
    }
    request->emitSignal("Response").onInterface(kRequest).withArguments(code, results);
}

// Makes the request object and answers on it before the call returns its handle: a client that
// subscribes only after the call misses the answer.
sdbus::ObjectPath StandInPortal::answer(const std::string& token, uint32_t code,
                                        const Options& results) {
    const sdbus::ObjectPath path = requestPath(token);
    auto request = sdbus::createObject(*connection_, path);
    request->registerMethod("Close").onInterface(kRequest).implementedAs([this] {
        record({"Request.Close", "", {}, {}});
    });
    request->registerSignal("Response").onInterface(kRequest).withParameters<uint32_t, Options>();
    request->finishRegistration();
    {
        std::lock_guard lock(mutex_);
        objects_.push_back(std::move(request));
        if (holdStart_ && results.count("devices") != 0) {
            heldRequest_ = path;
            heldResults_ = results;
            arrived_.notify_all();
            return path;
        }
    }
    emitResponse(path, code, results);
    return path;
}

void StandInPortal::answerStart() {
    std::string path;
    Options results;
    uint32_t code = 0;
    {
        // The call is recorded before its request object exists.
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [this] { return !heldRequest_.empty(); });
        path = heldRequest_;
        results = heldResults_;
        code = startCode_;
    }
    emitResponse(path, code, results);
}

void StandInPortal::closeSession() {
    std::unique_lock lock(mutex_);
    const size_t latest = sessionPaths_.size() - 1;
    lock.unlock();
    closeSession(latest);
}

void StandInPortal::closeSession(size_t index) {
    sdbus::IObject* session = nullptr;
    {
        std::lock_guard lock(mutex_);
        for (const auto& object : objects_)
            if (object->getObjectPath() == sessionPaths_.at(index)) session = object.get();
    }
    session->emitSignal("Closed").onInterface(kSession).withArguments(Options{});
}

// A new session object named by the caller's token, recorded as `method`.
sdbus::ObjectPath StandInPortal::createSession(const std::string& method, const Options& options) {
    record({method, "", options, {}});
    const std::string sender = desktop_->getCurrentlyProcessedMessage()->getSender();
    const std::string token = options.at("session_handle_token").get<std::string>();
    const std::string path = kDesktopPath + "/session/" + senderPart(sender) + "/" + token;
    auto session = sdbus::createObject(*connection_, path);
    session->registerMethod("Close").onInterface(kSession).implementedAs([this, path] {
        record({"Session.Close", path, {}, {}});
    });
    session->registerSignal("Closed").onInterface(kSession).withParameters<Options>();
    session->finishRegistration();
    {
        std::lock_guard lock(mutex_);
        objects_.push_back(std::move(session));
        sessionPaths_.push_back(path);
    }
    return answer(options.at("handle_token").get<std::string>(), 0,
                  {{"session_handle", sdbus::Variant(path)}});
}

// Start's answer as set: the devices (for remote desktop sessions), the token and the stream.
sdbus::ObjectPath StandInPortal::start(const std::string& method, const std::string& session,
                                       const Options& options, bool withDevices) {
    {
        // A new Start holds its own request, not the one of an earlier, dismissed one.
        std::lock_guard lock(mutex_);
        heldRequest_.clear();
    }
    record({method, session, options, {}});
    Options results;
    uint32_t code = 0;
    {
        std::lock_guard lock(mutex_);
        code = startCode_;
        if (withDevices) results["devices"] = sdbus::Variant(uint32_t{3});
        if (!startToken_.empty()) results["restore_token"] = sdbus::Variant(startToken_);
        if (nodeId_ != 0) {
            using Stream = sdbus::Struct<uint32_t, Options>;
            Options props;
            props["size"] = sdbus::Variant(sdbus::Struct<int32_t, int32_t>{width_, height_});
            results["streams"] = sdbus::Variant(std::vector<Stream>{Stream{nodeId_, props}});
        }
    }
    return answer(options.at("handle_token").get<std::string>(), code, results);
}

void StandInPortal::registerRemoteDesktop() {
    desktop_->registerProperty("version").onInterface(kRemoteDesktop).withGetter([this] {
        std::lock_guard lock(mutex_);
        return version_;
    });
    desktop_->registerMethod("CreateSession")
        .onInterface(kRemoteDesktop)
        .implementedAs(
            [this](const Options& options) { return createSession("CreateSession", options); });
    desktop_->registerMethod("SelectDevices")
        .onInterface(kRemoteDesktop)
        .implementedAs([this](const sdbus::ObjectPath& session, const Options& options) {
            record({"SelectDevices", session, options, {}});
            return answer(options.at("handle_token").get<std::string>(), 0, {});
        });
    desktop_->registerMethod("Start")
        .onInterface(kRemoteDesktop)
        .implementedAs(
            [this](const sdbus::ObjectPath& session, const std::string&, const Options& options) {
                return start("Start", session, options, true);
            });
    auto notifyTwo = [this](const char* name) {
        return
            [this, name](const sdbus::ObjectPath& session, const Options& options, auto a, auto b) {
                record({name, session, options, {static_cast<double>(a), static_cast<double>(b)}});
            };
    };
    desktop_->registerMethod("NotifyPointerMotion")
        .onInterface(kRemoteDesktop)
        .implementedAs([f = notifyTwo("NotifyPointerMotion")](const sdbus::ObjectPath& s,
                                                              const Options& o, double a,
                                                              double b) { f(s, o, a, b); });
    desktop_->registerMethod("NotifyPointerMotionAbsolute")
        .onInterface(kRemoteDesktop)
        .implementedAs([this](const sdbus::ObjectPath& session, const Options& options,
                              uint32_t stream, double x, double y) {
            record({"NotifyPointerMotionAbsolute",
                    session,
                    options,
                    {static_cast<double>(stream), x, y}});
        });
    desktop_->registerMethod("NotifyPointerButton")
        .onInterface(kRemoteDesktop)
        .implementedAs([f = notifyTwo("NotifyPointerButton")](const sdbus::ObjectPath& s,
                                                              const Options& o, int32_t a,
                                                              uint32_t b) { f(s, o, a, b); });
    desktop_->registerMethod("NotifyPointerAxisDiscrete")
        .onInterface(kRemoteDesktop)
        .implementedAs([f = notifyTwo("NotifyPointerAxisDiscrete")](const sdbus::ObjectPath& s,
                                                                    const Options& o, uint32_t a,
                                                                    int32_t b) { f(s, o, a, b); });
    desktop_->registerMethod("NotifyKeyboardKeycode")
        .onInterface(kRemoteDesktop)
        .implementedAs([f = notifyTwo("NotifyKeyboardKeycode")](const sdbus::ObjectPath& s,
                                                                const Options& o, int32_t a,
                                                                uint32_t b) { f(s, o, a, b); });
    desktop_->registerMethod("NotifyKeyboardKeysym")
        .onInterface(kRemoteDesktop)
        .implementedAs([f = notifyTwo("NotifyKeyboardKeysym")](const sdbus::ObjectPath& s,
                                                               const Options& o, int32_t a,
                                                               uint32_t b) { f(s, o, a, b); });
}

void StandInPortal::registerScreenCast() {
    desktop_->registerProperty("version").onInterface(kScreenCast).withGetter([this] {
        std::lock_guard lock(mutex_);
        return screenCastVersion_;
    });
    desktop_->registerMethod("CreateSession")
        .onInterface(kScreenCast)
        .implementedAs([this](const Options& options) {
            return createSession("ScreenCast.CreateSession", options);
        });
    desktop_->registerMethod("Start")
        .onInterface(kScreenCast)
        .implementedAs(
            [this](const sdbus::ObjectPath& session, const std::string&, const Options& options) {
                return start("ScreenCast.Start", session, options, false);
            });
    desktop_->registerMethod("SelectSources")
        .onInterface(kScreenCast)
        .implementedAs([this](const sdbus::ObjectPath& session, const Options& options) {
            record({"SelectSources", session, options, {}});
            return answer(options.at("handle_token").get<std::string>(), 0, {});
        });
    desktop_->registerMethod("OpenPipeWireRemote")
        .onInterface(kScreenCast)
        .implementedAs([this](const sdbus::ObjectPath& session, const Options& options) {
            record({"OpenPipeWireRemote", session, options, {}});
            int ends[2];
            if (::pipe(ends) != 0) throw sdbus::Error("org.freedesktop.DBus.Error.Failed", "pipe");
            ::close(ends[1]);
            return sdbus::UnixFd(ends[0], sdbus::adopt_fd);
        });
}

}  // namespace velora::portal::test
