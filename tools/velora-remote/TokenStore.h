// The tokens this phone has been given, one per computer, kept in
// $XDG_CONFIG_HOME/velora-remote/tokens.json (default ~/.config/velora-remote/), mode 0600.
// The file is one JSON object: server id (or host, when the computer did not answer the
// discovery probe) → {"token": ..., "host": ...}.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace remote {

class TokenStore {
public:
    // The store at its usual place; nothing when neither XDG_CONFIG_HOME nor HOME is usable.
    static std::optional<TokenStore> atDefaultPlace(std::string& error);
    explicit TokenStore(std::filesystem::path file) : file_(std::move(file)) {}

    const std::filesystem::path& file() const { return file_; }
    // The token kept for `key`, if any.
    std::optional<std::string> token(const std::string& key) const;
    // Keeps `token` for `key`, replacing an older one. The file is replaced as a whole, so a
    // crash never leaves half of it; a file that is not valid JSON is left alone.
    bool put(const std::string& key, const std::string& token, const std::string& host,
             std::string& error) const;

private:
    std::filesystem::path file_;
};

}  // namespace remote
