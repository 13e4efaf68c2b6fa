// Finding computers: the "RMK?" probe on UDP and the parsing of their "RMK!" answers.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace remote {

struct DiscoveryAnswer {
    std::string address;  // where the answer came from
    // The announced members, as text; "?" for one that is missing or of the wrong type.
    std::string name, os, ver, port, id;
};

// Reads one answer datagram; nothing unless it starts with "RMK!". An answer whose JSON is
// missing or broken still counts, with every member "?".
std::optional<DiscoveryAnswer> parseDiscoveryAnswer(std::string_view datagram,
                                                    const std::string& address);

// Sends "RMK?" to each target host on `port` and collects the answers until `timeout`, or
// until the first one when `firstOnly`. Identical answers from one address are listed once.
// Targets that cannot be resolved or reached are skipped; `error` tells about them.
std::vector<DiscoveryAnswer> discover(const std::vector<std::string>& targets, uint16_t port,
                                      std::chrono::milliseconds timeout, bool firstOnly,
                                      std::string& error);

}  // namespace remote
