#include "ExitCode.h"

#include <cstdio>
#include <string>

namespace remote {

int fail(int code, std::string_view message) {
    std::fprintf(stderr, "velora-remote: %.*s\n", static_cast<int>(message.size()), message.data());
    return code;
}

int exitCodeForReply(std::string_view line) {
    if (line == "ERR busy") return kBusy;
    if (line == "ERR pin") return kBadPin;
    if (line == "ERR auth") return kNotPaired;
    if (line == "ERR disabled") return kDisabled;
    if (line == "ERR perm") return kNoPermission;
    return kFailure;
}

}  // namespace remote
