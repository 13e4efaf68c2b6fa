// What the shells say when a part of input or the screen could not start.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace velora {

// The platform's `unavailable` sentence in `language` when its key has a text, else the sentence
// as the platform wrote it (log.txt keeps that one); empty when everything started.
std::string backendNotice(const Platform& platform, std::string_view language);

}  // namespace velora
