// The desktop portal's restore token, kept in the settings folder between runs.
#pragma once

#include <filesystem>

#include "platform/portal/PortalSession.h"

namespace velora {

// The file `name` in `folder`, beside config.json: readable by its owner only (0600), replaced
// atomically, removed when the portal gives no token. An empty `folder` keeps nothing. The
// remote desktop session keeps its token in "portal-token", a screen cast session alone in
// "portal-screencast-token".
portal::TokenStore portalTokenFile(const std::filesystem::path& folder,
                                   const std::string& name = "portal-token");

}  // namespace velora
