#include <gtest/gtest.h>

#include "core/shell/BackendNotice.h"
#include "core/shell/L.h"

namespace velora {
namespace {

Platform withGap(std::string sentence, std::string key) {
    Platform platform;
    platform.unavailable = std::move(sentence);
    platform.unavailableKey = std::move(key);
    return platform;
}

TEST(BackendNotice, KnownKeysAreSaidInTheLanguageAndOthersAsWritten) {
    const Platform known = withGap("No Wayland compositor answers (fixed)", "linux_no_compositor");
    EXPECT_EQ(backendNotice(known, "ko"),
              L::lookup(LINUX_STRINGS(), "ko", "linux_no_compositor", {}));
    EXPECT_NE(backendNotice(known, "ko"), backendNotice(known, "en"));
    EXPECT_EQ(backendNotice(known, "xx"), backendNotice(known, "en")) << "English for the rest";

    // A sentence without a translation is still said, never a bare key.
    EXPECT_EQ(backendNotice(withGap("No portal answers", ""), "ko"), "No portal answers");
    EXPECT_EQ(backendNotice(withGap("No portal answers", "linux_no_portal"), "ko"),
              "No portal answers");
    EXPECT_EQ(backendNotice(withGap("", "linux_no_backend"), "ko"), "");
}

}  // namespace
}  // namespace velora
