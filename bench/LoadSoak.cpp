// Soak of the real `velora --console` on loopback: many admitted phones streaming pointer lines
// with PING and INFO checks, phones that connect and leave, PIN pairings and screen viewers, all at
// once for a bounded time. Prints what was handled, every error, and the server's peak memory.
//
//   LoadSoak --velora PATH [--phones 1000] [--seconds 20] [--display :N] [--batch 20]
//            [--churners 20] [--viewers 2] [--interval MS]
//
// The program runs in a fresh XDG_CONFIG_HOME. Without --display it has no screen to show and
// swallows input; with one (an Xvfb) the viewers receive frames and the pointer moves there.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <boost/asio.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace asio = boost::asio;
using asio::ip::tcp;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr uint16_t kControlPort = 21998;

struct Options {
    std::string velora;
    std::string display;
    int phones = 1000;
    int seconds = 20;
    int batch = 20;
    int churners = 20;
    int viewers = 2;
    int interval = 0;  // pause of each phone between batches, ms; 0 runs them back to back
};

// ---------------------------------------------------------------------------------------------
// The program under test, its console and its memory figures.

class Program {
public:
    ~Program() { stop(); }

    bool start(const Options& options, const fs::path& configHome, const fs::path& home) {
        int out[2];
        int in[2];
        if (::pipe(out) != 0 || ::pipe(in) != 0) return false;
        std::vector<std::string> env;
        auto inherited = [](const std::string& entry) {
            for (const char* own : {"DISPLAY=", "XDG_CONFIG_HOME=", "HOME=", "VELORA_LANG="}) {
                if (entry.starts_with(own)) return false;
            }
            return true;
        };
        for (char** e = environ; *e; ++e) {
            if (inherited(*e)) env.push_back(*e);
        }
        env.push_back("XDG_CONFIG_HOME=" + configHome.string());
        env.push_back("HOME=" + home.string());
        env.push_back("VELORA_LANG=en");
        if (!options.display.empty()) env.push_back("DISPLAY=" + options.display);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string path = options.velora;
        std::string flag = "--console";
        char* argv[] = {path.data(), flag.data(), nullptr};
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::dup2(out[1], 2);
            ::close(in[1]);
            ::close(out[0]);
            ::execve(argv[0], argv, envp.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        reader_ = std::thread([this] { read(); });
        return pid_ > 0;
    }

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            if (::waitpid(pid_, &status, WNOHANG) == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            }
            pid_ = -1;
        }
        if (stdin_ >= 0) ::close(stdin_);
        stdin_ = -1;
        if (reader_.joinable()) reader_.join();
        if (stdout_ >= 0) ::close(stdout_);
        stdout_ = -1;
    }

    bool alive() const { return pid_ > 0 && ::kill(pid_, 0) == 0; }

    void type(const std::string& line) {
        const std::string text = line + "\n";
        (void)!::write(stdin_, text.data(), text.size());
    }

    // The first console line matching `pattern` that has not been taken yet, within `timeout`.
    std::optional<std::smatch> take(const std::regex& pattern, std::chrono::milliseconds timeout,
                                    std::string& holder) {
        std::unique_lock lock(mutex_);
        const auto deadline = Clock::now() + timeout;
        while (true) {
            for (auto it = unread_.begin(); it != unread_.end(); ++it) {
                std::smatch match;
                holder = *it;
                if (std::regex_search(holder, match, pattern)) {
                    unread_.erase(it);
                    return match;
                }
            }
            if (cond_.wait_until(lock, deadline) == std::cv_status::timeout) return std::nullopt;
        }
    }

    // Hands every PIN shown on the console to `onPin(name, pin)`, from the reader thread.
    void watchPins(std::function<void(std::string, std::string)> onPin) {
        std::lock_guard lock(mutex_);
        onPin_ = std::move(onPin);
    }

    long statusKiB(const char* field) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with(field)) return std::atol(line.c_str() + std::strlen(field) + 1);
        }
        return -1;
    }
    int openFds() const {
        std::error_code ec;
        int n = 0;
        for (auto it = fs::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", ec);
             !ec && it != fs::directory_iterator(); it.increment(ec)) {
            ++n;
        }
        return n;
    }
    size_t consoleLines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    std::string tail() const {
        std::lock_guard lock(mutex_);
        std::string out;
        for (const auto& line : last_) out += "  | " + line + "\n";
        return out;
    }

private:
    void read() {
        static const std::regex pinLine(R"(^pair: (.*) \([^()]*\) PIN (\d{6}) )");
        std::string pending;
        char buffer[65536];
        while (true) {
            const ssize_t n = ::read(stdout_, buffer, sizeof buffer);
            if (n <= 0) break;
            pending.append(buffer, static_cast<size_t>(n));
            size_t lf;
            while ((lf = pending.find('\n')) != std::string::npos) {
                std::string line = pending.substr(0, lf);
                pending.erase(0, lf + 1);
                std::smatch match;
                std::function<void(std::string, std::string)> onPin;
                {
                    std::lock_guard lock(mutex_);
                    ++lines_;
                    last_.push_back(line);
                    if (last_.size() > 20) last_.pop_front();
                    onPin = onPin_;
                    if (!onPin) unread_.push_back(line);
                }
                if (onPin && std::regex_search(line, match, pinLine)) onPin(match[1], match[2]);
                cond_.notify_all();
            }
        }
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<std::string> unread_;
    std::deque<std::string> last_;
    size_t lines_ = 0;
    std::function<void(std::string, std::string)> onPin_;
};

// ---------------------------------------------------------------------------------------------
// Load: every client below runs on one io_context thread.

struct Stats {
    uint64_t linesConfirmed = 0;  // command lines followed by a reply that proves they were read
    uint64_t replies = 0;
    uint64_t admissions = 0;
    uint64_t churnCycles = 0;
    uint64_t pairings = 0;
    uint64_t pairingsBusy = 0;
    uint64_t frames = 0;
    uint64_t frameBytes = 0;
    uint64_t viewersRefused = 0;
    uint64_t errors = 0;
    std::vector<double> batchMicros;
    std::map<std::string, int> errorKinds;
    int phonesWrong = 0;
    int phonesIn = 0;  // admitted and still streaming
    int peakPhonesIn = 0;

    void error(const std::string& kind) {
        ++errors;
        ++errorKinds[kind];
    }
};

struct Load {
    asio::io_context io;
    Options options;
    std::string token;
    Stats stats;
    bool running = true;
    // Connections that have not been admitted yet are capped by the server; stay well below it.
    int handshaking = 0;
    int batchesOut = 0;
    static constexpr int kMaxHandshakes = 24;
    std::deque<std::function<void()>> waitingToConnect;
    std::map<std::string, std::function<void(std::string)>> pinWaiters;
    std::map<std::string, std::string> pinsShown;  // PINs shown before their phone asked

    void pinShown(const std::string& name, const std::string& pin) {
        const auto it = pinWaiters.find(name);
        if (it == pinWaiters.end()) {
            pinsShown[name] = pin;
            return;
        }
        auto send = std::move(it->second);
        pinWaiters.erase(it);
        send(pin);
    }
    void onPin(const std::string& name, std::function<void(std::string)> send) {
        const auto it = pinsShown.find(name);
        if (it == pinsShown.end()) {
            pinWaiters[name] = std::move(send);
            return;
        }
        const std::string pin = it->second;
        pinsShown.erase(it);
        send(pin);
    }

    // Runs `start` when a handshake slot is free; `handshakeDone()` must follow every started
    // one. Urgent starts (churn, pairing, viewers) go before the phones still queued.
    void whenSlotFree(std::function<void()> start, bool urgent) {
        if (handshaking < kMaxHandshakes) {
            ++handshaking;
            start();
        } else if (urgent) {
            waitingToConnect.push_front(std::move(start));
        } else {
            waitingToConnect.push_back(std::move(start));
        }
    }
    void handshakeDone() {
        --handshaking;
        while (handshaking < kMaxHandshakes && !waitingToConnect.empty()) {
            auto next = std::move(waitingToConnect.front());
            waitingToConnect.pop_front();
            ++handshaking;
            next();
        }
    }
};

// A connection that reads LF-terminated lines and, for viewers, length-prefixed frames.
class Client : public std::enable_shared_from_this<Client> {
public:
    explicit Client(Load& load) : load(load), socket(load.io) {}
    virtual ~Client() = default;

protected:
    // Connections not yet admitted hold one of the load's handshake slots.
    void takeSlot(std::function<void()> start, bool urgent = true) {
        load.whenSlotFree(
            [this, start] {
                holdsSlot = true;
                start();
            },
            urgent);
    }
    void releaseSlot() {
        if (!holdsSlot) return;
        holdsSlot = false;
        load.handshakeDone();
    }
    void connect(std::function<void()> then) {
        const tcp::endpoint to(asio::ip::make_address("127.0.0.1"), kControlPort);
        socket.async_connect(
            to, [self = shared_from_this(), then](const boost::system::error_code& ec) {
                if (ec) return self->fail("connect: " + ec.message());
                boost::system::error_code ignored;
                self->socket.set_option(tcp::no_delay(true), ignored);
                then();
            });
    }
    void write(std::string bytes, std::function<void()> then = nullptr) {
        auto data = std::make_shared<std::string>(std::move(bytes));
        asio::async_write(
            socket, asio::buffer(*data),
            [self = shared_from_this(), data, then](const boost::system::error_code& ec, size_t) {
                if (ec) return self->fail("write: " + ec.message());
                if (then) then();
            });
    }
    void readLine(std::function<void(std::string)> then) {
        asio::async_read_until(
            socket, asio::dynamic_buffer(in), '\n',
            [self = shared_from_this(), then](const boost::system::error_code& ec, size_t n) {
                if (ec)
                    return self->fail(ec == asio::error::eof ? "closed by the server"
                                                             : "read: " + ec.message());
                std::string line = self->in.substr(0, n - 1);
                self->in.erase(0, n);
                then(std::move(line));
            });
    }
    void readExactly(size_t n, std::function<void(std::string)> then) {
        const size_t have = std::min(n, in.size());
        if (have == n) {
            std::string bytes = in.substr(0, n);
            in.erase(0, n);
            return then(std::move(bytes));
        }
        asio::async_read(
            socket, asio::dynamic_buffer(in), asio::transfer_exactly(n - in.size()),
            [self = shared_from_this(), n, then](const boost::system::error_code& ec, size_t) {
                if (ec) return self->fail("frame read: " + ec.message());
                std::string bytes = self->in.substr(0, n);
                self->in.erase(0, n);
                then(std::move(bytes));
            });
    }
    void close() {
        boost::system::error_code ec;
        socket.shutdown(tcp::socket::shutdown_both, ec);
        socket.close(ec);
    }
    virtual void fail(const std::string& kind) {
        releaseSlot();
        load.stats.error(kind);
        close();
    }

    Load& load;
    bool holdsSlot = false;
    tcp::socket socket;
    std::string in;
};

// An admitted phone streaming batches of pointer lines, each ended by PING or INFO, whose replies
// must come back in the order asked.
class Phone : public Client {
public:
    Phone(Load& load, int id) : Client(load), id(id), pause(load.io) {}

    void start() {
        takeSlot(
            [self = std::static_pointer_cast<Phone>(shared_from_this())] {
                self->connect([self] {
                    self->write("HELLO Phone_" + std::to_string(self->id) + " " + self->load.token +
                                " 1.0\n");
                    self->readLine([self](std::string line) {
                        self->releaseSlot();
                        if (line != "OK " + self->load.token)
                            return self->fail("bad admission reply");
                        auto& stats = self->load.stats;
                        ++stats.admissions;
                        stats.peakPhonesIn = std::max(stats.peakPhonesIn, ++stats.phonesIn);
                        self->streaming = true;
                        self->next();
                    });
                });
            },
            false);
    }

private:
    void next() {
        if (!load.running) {
            leave();
            return close();
        }
        std::string batch;
        for (int i = 0; i < load.options.batch; ++i) {
            batch += (sequence + i) % 2 ? "M 3 -2\n" : "M -3 2\n";
        }
        const bool info = sequence % 2 == 1;
        batch += info ? "INFO\n" : "PING\n";
        ++sequence;
        const auto sent = Clock::now();
        batchOut = true;
        ++load.batchesOut;
        write(std::move(batch));
        readLine([self = std::static_pointer_cast<Phone>(shared_from_this()), info,
                  sent](std::string line) {
            const bool right = info ? line.starts_with("INFO {\"name\":") : line == "PONG";
            if (!right) return self->fail("reply out of order or wrong");
            self->batchOut = false;
            --self->load.batchesOut;
            auto& stats = self->load.stats;
            stats.batchMicros.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
            stats.linesConfirmed += static_cast<uint64_t>(self->load.options.batch) + 1;
            ++stats.replies;
            self->afterPause();
        });
    }
    void afterPause() {
        if (load.options.interval <= 0) return next();
        pause.expires_after(std::chrono::milliseconds(load.options.interval));
        pause.async_wait([self = std::static_pointer_cast<Phone>(shared_from_this())](
                             const boost::system::error_code&) { self->next(); });
    }
    void leave() {
        if (streaming) --load.stats.phonesIn;
        streaming = false;
    }
    void fail(const std::string& kind) override {
        leave();
        if (batchOut) --load.batchesOut;
        batchOut = false;
        if (!failed) ++load.stats.phonesWrong;
        failed = true;
        Client::fail("phone: " + kind);
    }

    int id;
    uint64_t sequence = 0;
    bool batchOut = false;
    bool failed = false;
    bool streaming = false;
    asio::steady_timer pause;
};

// A phone that keeps connecting, doing a little, and leaving.
class Churner : public Client {
public:
    Churner(Load& load, int id) : Client(load), id(id), timer(load.io) {}

    void start() {
        if (!load.running) return;
        takeSlot([self = std::static_pointer_cast<Churner>(shared_from_this())] {
            self->socket = tcp::socket(self->load.io);
            self->in.clear();
            self->connect([self] {
                self->write("HELLO Churn_" + std::to_string(self->id) + " " + self->load.token +
                            " 1.0\nM 1 1\nK ESC\nPING\n");
                self->readLine([self](std::string line) {
                    self->releaseSlot();
                    if (line != "OK " + self->load.token) return self->fail("bad admission reply");
                    self->readLine([self](std::string pong) {
                        if (pong != "PONG") return self->fail("wrong reply");
                        ++self->load.stats.churnCycles;
                        self->close();
                        self->again();
                    });
                });
            });
        });
    }

private:
    void again() {
        timer.expires_after(std::chrono::milliseconds(20));
        timer.async_wait([self = std::static_pointer_cast<Churner>(shared_from_this())](
                             const boost::system::error_code&) { self->start(); });
    }
    void fail(const std::string& kind) override {
        Client::fail("churn: " + kind);
        again();
    }

    int id;
    asio::steady_timer timer;
};

// One PIN pairing after another: greet without a token, read the PIN off the console, send it.
class Pairer : public Client {
public:
    explicit Pairer(Load& load) : Client(load), timer(load.io) {}

    void start() {
        if (!load.running) return;
        takeSlot([self = std::static_pointer_cast<Pairer>(shared_from_this())] {
            self->socket = tcp::socket(self->load.io);
            self->in.clear();
            const std::string name = "Pair_" + std::to_string(++self->count);
            self->connect([self, name] {
                self->write("HELLO " + name + " - 1.0\n");
                self->readLine([self, name](std::string line) {
                    if (line == "ERR busy") {
                        ++self->load.stats.pairingsBusy;
                        return self->finishAttempt();
                    }
                    if (line != "PIN") return self->fail("no PIN prompt");
                    self->waitForPin(name);
                });
            });
        });
    }

private:
    void waitForPin(const std::string& name) {
        std::string shown = name;
        std::replace(shown.begin(), shown.end(), '_', ' ');
        load.onPin(shown,
                   [self = std::static_pointer_cast<Pairer>(shared_from_this())](std::string pin) {
                       self->write("PIN " + pin + "\n");
                       self->readLine([self](std::string line) {
                           static const std::regex ok("^OK [0-9a-f]{32}$");
                           if (!std::regex_match(line, ok))
                               return self->fail("pairing refused: " + line);
                           ++self->load.stats.pairings;
                           self->finishAttempt();
                       });
                   });
    }
    void finishAttempt() {
        close();
        releaseSlot();
        timer.expires_after(std::chrono::milliseconds(200));
        timer.async_wait([self = std::static_pointer_cast<Pairer>(shared_from_this())](
                             const boost::system::error_code&) { self->start(); });
    }
    void fail(const std::string& kind) override {
        load.stats.error("pairing: " + kind);
        finishAttempt();
    }

    int count = 0;
    asio::steady_timer timer;
};

// A screen viewer that acknowledges every frame after reading it whole.
class Viewer : public Client {
public:
    Viewer(Load& load, int id) : Client(load), id(id) {}

    void start() {
        takeSlot([self = std::static_pointer_cast<Viewer>(shared_from_this())] {
            self->connect([self] {
                self->write("SCREEN " + self->load.token + " 640 50 Viewer_" +
                            std::to_string(self->id) + "\n");
                self->readLine([self](std::string line) {
                    self->releaseSlot();
                    if (line == "ERR perm") {
                        ++self->load.stats.viewersRefused;
                        return self->close();
                    }
                    if (!line.starts_with("SCREEN ")) return self->fail("bad screen header");
                    self->frame();
                });
            });
        });
    }

private:
    void frame() {
        if (!load.running) return close();
        readExactly(
            4, [self = std::static_pointer_cast<Viewer>(shared_from_this())](std::string head) {
                const auto b = [&](int i) {
                    return static_cast<uint32_t>(static_cast<uint8_t>(head[i]));
                };
                const uint32_t n = b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
                if (n > 64u << 20) return self->fail("frame length");
                self->readExactly(n, [self](std::string jpeg) {
                    if (jpeg.size() >= 2 && (static_cast<uint8_t>(jpeg[0]) != 0xFF ||
                                             static_cast<uint8_t>(jpeg[1]) != 0xD8)) {
                        return self->fail("frame is not a JPEG");
                    }
                    ++self->load.stats.frames;
                    self->load.stats.frameBytes += jpeg.size();
                    self->write("A\n", [self] { self->frame(); });
                });
            });
    }
    void fail(const std::string& kind) override {
        if (load.running)
            Client::fail("viewer: " + kind);
        else
            close();
    }

    int id;
};

// Pairs the first phone through the console's Allow; its token admits every load phone.
std::optional<std::string> pairOnce(Program& program) {
    asio::io_context io;
    tcp::socket socket(io);
    boost::system::error_code ec;
    socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), kControlPort), ec);
    if (ec) return std::nullopt;
    asio::write(socket, asio::buffer(std::string("HELLO LoadSoak - 1.0\n")), ec);
    std::string in;
    asio::read_until(socket, asio::dynamic_buffer(in), '\n', ec);
    if (ec || !in.starts_with("PIN\n")) return std::nullopt;
    std::string holder;
    if (!program.take(std::regex("^pair: LoadSoak "), std::chrono::seconds(5), holder)) {
        return std::nullopt;
    }
    // Allow counts only once the request has been shown for a second; an earlier one is ignored.
    std::string answer;
    do {
        program.type("allow");
        if (!program.take(std::regex("^(allowed|allow ignored)"), std::chrono::seconds(5),
                          answer)) {
            return std::nullopt;
        }
        if (!answer.starts_with("allowed"))
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    } while (!answer.starts_with("allowed"));
    in.clear();
    asio::read_until(socket, asio::dynamic_buffer(in), '\n', ec);
    if (ec || !in.starts_with("OK ")) return std::nullopt;
    return in.substr(3, 32);
}

void raiseFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

std::optional<Options> parse(int argc, char** argv) {
    Options o;
    const std::map<std::string, int*> numbers = {
        {"--phones", &o.phones},     {"--seconds", &o.seconds}, {"--batch", &o.batch},
        {"--churners", &o.churners}, {"--viewers", &o.viewers}, {"--interval", &o.interval}};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--velora") {
            o.velora = value;
        } else if (key == "--display") {
            o.display = value;
        } else if (const auto it = numbers.find(key); it != numbers.end()) {
            *it->second = std::atoi(value.c_str());
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || o.velora.empty() || o.phones < 0 || o.seconds <= 0 || o.batch < 0) {
        return std::nullopt;
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parse(argc, argv);
    if (!options) {
        std::fprintf(
            stderr,
            "usage: LoadSoak --velora PATH [--phones N] [--seconds S] [--display :N]\n"
            "                [--batch LINES] [--churners N] [--viewers N] [--interval MS]\n");
        return 2;
    }
    ::signal(SIGPIPE, SIG_IGN);
    raiseFileLimit();
    // The program's ports are fixed: wait for any other server started by a test to be done.
    const int portLock = ::open("/tmp/velora-e2e-ports.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (portLock >= 0) ::flock(portLock, LOCK_EX);
    char pattern[] = "/tmp/velora-soak-XXXXXX";
    const fs::path tmp = ::mkdtemp(pattern);
    fs::create_directories(tmp / "config");
    fs::create_directories(tmp / "home");

    Program program;
    int exitCode = 1;
    if (!program.start(*options, tmp / "config", tmp / "home")) {
        std::fprintf(stderr, "LoadSoak: cannot start %s\n", options->velora.c_str());
    } else if (std::string line;
               !program.take(std::regex("^Listening on TCP"), std::chrono::seconds(15), line)) {
        std::fprintf(stderr, "LoadSoak: velora did not open its ports\n%s", program.tail().c_str());
    } else if (const auto token = pairOnce(program); !token) {
        std::fprintf(stderr, "LoadSoak: the first pairing failed\n%s", program.tail().c_str());
    } else {
        Load load;
        load.options = *options;
        load.token = *token;
        const long rssBefore = program.statusKiB("VmRSS:");
        program.watchPins([&load](std::string name, std::string pin) {
            asio::post(load.io, [&load, name, pin] { load.pinShown(name, pin); });
        });
        std::vector<std::shared_ptr<Client>> clients;
        for (int i = 0; i < options->viewers; ++i) {
            auto v = std::make_shared<Viewer>(load, i + 1);
            v->start();
            clients.push_back(v);
        }
        for (int i = 0; i < options->phones; ++i) {
            auto p = std::make_shared<Phone>(load, i + 1);
            p->start();
            clients.push_back(p);
        }
        for (int i = 0; i < options->churners; ++i) {
            auto c = std::make_shared<Churner>(load, i + 1);
            c->start();
            clients.push_back(c);
        }
        auto pairer = std::make_shared<Pairer>(load);
        pairer->start();
        clients.push_back(pairer);

        // Sample the server while the load runs; the peak of admitted phones proves concurrency.
        long peakFds = 0;
        asio::steady_timer sampler(load.io);
        std::function<void()> sample = [&] {
            peakFds = std::max<long>(peakFds, program.openFds());
            if (!load.running) return;
            sampler.expires_after(std::chrono::milliseconds(500));
            sampler.async_wait([&](const boost::system::error_code&) { sample(); });
        };
        sample();

        const auto started = Clock::now();
        load.io.run_for(std::chrono::seconds(options->seconds));
        const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
        load.running = false;
        // Let every phone finish the batch it has out; a reply still missing then is an error.
        load.io.run_for(std::chrono::seconds(5));
        const int stalled = load.batchesOut;
        const long hwm = program.statusKiB("VmHWM:");
        const long rssAfter = program.statusKiB("VmRSS:");
        const bool alive = program.alive();

        const Stats& s = load.stats;
        std::printf(
            "phones            %d asked, %d admitted at once at the peak (%llu admissions "
            "in all), %d viewers, %d churners, %d s, batch pause %d ms\n",
            options->phones, s.peakPhonesIn, static_cast<unsigned long long>(s.admissions),
            options->viewers, options->churners, options->seconds, options->interval);
        std::printf("lines handled     %llu (%.0f lines/s), %llu checked replies\n",
                    static_cast<unsigned long long>(s.linesConfirmed), s.linesConfirmed / elapsed,
                    static_cast<unsigned long long>(s.replies));
        std::printf("batch round trip  p50 %.1f ms, p99 %.1f ms (%d lines + PING/INFO)\n",
                    percentile(s.batchMicros, 0.5) / 1000, percentile(s.batchMicros, 0.99) / 1000,
                    options->batch);
        std::printf("churn cycles      %llu connect-greet-PING-leave\n",
                    static_cast<unsigned long long>(s.churnCycles));
        std::printf("pairings          %llu by PIN, %llu busy\n",
                    static_cast<unsigned long long>(s.pairings),
                    static_cast<unsigned long long>(s.pairingsBusy));
        std::printf("screen frames     %llu (%.1f MB)%s\n",
                    static_cast<unsigned long long>(s.frames), s.frameBytes / 1e6,
                    s.viewersRefused ? ", viewers refused: no screen without --display" : "");
        std::printf("server memory     VmHWM %ld KiB, VmRSS %ld KiB before load, %ld KiB after\n",
                    hwm, rssBefore, rssAfter);
        std::printf("server fds        peak %ld, console lines %zu\n", peakFds,
                    program.consoleLines());
        std::printf("errors            %llu\n", static_cast<unsigned long long>(s.errors));
        for (const auto& [kind, n] : s.errorKinds) std::printf("  %6d  %s\n", n, kind.c_str());
        const bool correct = s.phonesWrong == 0 && stalled == 0 && alive;
        std::printf(
            "replies correct   %s (%d phones failed, %d replies still missing 5 s after "
            "the end%s)\n",
            correct ? "yes" : "NO", s.phonesWrong, stalled, alive ? "" : "; the server died");
        exitCode = correct && s.errors == 0 ? 0 : 1;
        if (!alive) std::fprintf(stderr, "%s", program.tail().c_str());
    }
    program.stop();
    fs::remove_all(tmp);
    if (portLock >= 0) ::close(portLock);
    return exitCode;
}
