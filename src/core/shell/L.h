// Localization: the language chosen once per process, text lookup with placeholders, help address.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velora {

using StringTable = std::map<std::string, std::map<std::string, std::string>, std::less<>>;

// The built-in table: 30 language codes, each with the same 35 keys.
const StringTable& STRINGS();
// Texts the Linux shell adds beside STRINGS (permission warning, title, body, button; the window
// that shows the phone page's address; the settings notice; activity-log entries as the console
// shows them), same codes.
const StringTable& LINUX_STRINGS();
// The 30 language codes in table order.
const std::vector<std::string>& languageCodes();

namespace L {

using Params = std::vector<std::pair<std::string, std::string>>;

// The language for a source tag: VELORA_LANG when set (even empty), else the first preferred tag.
std::string chooseLanguage(const std::optional<std::string>& veloraLang,
                           const std::vector<std::string>& preferred);
// The preferred tags from a POSIX environment: LANGUAGE (first entry), LC_ALL, LC_MESSAGES, LANG;
// "ko_KR.UTF-8" becomes "ko-KR"; "C" and "POSIX" are no preference.
std::vector<std::string> preferredFromEnvironment();

// The process's language, chosen on first use and fixed afterwards.
const std::string& lang();
// Text for `key` in `lang()` (then English, then the key itself) with placeholders filled.
std::string T(std::string_view key, const Params& params = {});
// The same lookup in a given language and table.
std::string lookup(const StringTable& table, std::string_view language, std::string_view key,
                   const Params& params);
std::string helpURL();
std::string helpURLFor(std::string_view language);

}  // namespace L
}  // namespace velora
