#include "Control.h"

#include "Discovery.h"
#include "ExitCode.h"
#include "TokenStore.h"
#include "common/Utf8.h"
#include "core/Text.h"

namespace remote {
namespace {

// A probe to one known host is answered at once or not at all.
constexpr std::chrono::milliseconds kIdProbeTime{1000};

bool fitsOneField(std::string_view text) {
    if (text.empty()) return false;
    for (unsigned char c : text) {
        if (c <= ' ' || c == 0x7f) return false;
    }
    return true;
}

}  // namespace

Seconds replyTimeout(const Settings& settings) {
    return settings.timeout.value_or(Seconds(5.0));
}

Clock::time_point deadlineAfter(Seconds seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(seconds);
}

std::string wireName(const std::string& name) {
    std::string out = velora::utf8::sanitize(name);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) c = '_';
    }
    return out.empty() ? "velora-remote" : out;
}

std::string printable(std::string_view text) {
    std::string out = velora::utf8::sanitize(text);
    for (char& c : out) {
        if ((static_cast<unsigned char>(c) < ' ' && c != '\t') || c == 0x7f) c = '?';
    }
    return out;
}

std::string serverKey(const Settings& settings, const std::string& host) {
    std::string ignored;
    auto answers = discover(
        {host}, settings.discoveryPort,
        std::min(kIdProbeTime,
                 std::chrono::duration_cast<std::chrono::milliseconds>(replyTimeout(settings))),
        true, ignored);
    for (const auto& answer : answers) {
        if (answer.id != "?" && !answer.id.empty()) return answer.id;
    }
    return host;
}

std::optional<std::string> tokenFor(const Settings& settings, const std::string& host, int& code) {
    std::optional<std::string> token = settings.token;
    if (!token) {
        std::string error;
        auto store = TokenStore::atDefaultPlace(error);
        if (!store) {
            code = fail(kFailure, error);
            return std::nullopt;
        }
        token = store->token(serverKey(settings, host));
        if (!token) {
            code =
                fail(kNotPaired, "not paired with " + host + "; run: velora-remote pair " + host);
            return std::nullopt;
        }
    }
    if (!fitsOneField(*token)) {
        code = fail(settings.token ? kUsage : kFailure, "the token must be one word");
        return std::nullopt;
    }
    return token;
}

std::optional<Connection> connectControl(const Settings& settings, const std::string& host) {
    std::string error;
    auto conn = Connection::open(
        host, settings.port, std::chrono::duration_cast<Clock::duration>(replyTimeout(settings)),
        error);
    if (!conn) fail(kUnreachable, error);
    return conn;
}

int readFailure(const ReadResult& result, std::string_view waitingFor) {
    switch (result.status) {
        case ReadStatus::closed:
            return fail(kClosed,
                        "the computer closed the connection without " + std::string(waitingFor));
        case ReadStatus::timeout:
            return fail(kUnreachable, "timed out waiting for " + std::string(waitingFor));
        default:
            return fail(kFailure, "connection failed: " + result.data);
    }
}

int refusal(std::string_view line) {
    std::string shown = printable(line);
    if (line.starts_with("ERR "))
        return fail(exitCodeForReply(line), "the computer answered " + shown);
    return fail(kFailure, "unexpected reply: " + shown);
}

int greet(Connection& conn, const Settings& settings, const std::string& token) {
    if (!conn.sendLine("HELLO " + wireName(settings.name) + " " + token + " " +
                       std::string(kAppVersion))) {
        return fail(kClosed, "the computer closed the connection");
    }
    auto reply = conn.readLine(deadlineAfter(replyTimeout(settings)));
    if (reply.status != ReadStatus::ok) return readFailure(reply, "a reply to the greeting");
    if (reply.data.starts_with("OK ")) return kOk;
    if (reply.data == "PIN") {
        return fail(kNotPaired, "not paired: the computer does not know this token");
    }
    return refusal(reply.data);
}

}  // namespace remote
