#include "platform/macos/MacSystemInfo.h"
