// The commands of velora-remote; each returns the process exit code (see ExitCode.h).
#pragma once

#include "Settings.h"

namespace remote {

int runDiscover(const Settings& settings);
int runPair(const Settings& settings);
int runSend(const Settings& settings);
int runShell(const Settings& settings);
int runScreen(const Settings& settings);

}  // namespace remote
