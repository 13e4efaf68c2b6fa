// velora-remote: the reference phone client. Finds computers, pairs with them, sends command
// lines and views the screen, speaking the same protocol as the phone app.
#include <cstdio>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "Commands.h"
#include "ExitCode.h"
#include "Settings.h"
#include "core/Version.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::fputs(remote::usageText().c_str(), stdout);
        return remote::kOk;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("velora-remote %s\n", velora::kVersion);
        return remote::kOk;
    }
    auto parsed = remote::parseCommandLine(args);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        return remote::fail(remote::kUsage, *error + " (see velora-remote --help)");
    }
    const auto& settings = std::get<remote::Settings>(parsed);
    static const std::map<std::string, int (*)(const remote::Settings&)> commands = {
        {"discover", remote::runDiscover}, {"pair", remote::runPair},     {"send", remote::runSend},
        {"shell", remote::runShell},       {"screen", remote::runScreen},
    };
    return commands.at(settings.command)(settings);
}
