// The control server over real loopback sockets, on ephemeral ports, with a simulated platform.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>

#include "core/net/NetServer.h"
#include "core/net/Protocol.h"
#include "platform/sim/SimSystemInfo.h"

using namespace velora;
using namespace std::chrono_literals;

namespace {

class NullSink : public EventSink {
public:
    Point pointerLocation() override { return {}; }
    void mouseMove(Point, std::optional<MouseButton>) override {}
    void mouseButton(MouseButton, bool, Point) override {}
    void scroll(int32_t, int32_t) override {}
    void key(const KeyStroke&) override {}
    void text(std::string_view) override {}
    void media(int) override {}
    bool trusted() override { return true; }
};

// A blocking test client with a receive timeout.
class Client {
public:
    explicit Client(uint16_t port, const char* from = "127.0.0.1") {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~Client() { ::close(fd_); }
    void send(const std::string& bytes) { ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // The next line without "\n", or "<closed>" / "<timeout>".
    std::string line(std::chrono::milliseconds timeout = 3000ms) {
        while (true) {
            const size_t lf = buffer_.find('\n');
            if (lf != std::string::npos) {
                std::string l = buffer_.substr(0, lf);
                buffer_.erase(0, lf + 1);
                return l;
            }
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return "<timeout>";
            char chunk[4096];
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) return "<closed>";
            buffer_.append(chunk, n);
        }
    }
    bool connected() const { return connected_; }
    // Whether a reply waits unread, without taking it.
    bool replyWaiting() const {
        pollfd p{fd_, POLLIN, 0};
        return poll(&p, 1, 0) > 0;
    }

private:
    int fd_;
    bool connected_ = false;
    std::string buffer_;
};

class NetServerTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("velora-net-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
        store_ = std::make_shared<Store>(folder_);
        system_ = std::make_shared<sim::SimSystemInfo>();
        system_->name = "Studio \"A\"";
        Platform platform;
        platform.events = std::make_shared<NullSink>();
        platform.system = system_;
        ServerOptions options;
        options.controlPort = 0;
        options.discoveryPort = 0;
        options.busyWait = 300ms;
        options.pinTimeout = 5000ms;
        options.maxPending = 8;
        options.greetingTimeout = 1500ms;
        options.pinFailureLimit = 7;
        options.now = [this] { return std::chrono::steady_clock::now() + skew_.load(); };
        server_ = std::make_unique<NetServer>(store_, platform, options);
        server_->onLog = [this](const LogEvent& event) {
            std::lock_guard lock(mutex_);
            logs_.push_back(event.text());
            changed_.notify_all();
        };
        server_->onPinShow = [this](const std::string&, const std::string&, const std::string& pin,
                                    std::function<void()> approve) {
            std::lock_guard lock(mutex_);
            pin_ = pin;
            approve_ = approve;
            changed_.notify_all();
        };
        server_->onPinHide = [this] { ++hides_; };
        server_->start();
        port_ = server_->controlPort();
        ASSERT_NE(port_, 0);
    }
    void TearDown() override {
        server_->stop();
        std::filesystem::remove_all(folder_);
    }
    bool waitLog(const std::string& text) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(
            lock, 3s, [&] { return std::find(logs_.begin(), logs_.end(), text) != logs_.end(); });
    }
    std::string waitPin() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 3s, [&] { return !pin_.empty(); });
        std::string pin = pin_;
        pin_.clear();
        return pin;
    }
    // Pairs a phone by PIN and returns its token.
    std::string pair(Client& c, const std::string& name) {
        c.send("HELLO " + name + "\n");
        EXPECT_EQ(c.line(), "PIN");
        c.send("PIN " + waitPin() + "\n");
        const std::string ok = c.line();
        EXPECT_TRUE(ok.starts_with("OK ")) << ok;
        return ok.substr(3);
    }
    static bool eventually(const std::function<bool()>& condition) {
        for (int i = 0; i < 300 && !condition(); ++i) std::this_thread::sleep_for(10ms);
        return condition();
    }
    // The PIN of a prompt shown so far, without waiting for one.
    std::string shownPin() {
        std::lock_guard lock(mutex_);
        return std::exchange(pin_, "");
    }
    std::string wrongPin(const std::string& pin) { return pin == "000000" ? "111111" : "000000"; }

    static inline int counter_ = 0;
    std::filesystem::path folder_;
    std::shared_ptr<Store> store_;
    std::shared_ptr<sim::SimSystemInfo> system_;
    std::unique_ptr<NetServer> server_;
    std::atomic<std::chrono::steady_clock::duration> skew_{std::chrono::steady_clock::duration{}};
    uint16_t port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> logs_;
    std::string pin_;
    std::function<void()> approve_;
    std::atomic<int> hides_{0};
};

}  // namespace

TEST(Admission, PrivateRangesByText) {
    for (const char* ok :
         {"127.0.0.1", "::1", "10.1.2.3", "100.64.0.1", "100.127.255.255", "169.254.9.9",
          "172.16.0.1", "172.31.255.255", "192.168.0.10", "fe80::1", "fd00::5"}) {
        EXPECT_TRUE(NetServer::isPrivate(ok)) << ok;
    }
    for (const char* no : {"127.0.0.2", "100.63.0.1", "100.128.0.1", "169.253.0.1", "172.15.0.1",
                           "172.32.0.1", "192.169.0.1", "8.8.8.8", "fc00::1", "2001:db8::1", "?"}) {
        EXPECT_FALSE(NetServer::isPrivate(no)) << no;
    }
}

TEST(Admission, AddressTextUnmapsIpv4AndCutsTheZone) {
    EXPECT_EQ(NetServer::addressText("::ffff:192.168.1.20"), "192.168.1.20");
    EXPECT_EQ(NetServer::addressText("fe80::1%en0"), "fe80::1");
    EXPECT_EQ(NetServer::addressText("::1"), "::1");
    EXPECT_EQ(NetServer::addressText("%"), "%");
}

TEST_F(NetServerTest, PairsByPinThenAdmitsByToken) {
    std::string token;
    {
        Client c(port_);
        c.send("HELLO Living_Room_Phone\r\n");
        EXPECT_TRUE(waitLog("Living Room Phone (127.0.0.1) 접속 · 앱 ?"));
        EXPECT_EQ(c.line(), "PIN");
        const std::string pin = waitPin();
        ASSERT_EQ(pin.size(), 6u);
        c.send("PIN \t" + pin + " \n");
        const std::string ok = c.line();
        ASSERT_TRUE(ok.starts_with("OK "));
        token = ok.substr(3);
        EXPECT_TRUE(store_->isPaired(token));
        EXPECT_TRUE(eventually([&] {
            return server_->clients() ==
                   std::vector<ClientInfo>{{"Living Room Phone", "127.0.0.1"}};
        }));
        c.send("PING now\nping\nINFO\n");
        EXPECT_EQ(c.line(), "PONG");
        const std::string info = c.line();
        ASSERT_TRUE(info.starts_with("INFO {\"name\":"));
        // The computer's name is escaped, so the object stays valid JSON.
        const auto json = nlohmann::ordered_json::parse(info.substr(5));
        EXPECT_EQ(json["name"], "Studio \"A\"");
        EXPECT_EQ(json.dump(), info.substr(5));
    }
    EXPECT_TRUE(waitLog("Living Room Phone 연결 해제"));
    Client again(port_);
    again.send("HELLO Phone " + token + " 2.0\n");
    EXPECT_EQ(again.line(), "OK " + token);
    EXPECT_EQ(hides_, 1);
}

TEST_F(NetServerTest, BadFirstLineEndsSilentlyAndDropsTheRest) {
    Client c(port_);
    c.send("hello x\nPING\n");
    EXPECT_EQ(c.line(), "<closed>");
    EXPECT_TRUE(waitLog("127.0.0.1 잘못된 인사말"));
    Client bare(port_);
    bare.send("HELLO\n");
    EXPECT_EQ(bare.line(), "<closed>");
}

TEST_F(NetServerTest, FramingAcrossChunksAndBlankLines) {
    Client c(port_);
    const std::string token = pair(c, "A");
    ASSERT_FALSE(token.empty());
    c.send("PI");
    std::this_thread::sleep_for(20ms);
    c.send("N");
    std::this_thread::sleep_for(20ms);
    c.send("G\n   \n\r\nPING\n");
    EXPECT_EQ(c.line(), "PONG");
    EXPECT_EQ(c.line(), "PONG");
    EXPECT_EQ(c.line(200ms), "<timeout>");
}

TEST_F(NetServerTest, FiveWrongPinsBlockTheAddressForTenMinutes) {
    for (int i = 0; i < 5; ++i) {
        Client c(port_);
        c.send("HELLO P\n");
        ASSERT_EQ(c.line(), "PIN");
        c.send("PIN " + wrongPin(waitPin()) + "\n");
        EXPECT_EQ(c.line(), "ERR pin");
        EXPECT_EQ(c.line(), "<closed>");
    }
    {
        Client blocked(port_);
        blocked.send("HELLO P\n");
        EXPECT_EQ(blocked.line(), "<closed>");
    }
    {
        std::lock_guard lock(mutex_);
        const std::regex blockStart(R"(127\.0\.0\.1 PIN 5회 불일치 — \d\d:\d\d:\d\d까지 차단)");
        EXPECT_EQ(
            std::count_if(logs_.begin(), logs_.end(),
                          [&](const std::string& l) { return std::regex_match(l, blockStart); }),
            1);
    }
    skew_ = std::chrono::seconds(601);
    Client later(port_);
    const std::string token = pair(later, "P");
    EXPECT_FALSE(token.empty());
    // Admission cleared the count: four more mismatches do not block.
    for (int i = 0; i < 4; ++i) {
        Client c(port_);
        c.send("HELLO P\n");
        ASSERT_EQ(c.line(), "PIN");
        c.send("PIN " + wrongPin(waitPin()) + "\n");
        EXPECT_EQ(c.line(), "ERR pin");
    }
    Client fine(port_);
    fine.send("HELLO P " + token + "\n");
    EXPECT_EQ(fine.line(), "OK " + token);
}

TEST_F(NetServerTest, SecondPairingIsBusyWithoutStallingOthers) {
    Client admitted(port_);
    pair(admitted, "Known");
    Client first(port_);
    first.send("HELLO First\n");
    ASSERT_EQ(first.line(), "PIN");
    Client second(port_);
    second.send("HELLO Second\n");
    // While the second phone waits for the slot, everyone else is served at once.
    const auto start = std::chrono::steady_clock::now();
    admitted.send("PING\n");
    EXPECT_EQ(admitted.line(), "PONG");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(second.line(), "ERR busy");
    EXPECT_EQ(second.line(), "<closed>");
}

TEST_F(NetServerTest, DisconnectDuringPromptFreesTheSlotAtOnce) {
    auto first = std::make_unique<Client>(port_);
    first->send("HELLO First\n");
    ASSERT_EQ(first->line(), "PIN");
    waitPin();
    Client waiting(port_);
    waiting.send("HELLO Waiting\n");
    std::this_thread::sleep_for(50ms);
    first.reset();
    // The waiting phone gets the freed slot well before its busy wait ends.
    EXPECT_EQ(waiting.line(250ms), "PIN");
    EXPECT_EQ(hides_, 1);
}

// A phone that sends ahead while it waits for the slot is judged on those lines once its prompt
// opens, and the phone before it is admitted before that prompt opens.
TEST_F(NetServerTest, LinesSentWhileWaitingForTheSlotAreJudgedWhenThePromptOpens) {
    Client first(port_);
    first.send("HELLO First\n");
    ASSERT_EQ(first.line(), "PIN");
    const std::string pin = waitPin();
    Client second(port_);
    second.send("HELLO Second\nPIN guess\n");
    ASSERT_TRUE(waitLog("Second (127.0.0.1) 접속 · 앱 ?"));
    first.send("PIN " + pin + "\n");
    EXPECT_TRUE(first.line().starts_with("OK "));
    EXPECT_EQ(second.line(), "PIN");
    EXPECT_EQ(second.line(), "ERR pin");
    EXPECT_EQ(second.line(), "<closed>");
    ASSERT_TRUE(waitLog("Second (127.0.0.1) PIN 불일치"));
    std::lock_guard lock(mutex_);
    const auto at = [&](const std::string& prefix) {
        return std::find_if(logs_.begin(), logs_.end(),
                            [&](const std::string& l) { return l.starts_with(prefix); });
    };
    EXPECT_LT(at("First (127.0.0.1) 연결됨"), at("Second (127.0.0.1) 페어링 요청"));
}

TEST_F(NetServerTest, AllowFromAnotherThreadAdmitsOnce) {
    Client c(port_);
    c.send("HELLO Tablet\n");
    ASSERT_EQ(c.line(), "PIN");
    waitPin();
    std::function<void()> approve;
    {
        std::lock_guard lock(mutex_);
        approve = approve_;
    }
    std::thread([approve] { approve(); }).join();
    approve();
    const std::string ok = c.line();
    ASSERT_TRUE(ok.starts_with("OK "));
    EXPECT_EQ(c.line(200ms), "<timeout>");
    EXPECT_EQ(store_->devices().size(), 1u);
}

TEST_F(NetServerTest, LatePinAndUnansweredPromptEndTheSession) {
    Client late(port_);
    late.send("HELLO Late\n");
    ASSERT_EQ(late.line(), "PIN");
    const std::string pin = waitPin();
    skew_ = std::chrono::seconds(121);
    late.send("PIN " + pin + "\n");
    EXPECT_EQ(late.line(), "<closed>");
    EXPECT_TRUE(waitLog("Late (127.0.0.1) 페어링 시간 초과"));
    EXPECT_TRUE(store_->devices().empty());
}

TEST_F(NetServerTest, OverlongLineBeforeAdmissionEndsTheSession) {
    Client c(port_);
    c.send("HELLO " + std::string(9000, 'x'));
    EXPECT_EQ(c.line(), "<closed>");
    EXPECT_TRUE(waitLog("127.0.0.1 줄 길이 초과"));
}

TEST_F(NetServerTest, SamePhoneTwiceLeavesTheRosterTogether) {
    auto a = std::make_unique<Client>(port_);
    const std::string token = pair(*a, "Twin");
    Client b(port_);
    b.send("HELLO Twin " + token + "\n");
    ASSERT_EQ(b.line(), "OK " + token);
    EXPECT_TRUE(eventually([&] { return server_->clients().size() == 2; }));
    a.reset();
    EXPECT_TRUE(waitLog("Twin 연결 해제"));
    EXPECT_TRUE(server_->clients().empty());
    b.send("PING\n");
    EXPECT_EQ(b.line(), "PONG");
}

TEST_F(NetServerTest, UnadmittedConnectionsAreCapped) {
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < 8; ++i) idle.push_back(std::make_unique<Client>(port_));
    std::this_thread::sleep_for(100ms);
    Client extra(port_);
    EXPECT_EQ(extra.line(), "<closed>");
    idle.clear();
    std::this_thread::sleep_for(100ms);
    Client later(port_);
    later.send("HELLO L\n");
    EXPECT_EQ(later.line(), "PIN");
}

// Connections that never send their first line cannot hold the unadmitted places for good.
TEST_F(NetServerTest, SilentConnectionsAreClosedAfterTheGreetingDeadline) {
    std::vector<std::unique_ptr<Client>> silent;
    for (int i = 0; i < 8; ++i) silent.push_back(std::make_unique<Client>(port_));
    Client extra(port_);  // one over the cap while the silent ones still count
    EXPECT_EQ(extra.line(), "<closed>");
    const auto started = std::chrono::steady_clock::now();
    for (auto& c : silent) EXPECT_EQ(c->line(3000ms), "<closed>");
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1000ms);
    Client phone(port_);
    phone.send("HELLO P\n");
    EXPECT_EQ(phone.line(), "PIN");
}

TEST_F(NetServerTest, DiscoveryAnswersProbesOnly) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    timeval tv{0, 300000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(server_->discoveryPort());
    inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
    auto ask = [&](const std::string& probe) {
        sendto(fd, probe.data(), probe.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        char reply[2048];
        const ssize_t n = recv(fd, reply, sizeof reply, 0);
        return n > 0 ? std::string(reply, n) : std::string();
    };
    for (const std::string probe : {"RMK", "rmk?", ""}) EXPECT_EQ(ask(probe), "") << probe;
    const std::string reply = ask("RMK?extra");
    ASSERT_TRUE(reply.starts_with("RMK!"));
    const auto json = nlohmann::json::parse(reply.substr(4));
    EXPECT_EQ(json.size(), 5u);
    EXPECT_EQ(json["id"], store_->serverId());
    EXPECT_EQ(json["port"], server_->controlPort());
    EXPECT_EQ(json["ver"], "1.1.0");
    EXPECT_EQ(json["os"], "linux");
    ::close(fd);
}

TEST(LineFramer, CutsTrimsAndBoundsLines) {
    LineFramer f(16);
    f.append("a\r\n  \nb\xff");
    EXPECT_EQ(f.next(), "a");
    EXPECT_EQ(f.next(), std::nullopt);
    f.append("c\n");
    EXPECT_EQ(f.next(),
              "b\xEF\xBF\xBD"
              "c");
    f.append(std::string(17, 'x'));
    EXPECT_EQ(f.next(), std::nullopt);
    EXPECT_TRUE(f.overflowed());
    f.setLimit(64);
    EXPECT_FALSE(f.overflowed());
}

TEST(Commands, ArgumentParsing) {
    using Pair = std::pair<int64_t, int64_t>;
    EXPECT_EQ(two("10 -5"), Pair(10, -5));
    EXPECT_EQ(two("  10    -5 7"), Pair(10, -5));
    EXPECT_EQ(two("1 x 2"), Pair(1, 2));
    EXPECT_EQ(two("10"), Pair(0, 0));
    EXPECT_EQ(buttonLetter(""), "L");
    EXPECT_EQ(buttonLetter("right"), "R");
    EXPECT_EQ(buttonLetter("m\xCC\x81x"), "M\xCC\x81");
    EXPECT_EQ(splitCommand("PING").second, "");
    EXPECT_EQ(splitCommand("T  a b").second, " a b");
    EXPECT_EQ(decodeBase64("aGk="), "hi");
    EXPECT_EQ(decodeBase64(""), "");
    EXPECT_FALSE(decodeBase64("aGk"));
    EXPECT_FALSE(decodeBase64("aG\nk="));
    EXPECT_FALSE(decodeBase64("a=Gk"));
    EXPECT_EQ(decodeBase64(encodeBase64("\xF0\x9F\x98\x80 ok")), "\xF0\x9F\x98\x80 ok");
    EXPECT_EQ(formatPin(42), "000042");
}

TEST(Commands, ScreenRequestDefaults) {
    auto r = parseScreenRequest("SCREEN tok", "Device");
    EXPECT_EQ(r.token, "tok");
    EXPECT_EQ(r.width, 1280);
    EXPECT_EQ(r.quality, 60);
    EXPECT_EQ(r.name, "Device");
    r = parseScreenRequest("SCREEN  tok  -10 +30  Anna_s_Phone extra", "Device");
    EXPECT_EQ(r.width, -10);
    EXPECT_EQ(r.quality, 30);
    EXPECT_EQ(r.name, "Anna s Phone");
    r = parseScreenRequest("SCREEN tok abc +", "Device");
    EXPECT_EQ(r.width, 1280);
    EXPECT_EQ(r.quality, 60);
}

// Wrong PINs count together over all addresses (the fixture allows 7 in 10 minutes): an address
// whose own count is cleared by an admission cannot go on guessing, new pairings wait with
// "ERR busy" until the window clears, and paired phones are served throughout.
TEST_F(NetServerTest, WrongPinsFromAllAddressesPauseNewPairingsOnly) {
    const std::string token = store_->pair("Paired", "127.0.0.1");
    auto guess = [&] {
        Client c(port_);
        c.send("HELLO G\n");
        ASSERT_EQ(c.line(), "PIN");
        c.send("PIN " + wrongPin(waitPin()) + "\n");
        EXPECT_EQ(c.line(), "ERR pin");
    };
    auto paired = [&] {
        Client c(port_);
        c.send("HELLO Paired " + token + "\nPING\n");
        EXPECT_EQ(c.line(), "OK " + token);
        EXPECT_EQ(c.line(), "PONG");
    };
    for (int i = 0; i < 4; ++i) guess();
    paired();  // clears this address's own count
    for (int i = 0; i < 3; ++i) guess();
    EXPECT_TRUE(eventually([&] {
        std::lock_guard lock(mutex_);
        return std::any_of(logs_.begin(), logs_.end(), [](const std::string& l) {
            return std::regex_match(
                l,
                std::regex(
                    R"(PIN 불일치 7회 누적 \(마지막 127\.0\.0\.1\) — \d\d:\d\d:\d\d까지 새 페어링 보류)"));
        });
    }));
    {
        Client c(port_);
        c.send("HELLO New\n");
        EXPECT_EQ(c.line(), "ERR busy");
        EXPECT_EQ(c.line(), "<closed>");
    }
    EXPECT_EQ(shownPin(), "") << "no prompt while pairing is paused";
    paired();
    skew_ = std::chrono::seconds(601);
    Client c(port_);
    c.send("HELLO New\n");
    EXPECT_EQ(c.line(), "PIN");
}

namespace {

// Counts typed clusters; notes how many were typed when another phone's reply first waited.
class TypingSink : public NullSink {
public:
    void text(std::string_view) override {
        if (typed++ == 0) onFirst();
        if (seenAt == 0 && other && other->replyWaiting()) seenAt = typed.load();
    }
    std::atomic<int> typed{0};
    std::atomic<int> seenAt{0};
    std::function<void()> onFirst = [] {};
    Client* other = nullptr;
};

}  // namespace

// A long text is typed a slice at a time: another phone's PING is answered in between, the
// typing phone's own PING only after its text, and a text over 64 KiB is refused in silence.
TEST(Typing, LongTextLetsOtherPhonesThroughAndKeepsItsOwnOrder) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("velora-typing-" + std::to_string(getpid()));
    auto store = std::make_shared<Store>(folder);
    auto sink = std::make_shared<TypingSink>();
    Platform platform;
    platform.events = sink;
    platform.system = std::make_shared<sim::SimSystemInfo>();
    ServerOptions options;
    options.controlPort = 0;
    options.discoveryPort = 0;
    NetServer server(store, platform, options);
    server.start();
    const std::string a = store->pair("A", "127.0.0.1");
    const std::string b = store->pair("B", "127.0.0.1");
    Client typist(server.controlPort());
    Client other(server.controlPort());
    typist.send("HELLO A " + a + "\n");
    other.send("HELLO B " + b + "\n");
    ASSERT_EQ(typist.line(), "OK " + a);
    ASSERT_EQ(other.line(), "OK " + b);
    sink->other = &other;
    sink->onFirst = [&] { other.send("PING\n"); };

    const size_t kLength = 20000;
    typist.send("T " + encodeBase64(std::string(kLength, 'a')) + "\nPING\n");
    EXPECT_EQ(typist.line(), "PONG");
    EXPECT_EQ(sink->typed.load(), static_cast<int>(kLength)) << "PONG came before the text";
    EXPECT_EQ(other.line(), "PONG");
    EXPECT_GT(sink->seenAt.load(), 0);
    EXPECT_LT(sink->seenAt.load(), static_cast<int>(kLength)) << "the other phone waited";

    typist.send("T " + encodeBase64(std::string(64 * 1024 + 1, 'b')) + "\nPING\n");
    EXPECT_EQ(typist.line(), "PONG");
    EXPECT_EQ(sink->typed.load(), static_cast<int>(kLength)) << "an overlong text was typed";
    server.stop();
    std::filesystem::remove_all(folder);
}
