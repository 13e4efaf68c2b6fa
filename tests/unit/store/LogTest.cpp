#include <gtest/gtest.h>

#include <latch>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "FileTestSupport.h"
#include "core/store/Store.h"

using namespace velora;
using namespace velora::testing_support;

namespace {

// 09:05:07 in the local time zone, whatever it is.
Store::Clock::time_point fivePastNine() {
    std::tm local{};
    local.tm_year = 124;
    local.tm_mday = 15;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    return Store::Clock::from_time_t(std::mktime(&local));
}

class LogTest : public testing::Test {
protected:
    std::string log() { return readFile(store.logPath()); }

    TempFolder temp;
    Store store{temp.path, [t = fivePastNine()] { return t; }};
};

}  // namespace

TEST_F(LogTest, EntriesAreStampedAndAppended) {
    store.log("첫 연결");
    EXPECT_EQ(log(), "09:05:07 첫 연결\n");
    EXPECT_EQ(permissions(store.logPath()), 0600u);
}

// Phone names reach the log unchanged from the network; none of them may start a new line, move
// the cursor of a terminal showing the log, reorder the rest of the line, or break the UTF-8
// that the cut relies on.
TEST_F(LogTest, EveryEntryStaysOneLineOfText) {
    store.log("a\nb\rc\x1b[2Jd\te\x7f");
    store.log("f\xC2\x85g\xE2\x80\xA8h\xE2\x80\xA9i\xC2\x9Bj");
    store.log("k\xff\xC3(l \xC3\xA9 \xED\x95\x9C");
    // Right-to-left override, left-to-right embedding and a first-strong isolate; the marks
    // (U+200F) and Hebrew letters themselves stay.
    store.log("m\xE2\x80\xAEn\xE2\x80\xAAo\xE2\x81\xA8p\xE2\x80\x8F\xD7\xA9");
    EXPECT_EQ(log(),
              "09:05:07 a?b?c?[2Jd?e?\n"
              "09:05:07 f?g?h?i?j\n"
              "09:05:07 k\xEF\xBF\xBD\xEF\xBF\xBD(l \xC3\xA9 \xED\x95\x9C\n"
              "09:05:07 m?n?o?p\xE2\x80\x8F\xD7\xA9\n");
}

TEST_F(LogTest, CutKeepsTheNewerHalfOnlyPastTheLimit) {
    const std::string entry = "09:05:07 e\n";
    const std::string head = "a\nb\nc\n" + std::string(200000 - 6 - 1 - entry.size(), 'd') + "\n";
    writeFile(store.logPath(), head);
    store.log("e");
    EXPECT_EQ(log(), head + entry);  // exactly 200 000 bytes: left alone
    store.log("f");
    // Seven pieces (a, b, c, d..., e, f and the empty one after the last "\n"): the last three
    // stay.
    EXPECT_EQ(log(), "09:05:07 e\n09:05:07 f\n");

    writeFile(store.logPath(), "a\nb\nc\n");
    const std::string big(200000, 'd');
    store.log(big);
    EXPECT_EQ(log(), "09:05:07 " + big + "\n");

    const std::string notText = "\xff\n" + std::string(200000, 'x') + "\n";
    writeFile(store.logPath(), notText);
    store.log("g");
    EXPECT_EQ(log(), notText + "09:05:07 g\n");
}

// Two loggers and a pairing thread, in rounds that each end soon after a cut. The file is the
// newest stretch of appends, so each logger's lines in it are whole, consecutive, and end with its
// latest one; a cut racing an append would lose lines and leave a gap.
TEST_F(LogTest, ConcurrentLogAndPairKeepEveryLineWhole) {
    const std::string filler(900, 'z');
    const std::regex whole("09:05:07 ([ab])([0-9]+) z{900}");
    constexpr int kLines = 150;  // per logger and round: about 270 kB
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        std::latch start(3);
        auto logger = [&](char tag) {
            start.arrive_and_wait();
            for (int i = round * kLines; i < (round + 1) * kLines; ++i) {
                store.log(tag + std::to_string(i) + " " + filler);
            }
        };
        std::thread a(logger, 'a');
        std::thread b(logger, 'b');
        std::thread pairer([&] {
            start.arrive_and_wait();
            for (int i = 0; i < 3; ++i) {
                store.pair("Phone", "10.0.0.1");
            }
        });
        a.join();
        b.join();
        pairer.join();

        std::istringstream lines(log());
        std::map<char, int> last;
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(line, m, whole)) << line.substr(0, 40);
            const int n = std::stoi(m[2]);
            ASSERT_TRUE(!last.contains(m.str(1)[0]) || n == last[m.str(1)[0]] + 1)
                << line.substr(0, 16);
            last[m.str(1)[0]] = n;
        }
        ASSERT_FALSE(last.empty());
        for (const auto& [tag, n] : last) {
            EXPECT_EQ(n, (round + 1) * kLines - 1) << tag;
        }
    }
    EXPECT_EQ(decodeConfig(readFile(store.configPath()))->devices.size(), 3u * kRounds);
}
