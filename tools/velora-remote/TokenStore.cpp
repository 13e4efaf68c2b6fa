#include "TokenStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace remote {
namespace {

enum class Loaded { missing, ok, broken };

Loaded load(const std::filesystem::path& file, nlohmann::json& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return Loaded::missing;
    std::stringstream text;
    text << in.rdbuf();
    out = nlohmann::json::parse(text.str(), nullptr, false);
    return out.is_object() ? Loaded::ok : Loaded::broken;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes `text` to a fresh 0600 file beside `file`, then renames it over `file`.
bool replaceFile(const std::filesystem::path& file, const std::string& text, std::string& error) {
    std::filesystem::path temp = file;
    temp += ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0 && ::fchmod(fd, 0600) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), file.c_str()) == 0) return true;
    error = "cannot write " + file.string() + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
}

}  // namespace

std::optional<TokenStore> TokenStore::atDefaultPlace(std::string& error) {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else if (home && home[0] == '/') {
        base = std::filesystem::path(home) / ".config";
    } else {
        error = "neither XDG_CONFIG_HOME nor HOME is set; cannot keep tokens";
        return std::nullopt;
    }
    return TokenStore(base / "velora-remote" / "tokens.json");
}

std::optional<std::string> TokenStore::token(const std::string& key) const {
    nlohmann::json all;
    if (load(file_, all) != Loaded::ok) return std::nullopt;
    auto entry = all.find(key);
    if (entry == all.end() || !entry->is_object()) return std::nullopt;
    auto token = entry->find("token");
    if (token == entry->end() || !token->is_string()) return std::nullopt;
    return token->get<std::string>();
}

bool TokenStore::put(const std::string& key, const std::string& token, const std::string& host,
                     std::string& error) const {
    nlohmann::json all = nlohmann::json::object();
    if (load(file_, all) == Loaded::broken) {
        error = file_.string() + " is not a JSON object; fix or remove it";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    ::chmod(file_.parent_path().c_str(), 0700);
    all[key] = {{"token", token}, {"host", host}};
    // Replacement keeps a token with invalid UTF-8 from aborting the write.
    auto text = all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    return replaceFile(file_, text + "\n", error);
}

}  // namespace remote
