#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

#include "core/shell/L.h"

using namespace velora;

namespace {

std::string choose(const std::string& tag) {
    return L::chooseLanguage(std::nullopt, {tag});
}

}  // namespace

TEST(LChoose, VeloraLangOverridesSystemEvenWhenEmpty) {
    EXPECT_EQ(L::chooseLanguage("ko", {"de-DE"}), "ko");
    EXPECT_EQ(L::chooseLanguage("", {"de-DE"}), "en");
    EXPECT_EQ(L::chooseLanguage(std::nullopt, {"de-DE", "fr"}), "de");
    EXPECT_EQ(L::chooseLanguage(std::nullopt, {}), "en");
}

TEST(LChoose, ChineseScriptAndRegionAreCaseSensitive) {
    for (const char* tag : {"zh-Hant-TW", "zh-TW", "zh-HK", "zh-MO", "ZH-Hant", "zh-Hans-MO"}) {
        EXPECT_EQ(choose(tag), "zh-Hant") << tag;
    }
    for (const char* tag : {"zh-hant", "zh-Hans-CN", "zh", "zh-tw"}) {
        EXPECT_EQ(choose(tag), "zh") << tag;
    }
}

TEST(LChoose, LegacyAndRegionalTags) {
    EXPECT_EQ(choose("nn-NO"), "nb");
    EXPECT_EQ(choose("no"), "nb");
    EXPECT_EQ(choose("iw-IL"), "he");
    EXPECT_EQ(choose("in-ID"), "id");
    EXPECT_EQ(choose("pt-BR"), "pt");
    EXPECT_EQ(choose("en-GB"), "en");
    EXPECT_EQ(choose("FR"), "fr");
    EXPECT_EQ(choose("es-419"), "es");
    EXPECT_EQ(choose("--ja--JP"), "ja");
}

TEST(LChoose, UnknownOrMalformedTagsFallBackToEnglish) {
    for (const char* tag : {"de_DE", "zh_TW", "sr-Latn-RS", "-", "", "Hant", "xx", "\xff"}) {
        EXPECT_EQ(choose(tag), "en") << tag;
    }
}

class LEnvironment : public ::testing::Test {
protected:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

    void SetUp() override {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    void TearDown() override {
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i]) {
                setenv(kNames[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }
    static std::string preferred() {
        const auto tags = L::preferredFromEnvironment();
        return tags.empty() ? "<none>" : tags.front();
    }

private:
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(LEnvironment, LocaleNamesBecomeTags) {
    EXPECT_EQ(preferred(), "en");
    setenv("LANG", "ko_KR.UTF-8", 1);
    EXPECT_EQ(preferred(), "ko-KR");
    setenv("LANG", "zh_TW", 1);
    EXPECT_EQ(preferred(), "zh-TW");
    EXPECT_EQ(L::chooseLanguage(std::nullopt, L::preferredFromEnvironment()), "zh-Hant");
    setenv("LANG", "de_DE.ISO-8859-15@euro", 1);
    EXPECT_EQ(preferred(), "de-DE");
    setenv("LANG", "sr_RS@latin", 1);
    EXPECT_EQ(preferred(), "sr-RS");
    setenv("LANG", "nn_NO.UTF-8", 1);
    EXPECT_EQ(L::chooseLanguage(std::nullopt, L::preferredFromEnvironment()), "nb");
}

TEST_F(LEnvironment, FirstNonEmptyVariableWins) {
    setenv("LANG", "ko_KR.UTF-8", 1);
    setenv("LC_MESSAGES", "", 1);
    EXPECT_EQ(preferred(), "ko-KR");
    setenv("LC_MESSAGES", "pt_BR.UTF-8", 1);
    EXPECT_EQ(preferred(), "pt-BR");
    setenv("LC_ALL", "fi_FI", 1);
    EXPECT_EQ(preferred(), "fi-FI");
    setenv("LANGUAGE", "::sv:de", 1);
    EXPECT_EQ(preferred(), "sv");
    setenv("LANGUAGE", ":", 1);
    EXPECT_EQ(preferred(), "fi-FI");
}

TEST_F(LEnvironment, CAndPosixMeanNoPreference) {
    setenv("LANG", "de_DE.UTF-8", 1);
    for (const char* name : {"C", "C.UTF-8", "POSIX"}) {
        setenv("LC_ALL", name, 1);
        EXPECT_EQ(preferred(), "en") << name;
    }
}

TEST(LLookup, FallsBackToEnglishThenKeyAndFillsPlaceholders) {
    const StringTable table = {
        {"en", {{"a", "A {x} and {x}"}, {"b", "B {y}{x}"}}},
        {"ko", {{"a", "가 {x}"}}},
    };
    EXPECT_EQ(L::lookup(table, "ko", "a", {{"x", "1"}}), "가 1");
    // Each pair works on the text the previous pairs left.
    EXPECT_EQ(L::lookup(table, "ko", "b", {{"x", "{y}"}, {"y", "2"}}), "B 22");
    EXPECT_EQ(L::lookup(table, "xx", "a", {{"x", "1"}, {"unused", "?"}}), "A 1 and 1");
    EXPECT_EQ(L::lookup(table, "ko", "missing", {{"x", "1"}}), "missing");
    EXPECT_EQ(L::lookup(table, "en", "a", {{"X", "1"}}), "A {x} and {x}");

    const StringTable& strings = STRINGS();
    EXPECT_EQ(L::lookup(strings, "en", "tray_connected", {{"n", "2"}}), "Connected: 2");
    EXPECT_EQ(L::lookup(strings, "en", "tray_connected", {}), "Connected: {n}");
    EXPECT_EQ(L::lookup(strings, "en", "device_forget", {{"name", "Pixel"}, {"ip", "192.168.0.7"}}),
              "Pixel (192.168.0.7) \u2014 Disconnect");
}

TEST(LLookup, ProcessLanguageIsATableCode) {
    const auto& codes = languageCodes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), L::lang()), codes.end());
    EXPECT_EQ(L::T("no_such_key", {{"n", "1"}}), "no_such_key");
    EXPECT_EQ(L::T("tray_connected", {{"n", "7"}}),
              L::lookup(STRINGS(), L::lang(), "tray_connected", {{"n", "7"}}));
}

TEST(LHelp, EnglishIsTheBareBaseAddress) {
    const std::string base = L::helpURLFor("en");
    EXPECT_TRUE(base.starts_with("https://"));
    EXPECT_TRUE(base.ends_with("/velora/"));
    EXPECT_EQ(L::helpURLFor("ja"), base + "ja/");
    EXPECT_EQ(L::helpURLFor("zh-Hant"), base + "zh-Hant/");
    EXPECT_EQ(L::helpURL(), L::helpURLFor(L::lang()));
}

namespace {

const std::regex kPlaceholder("\\{([a-z]+)\\}");

std::vector<std::string> placeholders(const std::string& text) {
    std::vector<std::string> names;
    for (std::sregex_iterator it(text.begin(), text.end(), kPlaceholder), end; it != end; ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

// Texts that read the same in a language as in English.
bool sameWordInLanguage(const std::string& code, const std::string& key) {
    return code == "nl" && key == "tray_help";
}

void checkTable(const StringTable& table, const std::set<std::string>& mustNameVelora) {
    const std::set<std::string> codes(languageCodes().begin(), languageCodes().end());
    ASSERT_EQ(codes.size(), 30u);
    ASSERT_EQ(table.size(), 30u);
    const auto& english = table.at("en");
    for (const auto& [code, texts] : table) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(codes.contains(code));
        for (const auto& [key, text] : texts) {
            EXPECT_TRUE(english.contains(key)) << "extra key " << key;
        }
        for (const auto& [key, en] : english) {
            SCOPED_TRACE(key);
            if (!texts.contains(key)) {
                ADD_FAILURE() << "missing key";
                continue;
            }
            const std::string& text = texts.at(key);
            EXPECT_FALSE(text.empty());
            const auto names = placeholders(text);
            EXPECT_EQ(names, placeholders(en));
            EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
            const std::string bare = std::regex_replace(text, kPlaceholder, "");
            EXPECT_EQ(bare.find_first_of("{}"), std::string::npos) << "stray brace";
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
                      std::count(en.begin(), en.end(), '\n'));
            EXPECT_FALSE(text.ends_with("\n") || text.starts_with(" ") || text.ends_with(" "));
            if (code != "en" && !sameWordInLanguage(code, key)) {
                EXPECT_NE(text, en) << "untranslated";
            }
            if (mustNameVelora.contains(key)) {
                EXPECT_NE(text.find("Velora"), std::string::npos);
            }
            if (key.ends_with("_warn") || key.ends_with("_closed")) {
                EXPECT_TRUE(text.starts_with("\u26A0\uFE0E "));
            }
            // The settings path line: at least two "›" steps, then " — " and the product name.
            const size_t paragraph = text.find("\n\n");
            if (key == "mac_ax_body" && paragraph != std::string::npos) {
                const size_t start = paragraph + 2;
                const std::string path = text.substr(start, text.find('\n', start) - start);
                EXPECT_NE(path.find("\u203A"), path.rfind("\u203A")) << path;
                EXPECT_NE(path.find(" \u2014 "), std::string::npos) << path;
                EXPECT_NE(path.find("Velora"), std::string::npos) << path;
            }
        }
    }
}

}  // namespace

TEST(LTable, EveryLanguageHasEveryTextTranslated) {
    EXPECT_EQ(languageCodes(),
              (std::vector<std::string>{"ar", "cs", "da", "de", "en",      "es", "fi", "fr",
                                        "he", "hi", "hu", "id", "it",      "ja", "ko", "ms",
                                        "nb", "nl", "pl", "pt", "ro",      "ru", "sk", "sv",
                                        "th", "tr", "uk", "vi", "zh-Hant", "zh"}));
    EXPECT_EQ(STRINGS().at("en").size(), 35u);
    EXPECT_EQ(LINUX_STRINGS().at("en").size(), 41u);
    checkTable(STRINGS(), {"tip_idle", "tip_connected", "tip_viewing", "balloon_running_title",
                           "pin_title", "mac_ax_body"});
    checkTable(LINUX_STRINGS(), {"linux_ax_body", "linux_consent_body", "linux_no_screen_backend",
                                 "linux_no_input_backend", "linux_no_backend"});
}

// The consent alert's body names its own button, and the console's line the command, which is
// typed as written in every language.
TEST(LTable, ConsentTextsNameTheButtonAndTheCommand) {
    for (const auto& [code, texts] : LINUX_STRINGS()) {
        SCOPED_TRACE(code);
        EXPECT_NE(texts.at("linux_consent_body").find(texts.at("linux_consent_ask")),
                  std::string::npos);
        EXPECT_TRUE(std::regex_search(texts.at("linux_consent_console"),
                                      std::regex("(^|[^A-Za-z])consent([^A-Za-z]|$)")));
    }
}

TEST(LTable, EnglishTextsAreExact) {
    const auto& en = STRINGS().at("en");
    EXPECT_EQ(en.at("tray_addr_pending"), "Checking address\u2026");
    EXPECT_EQ(en.at("mac_ax_warn"),
              "\u26A0\uFE0E Accessibility permission needed \u2014 click to open settings");
    EXPECT_EQ(en.at("pin_foot"), "If you don't recognize this device, close this window.");
    EXPECT_EQ(
        en.at("mac_ax_body"),
        "To let your phone move this Mac's mouse and keyboard, turn on this permission.\n\n"
        "System Settings \u203A Privacy & Security \u203A Accessibility \u2014 turn on "
        "Velora.\nIt takes effect right away. If the pointer still doesn't move, quit the app "
        "and open it again.");
}
