#include "core/shell/L.h"

#include <cstdlib>
#include <mutex>

#include "core/Text.h"
#include "core/shell/strings/Languages.h"

namespace velora {
namespace {

// The maker's help page; every localized help address starts with it.
constexpr std::string_view kHelpBase = "https://velora-remote.app/velora/";

struct Language {
    const char* code;
    strings::Texts (*texts)();
    strings::Texts (*linuxTexts)();
};

#define ENTRY(id, code) \
    { code, strings::texts_##id, strings::linuxTexts_##id }

// Table order of the languages.
// clang-format off
constexpr Language kLanguages[] = {
    ENTRY(ar, "ar"), ENTRY(cs, "cs"), ENTRY(da, "da"), ENTRY(de, "de"), ENTRY(en, "en"),
    ENTRY(es, "es"), ENTRY(fi, "fi"), ENTRY(fr, "fr"), ENTRY(he, "he"), ENTRY(hi, "hi"),
    ENTRY(hu, "hu"), ENTRY(id, "id"), ENTRY(it, "it"), ENTRY(ja, "ja"), ENTRY(ko, "ko"),
    ENTRY(ms, "ms"), ENTRY(nb, "nb"), ENTRY(nl, "nl"), ENTRY(pl, "pl"), ENTRY(pt, "pt"),
    ENTRY(ro, "ro"), ENTRY(ru, "ru"), ENTRY(sk, "sk"), ENTRY(sv, "sv"), ENTRY(th, "th"),
    ENTRY(tr, "tr"), ENTRY(uk, "uk"), ENTRY(vi, "vi"), ENTRY(zh_Hant, "zh-Hant"), ENTRY(zh, "zh"),
};
// clang-format on

#undef ENTRY

StringTable buildTable(strings::Texts (*Language::*texts)()) {
    StringTable table;
    for (const Language& language : kLanguages)
        table.emplace(language.code, (*(language.*texts))());
    return table;
}

// A POSIX locale name as a language tag: "ko_KR.UTF-8" becomes "ko-KR"; "C" and "POSIX" name
// no language and give nothing.
std::optional<std::string> tagFromLocaleName(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return std::nullopt;
    std::string tag(name);
    for (char& c : tag) {
        if (c == '_') c = '-';
    }
    return tag;
}

std::optional<std::string> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace

const StringTable& STRINGS() {
    static const StringTable table = buildTable(&Language::texts);
    return table;
}

const StringTable& LINUX_STRINGS() {
    static const StringTable table = buildTable(&Language::linuxTexts);
    return table;
}

const std::vector<std::string>& languageCodes() {
    static const std::vector<std::string> codes = [] {
        std::vector<std::string> list;
        for (const Language& language : kLanguages) list.emplace_back(language.code);
        return list;
    }();
    return codes;
}

namespace L {

std::string chooseLanguage(const std::optional<std::string>& veloraLang,
                           const std::vector<std::string>& preferred) {
    std::string tag = "en";
    if (veloraLang) {
        tag = *veloraLang;
    } else if (!preferred.empty()) {
        tag = preferred.front();
    }
    const auto pieces = text::splitNonEmpty(tag, '-');
    if (pieces.empty()) return "en";
    std::string candidate = text::lower(pieces.front());
    if (candidate == "zh") {
        for (std::string_view piece : pieces) {
            if (piece == "Hant" || piece == "TW" || piece == "HK" || piece == "MO")
                return "zh-Hant";
        }
        return "zh";
    }
    if (candidate == "no" || candidate == "nn") candidate = "nb";
    if (candidate == "iw") candidate = "he";
    if (candidate == "in") candidate = "id";
    return STRINGS().contains(candidate) ? candidate : "en";
}

std::vector<std::string> preferredFromEnvironment() {
    // The first variable that is set and non-empty decides, as it does for message catalogs.
    std::optional<std::string> value;
    if (auto language = environmentValue("LANGUAGE")) {
        const auto entries = text::splitNonEmpty(*language, ':');
        if (!entries.empty()) value = std::string(entries.front());
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (value) break;
        auto v = environmentValue(name);
        if (v && !v->empty()) value = std::move(v);
    }
    if (value) {
        if (auto tag = tagFromLocaleName(*value)) return {*tag};
    }
    return {"en"};
}

const std::string& lang() {
    static std::once_flag once;
    static std::string chosen;
    std::call_once(once, [] {
        // With VELORA_LANG set, even empty, the system's languages are not consulted.
        const auto veloraLang = environmentValue("VELORA_LANG");
        chosen = chooseLanguage(
            veloraLang, veloraLang ? std::vector<std::string>{} : preferredFromEnvironment());
    });
    return chosen;
}

std::string T(std::string_view key, const Params& params) {
    return lookup(STRINGS(), lang(), key, params);
}

std::string lookup(const StringTable& table, std::string_view language, std::string_view key,
                   const Params& params) {
    auto find = [&](std::string_view code) -> const std::string* {
        const auto texts = table.find(code);
        if (texts == table.end()) return nullptr;
        const auto text = texts->second.find(std::string(key));
        return text == texts->second.end() ? nullptr : &text->second;
    };
    const std::string* found = find(language);
    if (found == nullptr) found = find("en");
    std::string result = found != nullptr ? *found : std::string(key);
    for (const auto& [name, value] : params) {
        result = text::replaceAll(result, "{" + name + "}", value);
    }
    return result;
}

std::string helpURL() {
    return helpURLFor(lang());
}

std::string helpURLFor(std::string_view language) {
    std::string url(kHelpBase);
    if (language != "en") url.append(language).append("/");
    return url;
}

}  // namespace L
}  // namespace velora
