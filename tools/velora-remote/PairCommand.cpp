#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "Commands.h"
#include "Control.h"
#include "ExitCode.h"
#include "TokenStore.h"
#include "common/Utf8.h"
#include "core/Text.h"

namespace remote {
namespace {

// The computer accepts a PIN for two minutes after it shows it.
constexpr Seconds kPromptLifetime{120.0};

// Reads the PIN from stdin while watching the connection, since the user may press Allow on
// the computer instead. Returns the computer's next line: its answer to the PIN, or the
// "OK <token>" of an approval.
class PinPrompt {
public:
    PinPrompt(Connection& conn, const Settings& settings) : conn_(conn), settings_(settings) {}

    ReadResult run() {
        const auto deadline = deadlineAfter(kPromptLifetime);
        for (;;) {
            if (conn_.hasLine()) return conn_.readLine(deadline);
            pollfd fds[2] = {{conn_.fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
            int ready = ::poll(fds, stdinOpen_ ? 2 : 1, pollTimeout(deadline));
            if (ready == 0) return {ReadStatus::timeout, {}};
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) return {ReadStatus::failed, "poll failed"};
            if (fds[0].revents) return conn_.readLine(deadline);
            if (auto pin = readTypedPin()) {
                if (!conn_.sendLine("PIN " + *pin)) return {ReadStatus::closed, {}};
                return conn_.readLine(deadlineAfter(replyTimeout(settings_)));
            }
        }
    }

private:
    // Takes what stdin has; the first non-empty line (or the rest at end of input) is the PIN.
    std::optional<std::string> readTypedPin() {
        char chunk[256];
        ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) return std::nullopt;
        if (n > 0) typed_.append(chunk, static_cast<size_t>(n));
        if (n <= 0) {
            stdinOpen_ = false;
            typed_ += '\n';
        }
        size_t end;
        while ((end = typed_.find('\n')) != std::string::npos) {
            std::string pin = velora::text::trimWhitespaceAndNewlines(
                velora::utf8::sanitize(typed_.substr(0, end)));
            typed_.erase(0, end + 1);
            if (!pin.empty()) return pin;
        }
        return std::nullopt;
    }

    Connection& conn_;
    const Settings& settings_;
    bool stdinOpen_ = true;
    std::string typed_;
};

int keepToken(const Settings& settings, const std::string& host, const std::string& key,
              const std::string& line) {
    std::string token = line.substr(3);
    if (token.empty()) return fail(kFailure, "the computer sent an empty token");
    std::string error;
    auto store = TokenStore::atDefaultPlace(error);
    if (!store || !store->put(key, token, host, error)) return fail(kFailure, error);
    std::printf("Paired with %s as %s; token kept in %s\n", printable(key).c_str(),
                wireName(settings.name).c_str(), store->file().c_str());
    return kOk;
}

ReadResult answerPinRequest(Connection& conn, const Settings& settings) {
    std::printf("PIN requested; enter the PIN shown on the computer:\n");
    std::fflush(stdout);
    if (!settings.pin) return PinPrompt(conn, settings).run();
    if (!conn.sendLine("PIN " + *settings.pin)) return {ReadStatus::closed, {}};
    return conn.readLine(deadlineAfter(replyTimeout(settings)));
}

}  // namespace

int runPair(const Settings& settings) {
    const std::string& host = settings.operands[0];
    const std::string key = serverKey(settings, host);
    auto conn = connectControl(settings, host);
    if (!conn) return kUnreachable;
    if (!conn->sendLine("HELLO " + wireName(settings.name) + " - " + std::string(kAppVersion))) {
        return fail(kClosed, "the computer closed the connection");
    }
    auto reply = conn->readLine(deadlineAfter(replyTimeout(settings)));
    if (reply.status == ReadStatus::ok && reply.data == "PIN") {
        reply = answerPinRequest(*conn, settings);
    }
    if (reply.status != ReadStatus::ok) return readFailure(reply, "a pairing answer");
    if (reply.data.starts_with("OK ")) return keepToken(settings, host, key, reply.data);
    return refusal(reply.data);
}

}  // namespace remote
