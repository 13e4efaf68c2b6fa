// Language choice from outside text: VELORA_LANG, the POSIX locale variables and preferred
// tags. The choice is always one of the table's languages, and text lookup in it with
// arbitrary placeholders always finds something.
#include <algorithm>

#include "FuzzSupport.h"
#include "core/shell/L.h"

using namespace velora;

namespace {

void checkKnown(const std::string& language) {
    const auto& codes = languageCodes();
    fuzzing::check(std::find(codes.begin(), codes.end(), language) != codes.end(),
                   "chosen language is not in the table");
}

void setOrUnset(const char* name, uint8_t mode, std::string_view value) {
    if (mode % 3 == 0) {
        unsetenv(name);
    } else {
        setenv(name, mode % 3 == 1 ? std::string(value).c_str() : "", 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::Reader in(data, size);
    const uint8_t modes = in.byte();
    std::optional<std::string> veloraLang;
    if (modes & 0x80) veloraLang = std::string(in.piece());

    // LANGUAGE, LC_ALL, LC_MESSAGES and LANG, each unset, empty or from the input.
    const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    uint8_t mode = modes;
    for (const char* name : names) {
        setOrUnset(name, mode, in.piece());
        mode /= 3;
    }
    std::vector<std::string> preferred = L::preferredFromEnvironment();
    fuzzing::check(!preferred.empty(), "no preferred language");
    while (!in.empty() && preferred.size() < 8) preferred.emplace_back(in.piece());

    const std::string chosen = L::chooseLanguage(veloraLang, preferred);
    checkKnown(chosen);
    checkKnown(L::chooseLanguage(std::nullopt, {preferred.back()}));

    const std::string key = preferred.back();
    const std::string text = L::lookup(STRINGS(), chosen, "pin_title", {{key, chosen}});
    fuzzing::check(!text.empty(), "no text for a known key");
    fuzzing::check(L::helpURLFor(chosen).starts_with("https://"), "help address");
    return 0;
}
