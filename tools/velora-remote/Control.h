// What the commands that talk to the control port share: names and tokens on the wire, the
// server key under which a token is kept, connecting, greeting and reporting read failures.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Connection.h"
#include "Settings.h"

namespace remote {

inline constexpr std::string_view kAppVersion = "1.0";

// The display name as one wire field: white space and control characters become "_".
std::string wireName(const std::string& name);

// Text from the computer made safe for a terminal: valid UTF-8, control characters shown as
// "?", tabs kept.
std::string printable(std::string_view text);

// The key a token is kept under: the computer's id from a discovery probe to `host`, or the
// host itself when it does not answer.
std::string serverKey(const Settings& settings, const std::string& host);

// The token to present: --token, else the kept one. Nothing, after printing why, when there is
// none or it cannot be put on the wire; `code` is then the exit code.
std::optional<std::string> tokenFor(const Settings& settings, const std::string& host, int& code);

// Connects to the control port; nothing, after printing why, when that fails.
std::optional<Connection> connectControl(const Settings& settings, const std::string& host);

// Reports a read that ended without a line; returns its exit code.
int readFailure(const ReadResult& result, std::string_view waitingFor);

// Reports a reply that refuses or is not understood; returns its exit code.
int refusal(std::string_view line);

// Greets with `token`; kOk once the computer answers "OK <token>".
int greet(Connection& conn, const Settings& settings, const std::string& token);

// How long to wait for a connection or a reply: --timeout, by default 5 s.
Seconds replyTimeout(const Settings& settings);

Clock::time_point deadlineAfter(Seconds seconds);

}  // namespace remote
