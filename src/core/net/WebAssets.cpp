#include "core/net/WebAssets.h"

#include <algorithm>

namespace velora {

const WebAsset* findWebAsset(std::string_view path) {
    const auto assets = webAssets();
    const auto it = std::find_if(assets.begin(), assets.end(),
                                 [&](const WebAsset& asset) { return asset.path == path; });
    return it == assets.end() ? nullptr : &*it;
}

}  // namespace velora
