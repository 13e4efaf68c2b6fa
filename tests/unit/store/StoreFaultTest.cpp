// The store on a disk that fills up or turns read-only under it: the program runs on with what it
// holds in memory, the file on disk stays whole, and the settings land once the disk takes them.
// A small tmpfs stands in for the disk; where mounting is not allowed the tests are skipped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>

#include "FileTestSupport.h"
#include "core/store/Store.h"

using namespace velora;
using namespace velora::testing_support;
namespace fs = std::filesystem;

namespace {

class SmallDisk {
public:
    explicit SmallDisk(const fs::path& at) : path(at) {
        fs::create_directories(path);
        mounted = ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0;
    }
    ~SmallDisk() {
        if (mounted) ::umount2(path.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    void setReadOnly(bool on) {
        const unsigned long flags = MS_REMOUNT | (on ? MS_RDONLY : 0);
        ASSERT_EQ(::mount("tmpfs", path.c_str(), "tmpfs", flags, "size=64k,mode=0700"), 0) << errno;
    }

    // Takes every free byte; true when the disk refused the last write.
    bool fill() {
        const int fd = ::open((path / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const std::string block(512, 'x');
        bool full = false;
        while (fd >= 0 && !full) full = ::write(fd, block.data(), block.size()) < 0;
        if (fd >= 0) ::close(fd);
        return full && errno == ENOSPC;
    }
    void makeRoom() { fs::remove(path / "filler"); }

    fs::path path;
    bool mounted = false;
};

class StoreFaultTest : public testing::Test {
protected:
    void SetUp() override {
        if (!disk.mounted) GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    std::optional<Saved> saved() { return decodeConfig(readFile(folder / "config.json")); }
    std::vector<std::string> savedTokens() {
        std::vector<std::string> tokens;
        if (auto s = saved()) {
            for (const Device& d : s->devices) tokens.push_back(d.token);
        }
        return tokens;
    }

    TempFolder temp;
    SmallDisk disk{temp.path / "disk"};
    fs::path folder = disk.path / "velora";
};

std::vector<std::string> tokensOf(const Store& store) {
    std::vector<std::string> tokens;
    for (const Device& d : store.devices()) tokens.push_back(d.token);
    return tokens;
}

}  // namespace

TEST_F(StoreFaultTest, FullDiskKeepsTheFileWholeAndSavesOnceThereIsRoom) {
    Store store(folder);
    const std::string first = store.pair("First", "10.0.0.1");
    // The log ends a few bytes short of a page, so the next entry only partly fits.
    const std::string pad(4096 - 9 - 10, 'p');
    store.log(pad);
    ASSERT_TRUE(disk.fill());

    const std::string second = store.pair("Second", "10.0.0.2");
    store.log("Second (10.0.0.2) paired while the disk is full");
    // Memory has both phones; the disk still has the whole file of before.
    EXPECT_TRUE(store.isPaired(second));
    EXPECT_EQ(savedTokens(), std::vector<std::string>{first});
    EXPECT_EQ(readFile(store.logPath()).back(), '\n');
    size_t stray = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        stray += entry.path().filename().string().starts_with(".") ? 1 : 0;
    }
    EXPECT_EQ(stray, 0u) << "a temporary file was left on the full disk";

    disk.makeRoom();
    store.log("room again");
    EXPECT_EQ(savedTokens(), tokensOf(store));
    // The entry that did not fit is gone whole; the next one starts on a line of its own.
    const std::string log = readFile(store.logPath());
    const size_t padAt = log.find(pad + "\n");
    ASSERT_NE(padAt, std::string::npos);
    const size_t padEnd = padAt + pad.size() + 1;
    EXPECT_EQ(log.size() - padEnd, 20u) << log.substr(padEnd);
    EXPECT_TRUE(log.ends_with(" room again\n"));
    Store again(folder);
    EXPECT_EQ(again.serverId(), store.serverId());
    EXPECT_EQ(tokensOf(again), tokensOf(store));
}

TEST_F(StoreFaultTest, ReadOnlyDiskLosesNothingThatWasWritten) {
    Store store(folder);
    const std::string first = store.pair("First", "10.0.0.1");
    disk.setReadOnly(true);

    const std::string second = store.pair("Second", "10.0.0.2");
    store.setAllowPower(false);
    store.forget(first);
    EXPECT_EQ(tokensOf(store), std::vector<std::string>{second});
    EXPECT_EQ(savedTokens(), std::vector<std::string>{first});
    // A restart in this state still finds the identity and the pairing written before.
    Store restarted(folder);
    EXPECT_EQ(restarted.serverId(), store.serverId());
    EXPECT_TRUE(restarted.isPaired(first));

    disk.setReadOnly(false);
    store.log("writable again");
    EXPECT_EQ(*saved(), (Saved{store.serverId(), false, true, store.devices()}));
}

// A file cut short behind the program's back (by a crash of another writer, or a copy that did
// not finish) costs nothing while the program runs: the next change writes it whole from memory.
// A save cut short by a crash leaves only its temporary file, and the file before it is read.
TEST(StoreCutShort, RunningStoreRewritesAndRestartReadsTheLastWholeFile) {
    TempFolder temp;
    Store store(temp.path);
    const std::string first = store.pair("First", "10.0.0.1");
    const std::string second = store.pair("Second", "10.0.0.2");
    const std::string whole = readFile(store.configPath());
    writeFile(store.configPath(), whole.substr(0, whole.size() / 2));
    store.touch(first, "10.0.0.3");
    const auto saved = decodeConfig(readFile(store.configPath()));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->devices, store.devices());

    writeFile(temp.path / ".config.json.a1b2c3", whole.substr(0, 40));
    Store restarted(temp.path);
    EXPECT_EQ(restarted.serverId(), store.serverId());
    EXPECT_TRUE(restarted.isPaired(first) && restarted.isPaired(second));
}
