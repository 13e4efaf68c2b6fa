// One function per language, each in its own file: the texts of STRINGS (35 keys) and the
// Linux shell's texts beside them. Keys and placeholders are the same in every language.
#pragma once

#include <map>
#include <string>

namespace velora::strings {

using Texts = std::map<std::string, std::string>;

#define VELORA_LANGUAGE(id) \
    Texts texts_##id();     \
    Texts linuxTexts_##id();

VELORA_LANGUAGE(ar)
VELORA_LANGUAGE(cs)
VELORA_LANGUAGE(da)
VELORA_LANGUAGE(de)
VELORA_LANGUAGE(en)
VELORA_LANGUAGE(es)
VELORA_LANGUAGE(fi)
VELORA_LANGUAGE(fr)
VELORA_LANGUAGE(he)
VELORA_LANGUAGE(hi)
VELORA_LANGUAGE(hu)
VELORA_LANGUAGE(id)
VELORA_LANGUAGE(it)
VELORA_LANGUAGE(ja)
VELORA_LANGUAGE(ko)
VELORA_LANGUAGE(ms)
VELORA_LANGUAGE(nb)
VELORA_LANGUAGE(nl)
VELORA_LANGUAGE(pl)
VELORA_LANGUAGE(pt)
VELORA_LANGUAGE(ro)
VELORA_LANGUAGE(ru)
VELORA_LANGUAGE(sk)
VELORA_LANGUAGE(sv)
VELORA_LANGUAGE(th)
VELORA_LANGUAGE(tr)
VELORA_LANGUAGE(uk)
VELORA_LANGUAGE(vi)
VELORA_LANGUAGE(zh_Hant)
VELORA_LANGUAGE(zh)

#undef VELORA_LANGUAGE

}  // namespace velora::strings
