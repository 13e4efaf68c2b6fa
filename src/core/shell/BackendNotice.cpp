#include "core/shell/BackendNotice.h"

#include "core/shell/L.h"

namespace velora {

std::string backendNotice(const Platform& platform, std::string_view language) {
    if (platform.unavailable.empty()) return {};
    const auto& english = LINUX_STRINGS().at("en");
    if (platform.unavailableKey.empty() || !english.contains(platform.unavailableKey))
        return platform.unavailable;
    return L::lookup(LINUX_STRINGS(), language, platform.unavailableKey, {});
}

}  // namespace velora
