#include "platform/pipewire/PipeWireConnection.h"

#include <pipewire/pipewire.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace velora::pipewire {

struct PipeWireConnection::Listeners {
    spa_hook core{};
    spa_hook registry{};
};

// Only the events handled are set; the others stay null.
const pw_core_events PipeWireConnection::coreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.done = [](void* data, uint32_t id, int seq) {
        if (id == PW_ID_CORE) static_cast<PipeWireConnection*>(data)->roundTripDone(seq);
    };
    events.error = [](void* data, uint32_t id, int, int res, const char*) {
        // The core's own broken pipe: the daemon is gone or has dropped this client.
        if (id == PW_ID_CORE && res == -EPIPE) static_cast<PipeWireConnection*>(data)->drop();
    };
    return events;
}();

const pw_registry_events PipeWireConnection::registryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = [](void* data, uint32_t id, uint32_t, const char* type, uint32_t,
                       const spa_dict*) {
        if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0)
            static_cast<PipeWireConnection*>(data)->nodeAdded(id);
    };
    events.global_remove = [](void* data, uint32_t id) {
        static_cast<PipeWireConnection*>(data)->nodeRemoved(id);
    };
    return events;
}();

PipeWireConnection::PipeWireConnection() : listeners_(std::make_unique<Listeners>()) {}

std::shared_ptr<PipeWireConnection> PipeWireConnection::fromFd(int fd) {
    static std::once_flag initialized;
    std::call_once(initialized, [] { pw_init(nullptr, nullptr); });

    std::shared_ptr<PipeWireConnection> self(new PipeWireConnection());
    self->loop_ = pw_thread_loop_new("velora.pipewire", nullptr);
    if (!self->loop_) return nullptr;
    self->context_ = pw_context_new(pw_thread_loop_get_loop(self->loop_), nullptr, 0);
    if (!self->context_ || pw_thread_loop_start(self->loop_) < 0) return nullptr;

    pw_thread_loop_lock(self->loop_);
    self->core_ = pw_context_connect_fd(self->context_, fd, nullptr, 0);
    if (self->core_) {
        pw_core_add_listener(self->core_, &self->listeners_->core, &coreEvents, self.get());
        self->registry_ = pw_core_get_registry(self->core_, PW_VERSION_REGISTRY, 0);
        pw_registry_add_listener(self->registry_, &self->listeners_->registry, &registryEvents,
                                 self.get());
    }
    pw_thread_loop_unlock(self->loop_);
    if (!self->core_ || !self->registry_) return nullptr;
    return self;
}

PipeWireConnection::~PipeWireConnection() {
    if (loop_) pw_thread_loop_lock(loop_);
    if (registry_) {
        spa_hook_remove(&listeners_->registry);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
    }
    if (core_) {
        spa_hook_remove(&listeners_->core);
        pw_core_disconnect(core_);
    }
    if (loop_) {
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
    }
    if (context_) pw_context_destroy(context_);
    if (loop_) pw_thread_loop_destroy(loop_);
}

int PipeWireConnection::sync() {
    return pw_core_sync(core_, PW_ID_CORE, 0);
}

void PipeWireConnection::roundTripDone(int seq) {
    doneSeq_ = seq;
    pw_thread_loop_signal(loop_, false);
}

void PipeWireConnection::drop() {
    lost_ = true;
    pw_thread_loop_signal(loop_, false);
}

void PipeWireConnection::nodeAdded(uint32_t id) {
    nodes_.insert(id);
}

void PipeWireConnection::nodeRemoved(uint32_t id) {
    if (nodes_.erase(id)) pw_thread_loop_signal(loop_, false);
}

}  // namespace velora::pipewire
