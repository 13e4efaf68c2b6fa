// One activity-log entry as the server raises it: what happened, to which phone, with which
// values. log.txt keeps one fixed Korean text per kind, which stored logs and the people who read
// them rely on; a shell shows the same entry in the person's language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velora {

enum class LogKind {
    DiscoveryPortFailed,
    ControlPortFailed,
    OutsideRefused,
    AddressBlocked,
    PairingPaused,
    LineTooLong,
    BadGreeting,
    Greeted,
    PairingRequest,
    PairingTimeout,
    PinWrong,
    Connected,
    Disconnected,
    ViewStarted,
    ViewEnded,
    ViewDenied,
};

struct LogEvent {
    LogKind kind;
    std::string name{};     // the phone's name
    std::string ip{};       // the phone's address (for PairingPaused: of the last wrong PIN)
    std::string error{};    // why a port could not be opened
    std::string version{};  // of the phone's app
    std::string pin{};      // shown for pairing
    std::string until{};    // "HH:mm:ss" when a block or a pause of pairings ends
    int64_t count = 0;      // wrong PINs
    int64_t width = 0;      // of a screen view
    int64_t quality = 0;    // of a screen view
    bool operator==(const LogEvent&) const = default;

    // The fixed text that log.txt keeps.
    std::string text() const;
    // The text in `language`, from the shell's strings.
    std::string text(std::string_view language) const;
    // The key of its text in the shell's strings.
    std::string_view key() const;
};

}  // namespace velora
