#include "core/net/NetServer.h"

#include <pthread.h>

#include <ctime>
#include <nlohmann/json.hpp>

#include "core/Text.h"
#include "core/Version.h"
#include "core/net/HttpConnection.h"
#include "core/net/NetServerImpl.h"
#include "core/net/TcpCarrier.h"

namespace velora {

using asio::ip::tcp;

ServerOptions::ServerOptions() : controlPort(kControlPort), discoveryPort(kDiscoveryPort) {}

NetServer::Impl::Impl(NetServer& owner, std::shared_ptr<Store> store, Platform platform,
                      ServerOptions options)
    : owner(owner),
      store(std::move(store)),
      platform(std::move(platform)),
      options(std::move(options)),
      input(this->platform.events, this->platform.keymap, this->platform.displays,
            this->platform.launcher) {}

void NetServer::Impl::log(const LogEvent& event) const {
    if (owner.onLog) owner.onLog(event);
}

void NetServer::Impl::clientsChanged() {
    {
        std::lock_guard lock(publishLock);
        publishedClients = clients;
    }
    if (owner.onClientsChanged) owner.onClientsChanged();
}

void NetServer::Impl::viewersChanged() {
    publishedViewers = screenViewers;
}

// Both listeners are dual-stack where IPv6 exists (IPv4 peers arrive as mapped addresses) and fall
// back to IPv4 alone where it does not.
// The discovery socket does not take address reuse: on Linux that would let a second instance
// bind the same UDP port and answer probes with its own identity.
template <typename Socket, typename Protocol>
static ErrorCode openDualStack(Socket& socket, uint16_t port) {
    ErrorCode ec;
    for (const auto protocol : {Protocol::v6(), Protocol::v4()}) {
        ec.clear();
        socket.open(protocol, ec);
        if (ec) continue;
        if (protocol == Protocol::v6()) socket.set_option(asio::ip::v6_only(false), ec);
        ec.clear();
        socket.bind(typename Protocol::endpoint(protocol, port), ec);
        if (!ec) return ec;
        ErrorCode ignored;
        socket.close(ignored);
    }
    return ec;
}

void NetServer::Impl::startDiscovery() {
    udp.emplace(*io);
    if (auto ec =
            openDualStack<asio::ip::udp::socket, asio::ip::udp>(*udp, options.discoveryPort)) {
        udp.reset();
        log({.kind = LogKind::DiscoveryPortFailed, .error = ec.message()});
        return;
    }
    boundDiscovery = udp->local_endpoint().port();
    receiveProbe();
}

void NetServer::Impl::startControl() {
    acceptor.emplace(*io);
    ErrorCode ec;
    for (const auto protocol : {tcp::v6(), tcp::v4()}) {
        ec.clear();
        acceptor->open(protocol, ec);
        if (ec) continue;
        acceptor->set_option(asio::socket_base::reuse_address(true), ec);
        if (protocol == tcp::v6()) acceptor->set_option(asio::ip::v6_only(false), ec);
        ec.clear();
        acceptor->bind(tcp::endpoint(protocol, options.controlPort), ec);
        if (!ec) acceptor->listen(asio::socket_base::max_listen_connections, ec);
        if (!ec) break;
        ErrorCode ignored;
        acceptor->close(ignored);
    }
    if (ec) {
        acceptor.reset();
        log({.kind = LogKind::ControlPortFailed, .error = ec.message()});
        return;
    }
    boundControl = acceptor->local_endpoint().port();
    accept();
}

void NetServer::Impl::accept() {
    acceptor->async_accept([this](const ErrorCode& ec, tcp::socket socket) {
        if (ec == asio::error::operation_aborted) return;
        if (!ec) {
            handle(std::move(socket));
            accept();
            return;
        }
        // Out of descriptors (or another accept failure): the waiting connection stays queued and
        // an immediate retry would fail the same way in a busy loop, so pause before the next.
        acceptRetry.emplace(*io, std::chrono::milliseconds(100));
        acceptRetry->async_wait([this](const ErrorCode& waitError) {
            if (!waitError && acceptor && acceptor->is_open()) accept();
        });
    });
}

void NetServer::Impl::handle(tcp::socket socket) {
    ErrorCode ec;
    const auto endpoint = socket.remote_endpoint(ec);
    const std::string ip = ec ? "?" : addressText(endpoint.address().to_string());
    if (!isPrivate(ip)) {
        log({.kind = LogKind::OutsideRefused, .ip = ip});
        return;
    }
    // A blocked address and a flood of connections that never greet are closed at once.
    if (isBlocked(ip) || unadmitted >= options.maxPending) return;
    socket.set_option(tcp::no_delay(true), ec);
    auto toHttp = [this, ip](tcp::socket socket, std::string opening) {
        startHttp(std::move(socket), ip, opening);
    };
    startSession(std::make_unique<TcpCarrier>(std::move(socket), toHttp), ip);
}

void NetServer::Impl::startSession(std::unique_ptr<Carrier> carrier, const std::string& ip) {
    auto session = std::make_shared<Session>(*this, std::move(carrier), ip);
    ++unadmitted;
    sessions.emplace(session.get(), session);
    session->awaitGreeting();
    session->receive();
}

// An HTTP connection holds one of the unadmitted places as long as it lasts.
void NetServer::Impl::startHttp(tcp::socket socket, const std::string& ip,
                                std::string_view opening) {
    auto connection = std::make_shared<HttpConnection>(*this, std::move(socket), ip, opening);
    ++unadmitted;
    httpConnections.emplace(connection.get(), connection);
    connection->start();
}

void NetServer::Impl::httpEnded(const HttpConnection* connection) {
    if (httpConnections.erase(connection) > 0) --unadmitted;
}

bool NetServer::Impl::isBlocked(const std::string& ip) const {
    const auto it = blocked.find(ip);
    return it != blocked.end() && options.now() < it->second.until;
}

void NetServer::Impl::fail(const std::string& ip) {
    const auto now = options.now();
    if (!blocked.contains(ip) && blocked.size() >= options.maxBlocked) {
        // Make room: entries that block nobody go first, then the block that ends soonest.
        std::erase_if(blocked, [&](const auto& entry) { return entry.second.until <= now; });
        if (blocked.size() >= options.maxBlocked) {
            auto soonest = std::min_element(blocked.begin(), blocked.end(), [](auto& a, auto& b) {
                return a.second.until < b.second.until;
            });
            blocked.erase(soonest);
        }
    }
    auto& entry = blocked[ip];
    const bool wasBlocked = now < entry.until;
    entry.fails += 1;
    entry.until = entry.fails >= 5 ? now + options.blockTime : Clock::time_point::min();
    if (!wasBlocked && now < entry.until) {
        log({.kind = LogKind::AddressBlocked,
             .ip = ip,
             .until = timeOfDayAt(entry.until),
             .count = entry.fails});
    }
    countFailure(ip, now);
}

// One device has many IPv6 addresses, so the per-address block alone would let it guess on.
void NetServer::Impl::countFailure(const std::string& ip, Clock::time_point now) {
    recentFailures.push_back(now);
    while (!recentFailures.empty() && (recentFailures.size() > options.pinFailureLimit ||
                                       recentFailures.front() + options.pinFailureWindow <= now)) {
        recentFailures.pop_front();
    }
    if (recentFailures.size() < options.pinFailureLimit || pairingPaused()) return;
    pairingPausedUntil = recentFailures.front() + options.pinFailureWindow;
    log({.kind = LogKind::PairingPaused,
         .ip = ip,
         .until = timeOfDayAt(pairingPausedUntil),
         .count = static_cast<int64_t>(recentFailures.size())});
}

bool NetServer::Impl::pairingPaused() const {
    return options.now() < pairingPausedUntil;
}

// "HH:mm:ss" on the wall clock, in local time, of a moment on the server's clock.
std::string NetServer::Impl::timeOfDayAt(Clock::time_point when) const {
    const auto wall =
        std::chrono::system_clock::now() +
        std::chrono::duration_cast<std::chrono::system_clock::duration>(when - options.now());
    const std::time_t seconds = std::chrono::system_clock::to_time_t(wall);
    std::tm local{};
    char text[16] = "00:00:00";
    if (::localtime_r(&seconds, &local)) std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

void NetServer::Impl::unblock(const std::string& ip) {
    blocked.erase(ip);
}

void NetServer::Impl::release(const Session* session) {
    sessions.erase(session);
}

bool NetServer::Impl::takePairingSlot(const std::shared_ptr<Session>& waiter) {
    if (!pairingTaken) {
        pairingTaken = true;
        return true;
    }
    pairingWaiters.push_back(waiter);
    return false;
}

void NetServer::Impl::freePairingSlot() {
    while (!pairingWaiters.empty()) {
        auto next = pairingWaiters.front().lock();
        pairingWaiters.pop_front();
        if (!next || next->finished()) continue;
        if (pairingPaused()) {
            next->busy();
            continue;
        }
        next->openPrompt();
        return;
    }
    pairingTaken = false;
}

void NetServer::Impl::receiveProbe() {
    udp->async_receive_from(
        asio::buffer(probeBuffer), probeSender, [this](const ErrorCode& ec, size_t n) {
            if (ec == asio::error::operation_aborted) return;
            if (!ec && isDiscoveryProbe(std::string_view(probeBuffer.data(), n)) &&
                replyAllowed()) {
                auto reply = std::make_shared<std::string>(owner.discoveryReply());
                udp->async_send_to(asio::buffer(*reply), probeSender,
                                   [reply](const ErrorCode&, size_t) {});
            }
            receiveProbe();
        });
}

// Answers at a bounded rate, so that forged probes cannot turn the responder into an amplifier.
bool NetServer::Impl::replyAllowed() {
    const auto now = options.now();
    if (now - replyWindow >= std::chrono::seconds(1)) {
        replyWindow = now;
        repliesInWindow = 0;
    }
    return repliesInWindow++ < options.discoveryRepliesPerSecond;
}

NetServer::NetServer(std::shared_ptr<Store> store, Platform platform, ServerOptions options)
    : impl_(std::make_unique<Impl>(*this, std::move(store), std::move(platform),
                                   std::move(options))) {}

NetServer::~NetServer() {
    stop();
}

void NetServer::start() {
    ErrorCode ec;
    impl_->hostName = asio::ip::host_name(ec);
    impl_->startDiscovery();
    impl_->startControl();
    impl_->work.emplace(impl_->io->get_executor());
    impl_->thread = std::thread([io = impl_->io] {
        pthread_setname_np(pthread_self(), "velora.server");
        io->run();
    });
}

void NetServer::stop() {
    if (!impl_->thread.joinable()) return;
    post([impl = impl_.get()] {
        ErrorCode ec;
        if (impl->acceptor) impl->acceptor->close(ec);
        if (impl->acceptRetry) impl->acceptRetry->cancel();
        if (impl->udp) impl->udp->close(ec);
        auto sessions = impl->sessions;
        for (auto& [key, session] : sessions) session->finish();
        auto connections = impl->httpConnections;
        for (auto& [key, connection] : connections) connection->close();
        impl->pairingWaiters.clear();
        impl->work.reset();
    });
    impl_->thread.join();
}

std::vector<ClientInfo> NetServer::clients() const {
    std::lock_guard lock(impl_->publishLock);
    return impl_->publishedClients;
}

int NetServer::screenViewers() const {
    return impl_->publishedViewers;
}

uint16_t NetServer::controlPort() const {
    return impl_->boundControl;
}

uint16_t NetServer::discoveryPort() const {
    return impl_->boundDiscovery;
}

std::string NetServer::discoveryReply() const {
    nlohmann::json reply = {{"name", impl_->platform.system->computerName()},
                            {"os", impl_->platform.system->os()},
                            {"ver", kVersion},
                            {"port", impl_->options.controlPort ? impl_->options.controlPort
                                                                : impl_->boundControl.load()},
                            {"id", impl_->store->serverId()}};
    try {
        return "RMK!" + reply.dump();
    } catch (const nlohmann::json::exception&) {
        return "RMK!";
    }
}

std::string NetServer::identityJson() const {
    const nlohmann::json identity = {{"id", impl_->store->serverId()},
                                     {"name", impl_->platform.system->computerName()},
                                     {"version", kVersion},
                                     {"os", impl_->platform.system->os()}};
    return identity.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string NetServer::infoLine() const {
    auto flag = [](bool b) { return b ? "true" : "false"; };
    return std::string("INFO {\"name\":") +
           text::jsonQuote(impl_->platform.system->computerName()) +
           ",\"os\":" + text::jsonQuote(impl_->platform.system->os()) + ",\"ver\":\"" + kVersion +
           "\",\"power\":" + flag(impl_->store->allowPower()) +
           ",\"ax\":" + flag(impl_->platform.events->trusted()) +
           ",\"screen\":" + flag(impl_->store->allowScreen()) + "}\n";
}

void NetServer::post(std::function<void()> fn) {
    asio::post(*impl_->io, std::move(fn));
}

bool NetServer::isPrivate(std::string_view address) {
    if (address == "127.0.0.1" || address.starts_with("::1")) return true;
    std::vector<int64_t> numbers;
    for (std::string_view piece : text::splitNonEmpty(address, '.')) {
        if (auto n = text::parseInt64(piece)) numbers.push_back(*n);
    }
    if (numbers.size() == 4) {
        const int64_t a = numbers[0];
        const int64_t b = numbers[1];
        switch (a) {
            case 10:
                return true;
            case 100:
                return b >= 64 && b <= 127;
            case 169:
                return b == 254;
            case 172:
                return b >= 16 && b <= 31;
            case 192:
                return b == 168;
            default:
                return false;
        }
    }
    return address.starts_with("fd") || address.starts_with("fe80");
}

std::string NetServer::addressText(std::string_view rawAddress) {
    std::string text(rawAddress);
    const auto pieces = text::splitNonEmpty(text, '%');
    if (!pieces.empty()) text = std::string(pieces.front());
    ErrorCode ec;
    const auto address = asio::ip::make_address(text, ec);
    if (!ec && address.is_v6() && address.to_v6().is_v4_mapped()) {
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    }
    return text;
}

}  // namespace velora
