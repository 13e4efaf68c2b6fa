#include <gtest/gtest.h>

#include <regex>

#include "FileTestSupport.h"
#include "core/store/Store.h"

using namespace velora;
using namespace velora::testing_support;
namespace fs = std::filesystem;

namespace {

// 2001-01-02 00:00:00 UTC: one day after the reference date.
const Store::Clock::time_point kDayOne{std::chrono::seconds(978307200 + 86400)};

class StoreTest : public testing::Test {
protected:
    Store open() {
        return Store(folder, [this] { return now; });
    }
    std::optional<Saved> saved() { return decodeConfig(readFile(folder / "config.json")); }

    TempFolder temp;
    fs::path folder = temp.path / "config" / "velora";
    Store::Clock::time_point now = kDayOne;
};

const char* kTwoDevices = R"({"serverId":"abc","allowPower":false,"extra":1,"devices":[
    {"token":"t1","name":"A","ip":"10.0.0.1","lastSeen":5},
    {"token":"t2","name":"B","ip":"10.0.0.2","lastSeen":6.5,"note":"x"}]})";

}  // namespace

TEST(StoreDecode, RequiredMembersAndTypes) {
    const auto two = decodeConfig(kTwoDevices);
    ASSERT_TRUE(two);
    EXPECT_EQ(
        *two,
        (Saved{"abc", false, true, {{"t1", "A", "10.0.0.1", 5}, {"t2", "B", "10.0.0.2", 6.5}}}));

    const std::string base = R"({"serverId":"s","allowPower":true,"devices":[])";
    EXPECT_TRUE(decodeConfig(base + R"(,"allowScreen":null})")->allowScreen);
    EXPECT_FALSE(decodeConfig(base + R"(,"allowScreen":false})")->allowScreen);
    const std::string device =
        R"({"serverId":"s","allowPower":true,"devices":[{"token":"t","name":"n",)";
    for (const std::string& bad :
         {base + R"(,"allowScreen":"no"})",
          std::string(R"({"serverId":"s","allowPower":1,"devices":[]})"),
          std::string(R"({"serverId":"s","devices":[]})"),
          std::string(R"({"serverId":"s","allowPower":true,"devices":{}})"),
          device + R"("ip":"i","lastSeen":"2001-01-01"}]})", device + R"("ip":"i"}]})",
          std::string(R"({"serverId":"s","allowPower":true,"devices":[7]})"), base,
          std::string("[]")}) {
        EXPECT_FALSE(decodeConfig(bad)) << bad;
    }
}

TEST_F(StoreTest, FirstStartWritesRandomIdentityPrivately) {
    Store store = open();
    EXPECT_TRUE(std::regex_match(store.serverId(),
                                 std::regex("[0-9a-f]{12}4[0-9a-f]{3}[89ab][0-9a-f]{15}")));
    EXPECT_NE(Store::newIdentifier(), Store::newIdentifier());
    EXPECT_EQ(readFile(store.configPath()), "{\n  \"serverId\": \"" + store.serverId() +
                                                "\",\n  \"allowPower\": true,\n"
                                                "  \"allowScreen\": true,\n  \"devices\": []\n}\n");
    EXPECT_EQ(permissions(folder), 0700u);
    EXPECT_EQ(permissions(store.configPath()), 0600u);
}

TEST_F(StoreTest, DevicesAreWrittenInMemberOrderAndReadBack) {
    Store store = open();
    const std::string token = store.pair("Phone \"1\"", "192.168.1.5");
    now += std::chrono::milliseconds(500);
    const std::string other = store.pair("Phone", "192.168.1.6");
    store.setAllowScreen(false);
    EXPECT_EQ(readFile(store.configPath()),
              "{\n  \"serverId\": \"" + store.serverId() +
                  "\",\n  \"allowPower\": true,\n  \"allowScreen\": false,\n  \"devices\": [\n"
                  "    {\n      \"token\": \"" +
                  token +
                  "\",\n      \"name\": \"Phone \\\"1\\\"\",\n"
                  "      \"ip\": \"192.168.1.5\",\n      \"lastSeen\": 86400\n    },\n"
                  "    {\n      \"token\": \"" +
                  other +
                  "\",\n      \"name\": \"Phone\",\n"
                  "      \"ip\": \"192.168.1.6\",\n      \"lastSeen\": 86400.5\n    }\n  ]\n}\n");
    Store again = open();
    EXPECT_EQ(again.serverId(), store.serverId());
    EXPECT_FALSE(again.allowScreen());
    EXPECT_EQ(again.devices(), store.devices());
}

TEST_F(StoreTest, UnusableFilesGiveANewIdentityAndUndecodableOnesAreKept) {
    writeFile(folder / "config.json", R"({"serverId":"","allowPower":false,"allowScreen":false,
        "devices":[{"token":"t1","name":"A","ip":"i","lastSeen":1}]})");
    Store fresh = open();
    EXPECT_EQ(*saved(), (Saved{fresh.serverId(), true, true, {}}));
    EXPECT_FALSE(fs::exists(folder / "config.json.corrupt"));

    const std::string broken = R"({"serverId":"abc","allowPower":true,"devices":[{"token":"t1"}])";
    writeFile(folder / "config.json", broken);
    writeFile(folder / "config.json.corrupt", "older");
    Store store = open();
    EXPECT_EQ(*saved(), (Saved{store.serverId(), true, true, {}}));
    EXPECT_NE(store.serverId(), "abc");
    EXPECT_EQ(store.damage()->reset.size(), 4u) << "an unreadable file resets everything";
    EXPECT_EQ(readFile(folder / "config.json.corrupt"), "older") << "an earlier copy is kept";
    EXPECT_EQ(readFile(folder / "config.json.corrupt.2"), broken);

    // Nine copies at most: past them the last one is reused rather than the folder filling up.
    for (int start = 3; start <= 10; ++start) {
        writeFile(folder / "config.json", "bad " + std::to_string(start));
        open();
    }
    EXPECT_EQ(readFile(folder / "config.json.corrupt.8"), "bad 8");
    EXPECT_EQ(readFile(folder / "config.json.corrupt.9"), "bad 10");
    EXPECT_FALSE(fs::exists(folder / "config.json.corrupt.10"));
    EXPECT_EQ(readFile(folder / "config.json.corrupt"), "older");
}

TEST_F(StoreTest, TokenRulesAndWriteThrough) {
    writeFile(folder / "config.json", R"({"serverId":"abc","allowPower":true,"devices":[
        {"token":"-","name":"A","ip":"i","lastSeen":1},{"token":"d","name":"B","ip":"i","lastSeen":1},
        {"token":"k","name":"C","ip":"i","lastSeen":1},{"token":"d","name":"D","ip":"i","lastSeen":1}]})");
    fs::permissions(folder / "config.json", fs::perms(0644));
    Store store = open();
    // The file had no allowScreen: true, and written back in full, owner-only.
    EXPECT_TRUE(store.allowScreen());
    EXPECT_NE(readFile(store.configPath()).find("\"allowScreen\": true"), std::string::npos);
    EXPECT_EQ(permissions(store.configPath()), 0600u);
    EXPECT_FALSE(store.isPaired("-"));
    EXPECT_FALSE(store.isPaired(""));
    const std::string first = store.pair("Phone", "10.0.0.9");
    const std::string second = store.pair("Phone", "10.0.0.9");
    EXPECT_NE(first, second);
    EXPECT_TRUE(store.isPaired(first) && store.isPaired(second));

    now += std::chrono::seconds(10);
    store.touch("k", "10.0.0.7");
    EXPECT_EQ(store.devices()[2], (Device{"k", "C", "10.0.0.7", 86410}));
    store.forget("d");
    ASSERT_EQ(store.devices().size(), 4u);
    EXPECT_EQ(store.devices()[1].token, "k");

    // Changes that find nothing still rewrite the file.
    fs::remove(store.configPath());
    store.touch("none", "x");
    EXPECT_EQ(saved()->devices, store.devices());
    fs::remove(store.configPath());
    store.forget("none");
    EXPECT_TRUE(saved());
    store.forgetAll();
    EXPECT_TRUE(saved()->devices.empty());
    // Every save replaced the file by rename: no temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

// chmod does not stop root, so the folder is made unwritable by a file standing in its place.
TEST_F(StoreTest, ChangesMadeWhileUnwritableAreSavedLater) {
    writeFile(folder, "not a folder");
    Store store = open();
    const std::string token = store.pair("Phone", "10.0.0.2");
    store.setAllowPower(false);
    EXPECT_TRUE(store.isPaired(token));

    fs::remove(folder);
    store.setAllowScreen(false);
    EXPECT_EQ(*saved(), (Saved{store.serverId(), false, false, store.devices()}));
    EXPECT_EQ(store.devices()[0].token, token);
    EXPECT_EQ(permissions(folder), 0700u);
}

TEST(StoreFolders, NameTheSettingsFolderInsideTheConfigurationFolder) {
    EXPECT_EQ(linuxConfigFolder("/home/u/.config"), fs::path("/home/u/.config/velora"));
    EXPECT_EQ(linuxConfigFolder(fs::path()), fs::path());
    EXPECT_EQ(macConfigFolder("/Users/u"), fs::path("/Users/u/Library/Application Support/Velora"));
}

// One damaged member or entry costs only itself: the identity, the switches and every good
// pairing stay, the file as it was is kept aside, and the log names what was reset.
TEST_F(StoreTest, DamagedMembersFallBackOneByOne) {
    const std::string good = R"({"token":"t0","name":"A","ip":"10.0.0.1","lastSeen":5})";
    struct Case {
        std::string text;
        std::vector<std::string> reset;
        bool sameIdentity;
        bool allowPower;
        std::vector<std::string> tokens;
    };
    const std::vector<Case> cases = {
        {R"({"serverId":"abc","allowPower":"false","devices":[)" + good + "]}",
         {"allowPower"},
         true,
         true,
         {"t0"}},
        {R"({"serverId":"abc","allowPower":false,"allowScreen":"no","devices":[)" + good + "]}",
         {"allowScreen"},
         true,
         false,
         {"t0"}},
        {R"({"serverId":"abc","allowPower":false,"devices":[)" + good +
             R"(,{"token":"t1","name":"B","ip":"i","lastSeen":"yesterday"}]})",
         {"devices[1].lastSeen"},
         true,
         false,
         {"t0", "t1"}},
        {R"({"serverId":"abc","allowPower":false,"devices":[7,)" + good + R"(,{"name":"x"}]})",
         {"devices[0]", "devices[2]"},
         true,
         false,
         {"t0"}},
        {R"({"serverId":"abc","allowPower":false,"devices":[)" + good + ",],}",
         {},
         true,
         false,
         {"t0"}},
        {R"({"serverId":5,"allowPower":false,"devices":[)" + good + "]}",
         {"serverId"},
         false,
         false,
         {"t0"}},
        {R"({"serverId":"abc","allowPower":false,"devices":{"token":"t0"}})",
         {"devices"},
         true,
         false,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        fs::remove_all(folder);
        fs::create_directories(folder);
        writeFile(folder / "config.json", c.text);
        Store store = open();
        ASSERT_TRUE(store.damage());
        EXPECT_EQ(store.damage()->reset, c.reset);
        EXPECT_EQ(store.serverId() == "abc", c.sameIdentity);
        EXPECT_EQ(store.allowPower(), c.allowPower);
        std::vector<std::string> tokens;
        for (const Device& d : store.devices()) tokens.push_back(d.token);
        EXPECT_EQ(tokens, c.tokens);
        EXPECT_EQ(readFile(folder / "config.json.corrupt"), c.text);
        EXPECT_NE(readFile(folder / "log.txt").find("설정 파일 손상 — config.json.corrupt 보관"),
                  std::string::npos);
        EXPECT_TRUE(saved()) << "the rewritten file reads strictly";
    }
}

TEST(StoreDecode, CommasInsideStringsAreNotRepairs) {
    const auto reading = readConfig(R"({"serverId":"a,}","allowPower":true,"devices":[
        {"token":"t","name":", ]","ip":"i","lastSeen":1},]})");
    EXPECT_TRUE(reading.repaired);
    EXPECT_EQ(reading.saved.serverId, "a,}");
    ASSERT_EQ(reading.saved.devices.size(), 1u);
    EXPECT_EQ(reading.saved.devices[0].name, ", ]");
    EXPECT_FALSE(readConfig(R"({"serverId":"s","allowPower":true,"devices":[]})").damaged());
}
