#pragma once

namespace velora {
// The build defines VELORA_VERSION from the project's version, so that --version, discovery and
// INFO all announce the one number.
inline constexpr const char* kVersion = VELORA_VERSION;
inline constexpr unsigned short kControlPort = 21998;
inline constexpr unsigned short kDiscoveryPort = 21999;
}  // namespace velora
