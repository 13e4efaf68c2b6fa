#include "Settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "core/Text.h"

namespace remote {
namespace {

struct CommandSpec {
    size_t minOperands;
    size_t maxOperands;
    std::vector<std::string> options;
};

const std::map<std::string, CommandSpec>& commands() {
    static const std::map<std::string, CommandSpec> table = {
        {"discover", {0, 0, {"--timeout", "--port", "--discovery-port"}}},
        {"pair", {1, 1, {"--port", "--discovery-port", "--timeout", "--name", "--pin"}}},
        {"send",
         {2, SIZE_MAX, {"--port", "--discovery-port", "--timeout", "--wait", "--name", "--token"}}},
        {"shell",
         {1, 1, {"--port", "--discovery-port", "--timeout", "--wait", "--name", "--token"}}},
        {"screen",
         {1,
          1,
          {"--port", "--discovery-port", "--timeout", "--token", "--width", "--quality", "--name",
           "--out", "--frames", "--no-ack"}}},
    };
    return table;
}

std::optional<int64_t> integerIn(const std::string& text, int64_t low, int64_t high) {
    auto value = velora::text::parseInt64(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

std::optional<Seconds> secondsFrom(const std::string& text, double low) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < low || value > 86400) {
        return std::nullopt;
    }
    return Seconds(value);
}

// Stores one option's value; returns an error message or nothing.
std::optional<std::string> apply(Settings& s, const std::string& option, const std::string& v) {
    const std::string bad = "bad value for " + option + ": " + v;
    auto port = [&](uint16_t& field) -> std::optional<std::string> {
        auto n = integerIn(v, 1, 65535);
        if (!n) return bad;
        field = static_cast<uint16_t>(*n);
        return std::nullopt;
    };
    auto integer = [&](int64_t& field, int64_t low, int64_t high) -> std::optional<std::string> {
        auto n = integerIn(v, low, high);
        if (!n) return bad;
        field = *n;
        return std::nullopt;
    };
    // "discover" speaks only UDP, so its --port is the discovery port.
    if (option == "--port") return port(s.command == "discover" ? s.discoveryPort : s.port);
    if (option == "--discovery-port") return port(s.discoveryPort);
    if (option == "--width") return integer(s.width, INT32_MIN, INT32_MAX);
    if (option == "--quality") return integer(s.quality, INT32_MIN, INT32_MAX);
    if (option == "--frames") return integer(s.frames, 1, INT32_MAX);
    if (option == "--timeout" || option == "--wait") {
        auto seconds = secondsFrom(v, option == "--timeout" ? 0.001 : 0.0);
        if (!seconds) return bad;
        if (option == "--timeout") {
            s.timeout = *seconds;
        } else {
            s.wait = *seconds;
        }
        return std::nullopt;
    }
    if (option == "--name") s.name = v;
    if (option == "--token") s.token = v;
    if (option == "--pin") {
        // The PIN goes into one wire line.
        if (v.empty() || v.find_first_of("\r\n") != std::string::npos) return bad;
        s.pin = v;
    }
    if (option == "--out") s.outDir = v;
    return std::nullopt;
}

}  // namespace

std::variant<Settings, std::string> parseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return std::string("no command given");
    Settings s;
    s.command = args[0];
    auto spec = commands().find(s.command);
    if (spec == commands().end()) return "unknown command: " + s.command;
    const auto& allowed = spec->second.options;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || !arg.starts_with("--")) {
            s.operands.push_back(arg);
            continue;
        }
        if (std::find(allowed.begin(), allowed.end(), arg) == allowed.end()) {
            return "option " + arg + " does not apply to " + s.command;
        }
        if (arg == "--no-ack") {
            s.noAck = true;
            continue;
        }
        if (i + 1 == args.size()) return "option " + arg + " needs a value";
        if (auto error = apply(s, arg, args[++i])) return *error;
    }
    if (s.operands.size() < spec->second.minOperands) return s.command + ": HOST is missing";
    if (s.operands.size() > spec->second.maxOperands) {
        return s.command + ": unexpected argument " + s.operands[spec->second.maxOperands];
    }
    return s;
}

std::string usageText() {
    return R"(usage: velora-remote COMMAND [options]
       velora-remote --version | --help

  discover [--timeout S] [--port P]
      Probe UDP port 21999 (broadcast and 127.0.0.1); one line per answer:
      address, name, os, version, port, id (tab-separated). Waits 1.5 s by default.
  pair HOST [--pin PIN] [--name NAME]
      Pair with the computer: enter the PIN it shows (from --pin or stdin), or press
      Allow on the computer. The token is kept in
      $XDG_CONFIG_HOME/velora-remote/tokens.json (default ~/.config/velora-remote/).
  send HOST LINE... [--wait S]
      Greet with the kept token, send each LINE, print every reply (waits 0.5 s after
      the last line by default).
  shell HOST
      Greet with the kept token, send the lines read from stdin, print the replies.
  screen HOST [--width W] [--quality Q] [--name N] [--out DIR] [--frames N] [--no-ack]
      View the screen: print the header, then after N JPEG frames (default 10) the
      frame rate, bytes and keep-alives. --out writes frame-00001.jpg... to DIR.
      --timeout S without a new picture (a still screen) ends the view early; with
      --no-ack no frame is acknowledged and a silence of --timeout ends it.

options: --port P (TCP, default 21998), --discovery-port P (default 21999),
         --token T (instead of the kept one), --timeout S (default 5 s),
         --name NAME (default velora-remote)

exit codes: 0 ok, 1 other failure, 2 usage, 3 refused/unreachable/timed out, 4 ERR busy,
            5 ERR pin, 6 closed without reply, 7 not paired/ERR auth, 8 ERR disabled,
            9 ERR perm
)";
}

}  // namespace remote
