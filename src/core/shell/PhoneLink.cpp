#include "core/shell/PhoneLink.h"

#include <algorithm>

#include "core/net/NetServer.h"

namespace velora {
namespace {

bool isLoopback(std::string_view address) {
    return address.starts_with("127.") || address == "::1";
}

// Link-local addresses need a zone that browsers do not take in an address bar.
bool isLinkLocal(std::string_view address) {
    return address.starts_with("169.254.") || address.starts_with("fe80:");
}

// Only addresses the server admits phones from can serve one: a phone reaching a public address
// of this computer would itself come from a public one and be refused.
std::vector<std::string> lanAddresses(const std::vector<std::string>& addresses) {
    std::vector<std::string> lan;
    for (const std::string& address : addresses) {
        if (isLoopback(address) || isLinkLocal(address) || !NetServer::isPrivate(address)) continue;
        if (std::find(lan.begin(), lan.end(), address) == lan.end()) lan.push_back(address);
    }
    return lan;
}

bool isLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

}  // namespace

std::string pageUrl(std::string_view host, uint16_t port) {
    const bool ipv6 = host.find(':') != std::string_view::npos;
    std::string url = "http://";
    url += ipv6 ? "[" + std::string(host) + "]" : std::string(host);
    return url + ":" + std::to_string(port) + "/";
}

std::string dnsLabel(std::string_view hostName) {
    std::string label(hostName);
    std::transform(label.begin(), label.end(), label.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    const bool valid = !label.empty() && label.size() <= 63 && label.front() != '-' &&
                       label.back() != '-' &&
                       std::all_of(label.begin(), label.end(), isLabelCharacter);
    return valid ? label : std::string();
}

PhoneLink choosePhoneLink(const LinkFacts& facts) {
    PhoneLink link;
    std::vector<std::string> urls;
    for (const std::string& address : lanAddresses(facts.addresses))
        urls.push_back(pageUrl(address, facts.port));
    const std::string label = dnsLabel(facts.hostName);
    if (facts.hostNameResolves && !label.empty()) {
        link.kind = LinkKind::HostName;
        link.url = pageUrl(label + ".local", facts.port);
        link.others = std::move(urls);
    } else if (!urls.empty()) {
        link.kind = LinkKind::Address;
        link.url = urls.front();
        link.others.assign(urls.begin() + 1, urls.end());
    }
    return link;
}

PhoneLink currentPhoneLink(SystemInfo& system, uint16_t port) {
    LinkFacts facts;
    facts.hostName = system.hostName();
    facts.addresses = system.localAddresses();
    facts.port = port;
    const std::string label = dnsLabel(facts.hostName);
    facts.hostNameResolves =
        !label.empty() && system.resolvesToSelf(label + ".local", kHostNameCheckBound);
    return choosePhoneLink(facts);
}

}  // namespace velora
