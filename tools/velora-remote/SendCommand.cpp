#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "Commands.h"
#include "Control.h"
#include "ExitCode.h"

namespace remote {
namespace {

void printReply(const std::string& line) {
    std::printf("%s\n", printable(line).c_str());
    std::fflush(stdout);
}

// Prints the replies that arrive until `deadline`; kClosed if the computer hangs up.
int printRepliesUntil(Connection& conn, Clock::time_point deadline) {
    for (;;) {
        auto reply = conn.readLine(deadline);
        if (reply.status == ReadStatus::timeout) return kOk;
        if (reply.status != ReadStatus::ok) return readFailure(reply, "ending the session");
        printReply(reply.data);
    }
}

// Opens an admitted control session for `host`, or returns the exit code of the failure.
std::optional<Connection> admittedSession(const Settings& settings, int& code) {
    const std::string& host = settings.operands[0];
    auto token = tokenFor(settings, host, code);
    if (!token) return std::nullopt;
    auto conn = connectControl(settings, host);
    if (!conn) {
        code = kUnreachable;
        return std::nullopt;
    }
    code = greet(*conn, settings, *token);
    if (code != kOk) return std::nullopt;
    return conn;
}

// Forwards stdin lines and prints replies until stdin ends or the computer hangs up.
class ShellLoop {
public:
    ShellLoop(Connection& conn, const Settings& settings) : conn_(conn), settings_(settings) {}

    int run() {
        for (;;) {
            pollfd fds[2] = {{conn_.fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
            int ready = conn_.hasLine() ? 1 : ::poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) return fail(kFailure, "poll failed");
            if (conn_.hasLine() || fds[0].revents) {
                auto reply = conn_.readLine(deadlineAfter(replyTimeout(settings_)));
                if (reply.status != ReadStatus::ok) return readFailure(reply, "ending the session");
                printReply(reply.data);
            } else if (fds[1].revents && !forwardInput()) {
                return printRepliesUntil(conn_, deadlineAfter(settings_.wait));
            }
        }
    }

private:
    // Sends the complete lines read so far; false once stdin has ended.
    bool forwardInput() {
        char chunk[4096];
        ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) return true;
        if (n > 0) typed_.append(chunk, static_cast<size_t>(n));
        if (n <= 0 && !typed_.empty()) typed_ += '\n';
        size_t end;
        while ((end = typed_.find('\n')) != std::string::npos) {
            conn_.sendLine(std::string_view(typed_).substr(0, end));
            typed_.erase(0, end + 1);
        }
        return n > 0;
    }

    Connection& conn_;
    const Settings& settings_;
    std::string typed_;
};

}  // namespace

int runSend(const Settings& settings) {
    int code = kOk;
    auto conn = admittedSession(settings, code);
    if (!conn) return code;
    for (size_t i = 1; i < settings.operands.size(); ++i) {
        if (!conn->sendLine(settings.operands[i])) {
            return fail(kClosed, "the computer closed the connection");
        }
    }
    return printRepliesUntil(*conn, deadlineAfter(settings.wait));
}

int runShell(const Settings& settings) {
    int code = kOk;
    auto conn = admittedSession(settings, code);
    if (!conn) return code;
    return ShellLoop(*conn, settings).run();
}

}  // namespace remote
