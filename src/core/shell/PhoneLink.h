// Where a phone's browser finds this computer's page: the address to show first (the one in the
// QR code) and every other one the page answers at. A phone keeps its pairing per address, so
// the first choice is the one that survives restarts and new network leases.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace velora {

// What kind of address the shown one is.
enum class LinkKind {
    // No address a phone on the LAN could use.
    None,
    // "<host name>.local", answered over mDNS: the same after a restart or a new lease.
    HostName,
    // A LAN address, which a new lease may change.
    Address,
};

// What the computer knows about itself.
struct LinkFacts {
    std::string hostName;
    // Whether "<hostName>.local" resolves to this computer.
    bool hostNameResolves = false;
    // Interface addresses, IPv4 first and the preferred interface first within each family.
    std::vector<std::string> addresses;
    uint16_t port = 21998;
};

struct PhoneLink {
    LinkKind kind = LinkKind::None;
    // The address to show and encode; empty for LinkKind::None.
    std::string url;
    std::vector<std::string> others;
    bool operator==(const PhoneLink&) const = default;
};

// How long the host name check may hold up the shell that shows the address.
constexpr std::chrono::milliseconds kHostNameCheckBound{1000};

PhoneLink choosePhoneLink(const LinkFacts& facts);
// The facts asked of the system, the name check bounded by kHostNameCheckBound.
PhoneLink currentPhoneLink(SystemInfo& system, uint16_t port);

// "http://<host>:<port>/", an IPv6 address in brackets.
std::string pageUrl(std::string_view host, uint16_t port);
// The host name lower-cased when it can stand as a DNS label in an address, else empty.
std::string dnsLabel(std::string_view hostName);

}  // namespace velora
