#include "app/PortalTokenFile.h"

#include <system_error>

#include "core/store/Files.h"

namespace velora {

namespace {

constexpr mode_t kTokenMode = 0600;
constexpr mode_t kFolderMode = 0700;

// A token is one line of printable ASCII (the portal makes UUIDs); anything else in the file
// is not ours and is not sent.
bool plausibleToken(const std::string& text) {
    if (text.empty() || text.size() > 256) return false;
    for (const char c : text)
        if (c < 0x21 || c > 0x7e) return false;
    return true;
}

}  // namespace

portal::TokenStore portalTokenFile(const std::filesystem::path& folder, const std::string& name) {
    portal::TokenStore store;
    // Without a settings folder (no home) there is nowhere to keep it.
    if (folder.empty()) return store;
    const std::filesystem::path file = folder / name;
    store.load = [file] {
        std::string text = files::readWhole(file).value_or("");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return plausibleToken(text) ? text : std::string();
    };
    store.save = [folder, file](const std::string& token) {
        if (token.empty()) {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
            return;
        }
        if (files::makeFolder(folder, kFolderMode)) files::writeAtomically(file, token, kTokenMode);
    };
    return store;
}

}  // namespace velora
