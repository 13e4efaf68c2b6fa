#include "core/store/Store.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <nlohmann/json.hpp>

#include "common/Utf8.h"
#include "core/Text.h"
#include "core/store/Files.h"

namespace velora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using nlohmann::ordered_json;

// The folder and the files in it hold the phones' tokens and addresses: owner only.
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
// Past this size the log is cut to its newer half.
constexpr off_t kLogLimit = 200000;
// 2001-01-01 00:00:00 UTC in Unix time.
constexpr std::chrono::seconds kReferenceDate{978307200};

const json* member(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const std::string* stringMember(const json& object, const char* key) {
    const json* value = member(object, key);
    return value && value->is_string() ? value->get_ptr<const std::string*>() : nullptr;
}

std::optional<Device> decodeDevice(const json& object) {
    if (!object.is_object()) {
        return std::nullopt;
    }
    const std::string* token = stringMember(object, "token");
    const std::string* name = stringMember(object, "name");
    const std::string* ip = stringMember(object, "ip");
    const json* lastSeen = member(object, "lastSeen");
    if (!token || !name || !ip || !lastSeen || !lastSeen->is_number()) {
        return std::nullopt;
    }
    return Device{*token, *name, *ip, lastSeen->get<double>()};
}

// The text with every comma that stands before a closing bracket (white space between) left out;
// commas inside strings are kept.
std::string withoutTrailingCommas(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < text.size()) {
                out += text[++i];
            } else {
                inString = c != '"';
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == ',') {
            const size_t next = text.find_first_not_of(" \t\r\n", i + 1);
            if (next != std::string_view::npos && (text[next] == '}' || text[next] == ']')) {
                continue;
            }
        }
        out += c;
    }
    return out;
}

// A device entry read field by field: it needs its token; other fields fall back to defaults.
std::optional<Device> readDevice(const json& object, const std::string& where,
                                 std::vector<std::string>& reset) {
    const std::string* token = object.is_object() ? stringMember(object, "token") : nullptr;
    if (!token) {
        reset.push_back(where);
        return std::nullopt;
    }
    Device device{*token, {}, {}, 0};
    for (auto [key, field] : {std::pair{"name", &device.name}, std::pair{"ip", &device.ip}}) {
        if (const std::string* value = stringMember(object, key)) {
            *field = *value;
        } else {
            reset.push_back(where + "." + key);
        }
    }
    const json* lastSeen = member(object, "lastSeen");
    if (lastSeen && lastSeen->is_number()) {
        device.lastSeen = lastSeen->get<double>();
    } else {
        reset.push_back(where + ".lastSeen");
    }
    return device;
}

// A switch: true unless the file says false; absent or null is no damage where `optional`.
bool readSwitch(const json& root, const char* key, bool optional, std::vector<std::string>& reset) {
    const json* value = member(root, key);
    if (value && value->is_boolean()) return value->get<bool>();
    if (!(optional && (!value || value->is_null()))) reset.push_back(key);
    return true;
}

// Whole seconds are written without a fraction, so a pairing a day after the reference date
// reads 86400 in the file.
ordered_json secondsValue(double seconds) {
    if (std::trunc(seconds) == seconds && std::abs(seconds) < 9.0e15) {
        return static_cast<int64_t>(seconds);
    }
    return seconds;
}

// Fills `bytes` from the system's cryptographic random source; a pairing token must not be
// guessable, so without one the process stops rather than hand out a weak secret.
void secureRandom(uint8_t* bytes, size_t count) {
    if (::getentropy(bytes, count) == 0) {
        return;
    }
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    size_t done = 0;
    while (fd >= 0 && done < count) {
        const ssize_t n = ::read(fd, bytes + done, count - done);
        if (n == 0 || (n < 0 && errno != EINTR)) {
            break;
        }
        done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    if (done < count) {
        std::fputs("velora: no source of secure random numbers\n", stderr);
        std::abort();
    }
}

// "HH:mm:ss" of `t` in the current local time zone.
std::string timeOfDay(Store::Clock::time_point t) {
    const std::time_t seconds = Store::Clock::to_time_t(t);
    ::tzset();
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) {
        return "00:00:00";
    }
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// The newer half of the log: the text split at every "\n" into n pieces (empty ones included),
// of which the last n / 2 are kept.
std::string newerHalf(const std::string& log) {
    const size_t pieces = static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) + 1;
    size_t dropped = pieces - pieces / 2;
    size_t start = 0;
    while (dropped-- > 0) {
        start = log.find('\n', start) + 1;
    }
    return log.substr(start);
}

// Where an unreadable config.json is kept: "config.json.corrupt", or when an earlier one is
// there already, the first free of "config.json.corrupt.2" to ".9" (the ninth is reused after
// that), so that a second bad start does not destroy what the first one kept.
fs::path corruptCopyName(const fs::path& folder) {
    constexpr int kKept = 9;
    fs::path name = folder / "config.json.corrupt";
    std::error_code ec;
    for (int n = 2; n <= kKept && fs::symlink_status(name, ec).type() != fs::file_type::not_found;
         ++n) {
        name = folder / ("config.json.corrupt." + std::to_string(n));
    }
    return name;
}

}  // namespace

std::optional<Saved> decodeConfig(std::string_view text) {
    const json root = json::parse(text, nullptr, false);
    if (!root.is_object()) {
        return std::nullopt;
    }
    const std::string* serverId = stringMember(root, "serverId");
    const json* allowPower = member(root, "allowPower");
    const json* allowScreen = member(root, "allowScreen");
    const json* devices = member(root, "devices");
    if (!serverId || !allowPower || !allowPower->is_boolean() || !devices || !devices->is_array() ||
        (allowScreen && !allowScreen->is_null() && !allowScreen->is_boolean())) {
        return std::nullopt;
    }
    Saved saved;
    saved.serverId = *serverId;
    saved.allowPower = allowPower->get<bool>();
    saved.allowScreen = !allowScreen || allowScreen->is_null() || allowScreen->get<bool>();
    for (const json& object : *devices) {
        auto device = decodeDevice(object);
        if (!device) {
            return std::nullopt;
        }
        saved.devices.push_back(std::move(*device));
    }
    return saved;
}

ConfigReading readConfig(std::string_view text) {
    ConfigReading reading;
    json root = json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        root = json::parse(withoutTrailingCommas(text), nullptr, false);
        reading.repaired = !root.is_discarded();
    }
    if (!root.is_object()) {
        reading.unreadable = true;
        reading.repaired = false;
        return reading;
    }
    Saved& saved = reading.saved;
    if (const std::string* serverId = stringMember(root, "serverId")) {
        saved.serverId = *serverId;
    } else {
        reading.reset.push_back("serverId");
    }
    saved.allowPower = readSwitch(root, "allowPower", false, reading.reset);
    saved.allowScreen = readSwitch(root, "allowScreen", true, reading.reset);
    const json* devices = member(root, "devices");
    if (!devices || !devices->is_array()) {
        reading.reset.push_back("devices");
        return reading;
    }
    for (size_t i = 0; i < devices->size(); ++i) {
        const std::string where = "devices[" + std::to_string(i) + "]";
        if (auto device = readDevice((*devices)[i], where, reading.reset)) {
            saved.devices.push_back(std::move(*device));
        }
    }
    return reading;
}

std::string encodeConfig(const Saved& saved) {
    ordered_json root;
    root["serverId"] = saved.serverId;
    root["allowPower"] = saved.allowPower;
    root["allowScreen"] = saved.allowScreen;
    root["devices"] = ordered_json::array();
    for (const Device& device : saved.devices) {
        ordered_json object;
        object["token"] = device.token;
        object["name"] = device.name;
        object["ip"] = device.ip;
        object["lastSeen"] = secondsValue(device.lastSeen);
        root["devices"].push_back(std::move(object));
    }
    // A name with broken UTF-8 must not cost the whole save.
    return root.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

double referenceSeconds(Store::Clock::time_point t) {
    const auto sinceReference = t - Store::Clock::time_point(kReferenceDate);
    return std::chrono::duration<double>(sinceReference).count();
}

fs::path linuxConfigFolder(const fs::path& configHome) {
    return configHome.empty() ? configHome : configHome / "velora";
}

fs::path macConfigFolder(const fs::path& home) {
    return home / "Library" / "Application Support" / "Velora";
}

Store::Store(fs::path folder, std::function<Clock::time_point()> now)
    : folder_(std::move(folder)), now_(std::move(now)) {
    load();
    save();
    if (damage_) {
        std::string what;
        for (const std::string& member : damage_->reset)
            what += (what.empty() ? "" : ", ") + member;
        log("설정 파일 손상 — " + damage_->keptAs +
            " 보관 · 초기화: " + (what.empty() ? "-" : what));
    }
}

void Store::load() {
    files::makeFolder(folder_, kFolderMode);
    bool missing = false;
    const auto bytes = files::readWhole(configPath(), &missing);
    auto reading = bytes ? readConfig(*bytes) : ConfigReading{{}, true, false, {}};
    if (reading.damaged() && !missing) {
        // Keep the file as it was beside the rewritten one, for the user to recover from.
        const fs::path corrupt = corruptCopyName(folder_);
        ::rename(configPath().c_str(), corrupt.c_str());
        if (reading.unreadable)
            reading.reset = {"serverId", "allowPower", "allowScreen", "devices"};
        damage_ = ConfigDamage{corrupt.filename().string(), reading.reset};
    }
    // An identity that was cleared on purpose ("") starts afresh; one that was damaged is replaced
    // while the switches and pairings that could be read stay.
    const bool usable =
        !reading.unreadable &&
        !(reading.saved.serverId.empty() && std::ranges::count(reading.reset, "serverId") == 0);
    const Saved saved = usable ? reading.saved : Saved{};
    serverId_ = saved.serverId.empty() ? newIdentifier() : saved.serverId;
    allowPower_ = saved.allowPower;
    allowScreen_ = saved.allowScreen;
    devices_ = saved.devices;
}

void Store::save() {
    std::lock_guard guard(lock_);
    saveLocked();
}

void Store::saveLocked() {
    const Saved saved{serverId_, allowPower_.load(), allowScreen_.load(), devices_};
    // The folder is made again here so that a save after it was removed or blocked still lands.
    files::makeFolder(folder_, kFolderMode);
    unsaved_ = !files::writeAtomically(configPath(), encodeConfig(saved), kFileMode);
}

void Store::setAllowPower(bool on) {
    allowPower_ = on;
    save();
}

void Store::setAllowScreen(bool on) {
    allowScreen_ = on;
    save();
}

std::vector<Device> Store::devices() const {
    std::lock_guard guard(lock_);
    return devices_;
}

bool Store::isPaired(const std::string& token) const {
    if (token.empty() || token == "-") {
        return false;
    }
    std::lock_guard guard(lock_);
    return std::any_of(devices_.begin(), devices_.end(),
                       [&](const Device& d) { return d.token == token; });
}

std::string Store::pair(const std::string& name, const std::string& ip) {
    std::string token = newIdentifier();
    {
        std::lock_guard guard(lock_);
        devices_.push_back(Device{token, name, ip, referenceSeconds(now_())});
    }
    save();
    return token;
}

void Store::touch(const std::string& token, const std::string& ip) {
    {
        std::lock_guard guard(lock_);
        const auto it = std::find_if(devices_.begin(), devices_.end(),
                                     [&](const Device& d) { return d.token == token; });
        if (it != devices_.end()) {
            it->ip = ip;
            it->lastSeen = referenceSeconds(now_());
        }
    }
    save();
}

void Store::forget(const std::string& token) {
    {
        std::lock_guard guard(lock_);
        std::erase_if(devices_, [&](const Device& d) { return d.token == token; });
    }
    save();
}

void Store::forgetAll() {
    {
        std::lock_guard guard(lock_);
        devices_.clear();
    }
    save();
}

void Store::log(const std::string& line) {
    std::lock_guard guard(lock_);
    // Stamped under the lock, so entries land in time order and one thread at a time reads the
    // C library's time-zone state.
    // Names in the text come from the network: one entry must stay one line of UTF-8, whatever
    // a phone put in its greeting.
    const std::string entry = timeOfDay(now_()) + " " + text::oneLine(line) + "\n";
    const int fd = ::open(logPath().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        ::fchmod(fd, kFileMode);
        struct stat before {};
        const bool measured = ::fstat(fd, &before) == 0;
        // A full disk may take part of the entry; the next entry must not be glued onto it.
        if (!files::writeAll(fd, entry) && measured) {
            // Should the cut fail too, there is nothing further to try; the result is not needed
            // (a void cast does not silence glibc's warning under _FORTIFY_SOURCE).
            [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
        }
        ::close(fd);
    } else if (errno == ENOENT) {
        // Only a missing log is started afresh; one that exists but cannot be opened is kept.
        files::makeFolder(folder_, kFolderMode);
        files::writeAtomically(logPath(), entry, kFileMode);
    }
    trim();
    // Every event is a chance to write settings that an earlier save could not.
    if (unsaved_) {
        saveLocked();
    }
}

void Store::trim() {
    struct stat info {};
    if (::stat(logPath().c_str(), &info) != 0 || info.st_size <= kLogLimit) {
        return;
    }
    const auto log = files::readWhole(logPath());
    // A log that is not UTF-8 text is left whole rather than cut at a guessed boundary.
    if (!log || utf8::sanitize(*log) != *log) {
        return;
    }
    files::writeAtomically(logPath(), newerHalf(*log), kFileMode);
}

std::string Store::newIdentifier() {
    uint8_t bytes[16];
    secureRandom(bytes, sizeof bytes);
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    id.reserve(32);
    for (const uint8_t b : bytes) {
        id.push_back(kHex[b >> 4]);
        id.push_back(kHex[b & 0x0F]);
    }
    return id;
}

}  // namespace velora
