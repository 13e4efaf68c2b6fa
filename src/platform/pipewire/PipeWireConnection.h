// One connection to a PipeWire daemon, served by a thread of its own, shared by the live-view
// streams made on it.
#pragma once

#include <cstdint>
#include <memory>
#include <set>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_registry;
struct pw_core_events;
struct pw_registry_events;

namespace velora::pipewire {

// A connection on a socket a portal opened (or any socket to the daemon). Every member but the
// factory is for code that holds the loop's lock: the daemon's callbacks run under it on the
// connection's thread, so state they change is read under it too.
class PipeWireConnection {
public:
    // A connection over `fd`, which it owns from here on; none when the daemon cannot be reached.
    static std::shared_ptr<PipeWireConnection> fromFd(int fd);
    ~PipeWireConnection();
    PipeWireConnection(const PipeWireConnection&) = delete;
    PipeWireConnection& operator=(const PipeWireConnection&) = delete;

    pw_thread_loop* loop() const { return loop_; }
    pw_core* core() const { return core_; }

    // The daemon went away or refused the connection.
    bool lost() const { return lost_; }
    // Asks the daemon for a round trip; synced(seq) is true once every object that existed when
    // it was asked has been announced.
    int sync();
    bool synced(int seq) const { return doneSeq_ >= seq; }
    // Whether a node with this id is announced and not removed.
    bool hasNode(uint32_t id) const { return nodes_.contains(id); }

private:
    PipeWireConnection();
    struct Listeners;
    static const pw_core_events coreEvents;
    static const pw_registry_events registryEvents;
    // What the daemon tells, on the connection's thread.
    void roundTripDone(int seq);
    void drop();
    void nodeAdded(uint32_t id);
    void nodeRemoved(uint32_t id);

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_registry* registry_ = nullptr;
    std::unique_ptr<Listeners> listeners_;
    bool lost_ = false;
    int doneSeq_ = -1;
    std::set<uint32_t> nodes_;
};

}  // namespace velora::pipewire
