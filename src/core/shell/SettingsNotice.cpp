#include "core/shell/SettingsNotice.h"

#include "core/shell/L.h"

namespace velora {
namespace {

// What a reset member holds now: switches are on again, a damaged identity is new, an unreadable
// device entry is gone, a device's damaged field is empty.
std::string resetTo(const std::string& member) {
    if (member == "allowPower" || member == "allowScreen") return "true";
    if (member == "serverId") return "new";
    if (member == "devices") return "[]";
    if (member.ends_with("]")) return "removed";
    return member.ends_with(".lastSeen") ? "0" : "\"\"";
}

}  // namespace

SettingsNotice settingsNotice(const ConfigDamage& damage, std::string_view language) {
    std::string what;
    for (const std::string& member : damage.reset) {
        if (!what.empty()) what += ", ";
        what += member + " \u2192 " + resetTo(member);
    }
    if (what.empty()) what = "\u2014";
    const L::Params params{{"file", damage.keptAs}, {"what", what}};
    return {L::lookup(LINUX_STRINGS(), language, "settings_damaged_title", {}),
            L::lookup(LINUX_STRINGS(), language, "settings_damaged", params)};
}

}  // namespace velora
