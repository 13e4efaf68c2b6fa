// The command line of velora-remote: one command, its operands and its options.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace remote {

using Seconds = std::chrono::duration<double>;

struct Settings {
    std::string command;
    std::vector<std::string> operands;  // HOST first, then the LINEs of "send"
    uint16_t port = 21998;
    uint16_t discoveryPort = 21999;
    std::optional<Seconds> timeout;  // each command has its own default
    Seconds wait{0.5};
    std::string name = "velora-remote";
    std::optional<std::string> token;
    std::optional<std::string> pin;
    int64_t width = 1280;
    int64_t quality = 60;
    std::optional<std::string> outDir;
    int64_t frames = 10;
    bool noAck = false;
};

// Parses the arguments after the program name. A bad command line yields the message to show
// above the usage text.
std::variant<Settings, std::string> parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

}  // namespace remote
