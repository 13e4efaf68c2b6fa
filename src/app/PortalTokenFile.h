// The desktop portal's restore token, kept in the settings folder between runs.
#pragma once

#include <filesystem>

#include "platform/portal/PortalSession.h"

namespace velora {

// The file "portal-token" in `folder`, beside config.json: readable by its owner only (0600),
// replaced atomically, removed when the portal gives no token. An empty `folder` keeps nothing.
portal::TokenStore portalTokenFile(const std::filesystem::path& folder);

}  // namespace velora
