#include <cstdio>

#include "Commands.h"
#include "Control.h"
#include "Discovery.h"
#include "ExitCode.h"

namespace remote {

int runDiscover(const Settings& settings) {
    auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
        settings.timeout.value_or(Seconds(1.5)));
    std::string error;
    // Broadcast for the network, loopback for this machine (broadcasts do not reach it).
    auto answers =
        discover({"255.255.255.255", "127.0.0.1"}, settings.discoveryPort, timeout, false, error);
    for (const auto& a : answers) {
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", a.address.c_str(), printable(a.name).c_str(),
                    printable(a.os).c_str(), printable(a.ver).c_str(), printable(a.port).c_str(),
                    printable(a.id).c_str());
    }
    if (!answers.empty()) return kOk;
    return fail(kUnreachable, error.empty() ? "no computer answered" : "no answer; " + error);
}

}  // namespace remote
