// Exit codes of velora-remote, one per way a conversation with the computer can end, so that
// scripts and the end-to-end tests can tell the outcomes apart.
#pragma once

#include <string_view>

namespace remote {

enum ExitCode : int {
    kOk = 0,
    kFailure = 1,       // local trouble (files, protocol violations, unexpected replies)
    kUsage = 2,         // bad command line
    kUnreachable = 3,   // connection refused, unreachable, or no answer in time
    kBusy = 4,          // "ERR busy"
    kBadPin = 5,        // "ERR pin"
    kClosed = 6,        // the computer closed the connection without a reply
    kNotPaired = 7,     // no token kept, the token was not accepted, or "ERR auth"
    kDisabled = 8,      // "ERR disabled"
    kNoPermission = 9,  // "ERR perm"
};

// Prints "velora-remote: <message>" on stderr and returns `code`.
int fail(int code, std::string_view message);

// The exit code for a refusal line such as "ERR busy"; kFailure for any other line.
int exitCodeForReply(std::string_view line);

}  // namespace remote
