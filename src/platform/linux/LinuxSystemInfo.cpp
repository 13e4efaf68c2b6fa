#include "platform/linux/LinuxSystemInfo.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <thread>
#include <utility>

namespace velora::linux_ {

namespace {

// An interface address as text, with what decides whether and where it is listed.
struct InterfaceAddress {
    std::string text;
    bool ipv6 = false;
    bool linkLocal = false;
    bool loopback = false;
    // Wired and wireless interfaces ("en*", "eth*", "wl*") rather than bridges, tunnels and
    // containers' ones.
    bool lan = false;
};

bool isLanInterface(const std::string& name) {
    return name.rfind("en", 0) == 0 || name.rfind("eth", 0) == 0 || name.rfind("wl", 0) == 0;
}

std::optional<std::string> numericHost(const sockaddr* address) {
    const socklen_t length =
        address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    char text[NI_MAXHOST] = {};
    if (getnameinfo(address, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
        return std::nullopt;
    // A link-local IPv6 address carries its zone ("%eth0"), which is not part of the address.
    std::string host = text;
    return host.substr(0, host.find('%'));
}

std::vector<InterfaceAddress> interfaceAddresses() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0 || list == nullptr) return {};
    std::vector<InterfaceAddress> found;
    for (ifaddrs* ifa = list; ifa != nullptr; ifa = ifa->ifa_next) {
        if (ifa->ifa_addr == nullptr || ifa->ifa_name == nullptr || !(ifa->ifa_flags & IFF_UP))
            continue;
        const int family = ifa->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        const auto text = numericHost(ifa->ifa_addr);
        if (!text) continue;
        InterfaceAddress address{*text, family == AF_INET6};
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(ifa->ifa_addr);
        address.linkLocal = address.ipv6 && IN6_IS_ADDR_LINKLOCAL(&v6->sin6_addr);
        address.loopback = (ifa->ifa_flags & IFF_LOOPBACK) != 0;
        address.lan = isLanInterface(ifa->ifa_name);
        found.push_back(std::move(address));
    }
    freeifaddrs(list);
    return found;
}

// The addresses `name` resolves to, as numeric text.
std::vector<std::string> resolve(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0) return {};
    std::vector<std::string> addresses;
    for (addrinfo* ai = results; ai != nullptr; ai = ai->ai_next) {
        if (auto text = numericHost(ai->ai_addr)) addresses.push_back(std::move(*text));
    }
    freeaddrinfo(results);
    return addresses;
}

}  // namespace

std::string prettyHostname(const std::string& machineInfo) {
    std::istringstream in(machineInfo);
    std::string line;
    const std::string key = "PRETTY_HOSTNAME=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return value;
    }
    return {};
}

std::string LinuxSystemInfo::computerName() {
    std::ifstream file("/etc/machine-info");
    std::stringstream text;
    text << file.rdbuf();
    std::string pretty = prettyHostname(text.str());
    if (!pretty.empty()) return pretty;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') return host;
    return "Linux";
}

std::optional<std::string> LinuxSystemInfo::localAddress() {
    for (const InterfaceAddress& address : interfaceAddresses()) {
        if (!address.ipv6 && !address.loopback && address.lan) return address.text;
    }
    return std::nullopt;
}

std::string LinuxSystemInfo::hostName() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return {};
    const std::string name = host;
    return name.substr(0, name.find('.'));
}

std::vector<std::string> LinuxSystemInfo::localAddresses() {
    std::vector<InterfaceAddress> all = interfaceAddresses();
    std::erase_if(all, [](const InterfaceAddress& a) { return a.loopback || a.linkLocal; });
    std::stable_sort(all.begin(), all.end(),
                     [](const InterfaceAddress& a, const InterfaceAddress& b) {
                         return std::pair(a.ipv6, !a.lan) < std::pair(b.ipv6, !b.lan);
                     });
    std::vector<std::string> texts;
    for (InterfaceAddress& address : all) texts.push_back(std::move(address.text));
    return texts;
}

// getaddrinfo has no timeout of its own, and a ".local" name that no mDNS resolver answers goes
// to DNS, which may take many seconds; so the lookup runs on a thread of its own that is left
// to finish by itself when it takes longer than the bound.
bool LinuxSystemInfo::resolvesToSelf(const std::string& name, std::chrono::milliseconds bound) {
    auto answer = std::make_shared<std::promise<std::vector<std::string>>>();
    std::future<std::vector<std::string>> resolved = answer->get_future();
    std::thread([answer, name] { answer->set_value(resolve(name)); }).detach();
    if (resolved.wait_for(bound) != std::future_status::ready) return false;
    // Any address of this computer counts: mDNS also answers with link-local ones.
    const std::vector<InterfaceAddress> own = interfaceAddresses();
    for (const std::string& address : resolved.get()) {
        const bool ours = std::any_of(own.begin(), own.end(),
                                      [&](const InterfaceAddress& a) { return a.text == address; });
        if (ours) return true;
    }
    return false;
}

}  // namespace velora::linux_
