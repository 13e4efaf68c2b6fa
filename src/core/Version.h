#pragma once

namespace velora {
inline constexpr const char* kVersion = "1.1.0";
inline constexpr unsigned short kControlPort = 21998;
inline constexpr unsigned short kDiscoveryPort = 21999;
}  // namespace velora
