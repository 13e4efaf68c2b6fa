// What the shells tell the person, once, when config.json was damaged at start.
#pragma once

#include <string>
#include <string_view>

#include "core/store/Store.h"

namespace velora {

struct SettingsNotice {
    std::string title;
    std::string body;
};

// The notice in `language`: where the damaged file was kept, and each member that was reset with
// the value it has now ("allowPower → true", "devices[2] → removed").
SettingsNotice settingsNotice(const ConfigDamage& damage, std::string_view language);

}  // namespace velora
