// A stand-in for the desktop portal on a private session bus: it answers the RemoteDesktop,
// ScreenCast, Request and Session calls a client makes and records every call with its
// arguments.
#pragma once

#include <sdbus-c++/sdbus-c++.h>
#include <sys/types.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velora::portal::test {

// A dbus-daemon of its own, ended by its process id.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string configFile_;
    std::string address_;
};

// One recorded call: its method, the session handle it named, its options and its numbers.
struct RecordedCall {
    std::string method;
    std::string session;
    std::map<std::string, sdbus::Variant> options;
    std::vector<double> numbers;

    uint32_t option(const std::string& key) const;
    std::string textOption(const std::string& key) const;
    bool has(const std::string& key) const { return options.count(key) != 0; }
};

class StandInPortal {
public:
    explicit StandInPortal(const std::string& address);
    ~StandInPortal();

    // How the portal behaves; set before the client calls.
    void setVersion(uint32_t version);
    // The ScreenCast interface's version (4 unless set; 0 still offers it).
    void setScreenCastVersion(uint32_t version);
    // Start's answer (of either interface): 0 granted, 1 refused, 2 ended; the token it gives back
    // (empty: none).
    void setStartAnswer(uint32_t code, std::string token);
    // Start waits for answerStart() instead of answering at once.
    void holdStart();
    void answerStart();
    // Start gives this stream (node id and logical size).
    void setStream(uint32_t nodeId, int32_t width, int32_t height);
    // The desktop ends the latest session, or the `index`th one made, as when the person
    // revokes consent.
    void closeSession();
    void closeSession(size_t index);

    std::vector<RecordedCall> calls() const;
    std::vector<RecordedCall> calls(const std::string& method) const;
    // Waits until `count` calls of `method` arrived, then gives the last of them.
    RecordedCall waitFor(const std::string& method, size_t count = 1);

private:
    using Options = std::map<std::string, sdbus::Variant>;
    void record(RecordedCall call);
    sdbus::ObjectPath answer(const std::string& token, uint32_t code, const Options& results);
    sdbus::ObjectPath requestPath(const std::string& token) const;
    sdbus::ObjectPath createSession(const std::string& method, const Options& options);
    sdbus::ObjectPath start(const std::string& method, const std::string& session,
                            const Options& options, bool withDevices);
    void registerRemoteDesktop();
    void registerScreenCast();
    void emitResponse(const std::string& path, uint32_t code, const Options& results);

    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> desktop_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<RecordedCall> calls_;
    std::vector<std::unique_ptr<sdbus::IObject>> objects_;
    uint32_t version_ = 2;
    uint32_t screenCastVersion_ = 4;
    uint32_t startCode_ = 0;
    std::string startToken_;
    bool holdStart_ = false;
    std::string heldRequest_;
    Options heldResults_;
    std::vector<std::string> sessionPaths_;
    uint32_t nodeId_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// The method names of `calls`, in order.
inline std::vector<std::string> methods(const std::vector<RecordedCall>& calls) {
    std::vector<std::string> names;
    for (const RecordedCall& call : calls) names.push_back(call.method);
    return names;
}

}  // namespace velora::portal::test
