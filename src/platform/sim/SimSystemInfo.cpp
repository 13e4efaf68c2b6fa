#include "platform/sim/SimSystemInfo.h"
