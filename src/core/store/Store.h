// The one settings and paired-device store (config.json) and the activity log (log.txt), both in
// one folder. Every change is written through at once; no operation reports failure.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velora {

// One paired phone. `lastSeen` is seconds since 2001-01-01 00:00:00 UTC, with fraction.
struct Device {
    std::string token;
    std::string name;
    std::string ip;
    double lastSeen = 0;
    bool operator==(const Device&) const = default;
};

// The content of config.json.
struct Saved {
    std::string serverId;
    bool allowPower = true;
    bool allowScreen = true;
    std::vector<Device> devices;
    bool operator==(const Saved&) const = default;
};

// Reads config.json text. None when it is not one JSON object with `serverId` (string),
// `allowPower` (Boolean) and `devices` (array of objects with string `token`, `name`, `ip` and
// number `lastSeen`); `allowScreen` may be absent or null (true). Other members are ignored.
std::optional<Saved> decodeConfig(std::string_view text);
// config.json text read member by member, for a file that may be damaged: a member of the wrong
// type (or missing) takes its default, a device entry without a string token is skipped, and
// commas before a closing bracket are forgiven. `reset` names what did not survive, in the file's
// terms ("allowPower", "devices[2]", "devices[0].lastSeen"); `unreadable` says that nothing did
// (not a JSON object even with the commas forgiven), and `repaired` that commas were forgiven.
struct ConfigReading {
    Saved saved;
    bool unreadable = false;
    bool repaired = false;
    std::vector<std::string> reset;
    bool damaged() const { return unreadable || repaired || !reset.empty(); }
};
ConfigReading readConfig(std::string_view text);
// What a damaged config.json lost at start: the name of the copy kept beside it, and what was
// reset (as `ConfigReading::reset`; every member when the file could not be read at all).
struct ConfigDamage {
    std::string keptAs;
    std::vector<std::string> reset;
};
// Writes config.json text: pretty-printed, members in the order serverId, allowPower, allowScreen,
// devices, and token, name, ip, lastSeen in each device.
std::string encodeConfig(const Saved& saved);

class Store {
public:
    using Clock = std::chrono::system_clock;

    // Loads `folder`/config.json or creates it with defaults, then rewrites it.
    explicit Store(std::filesystem::path folder,
                   std::function<Clock::time_point()> now = Clock::now);

    const std::string& serverId() const { return serverId_; }
    bool allowPower() const { return allowPower_.load(); }
    bool allowScreen() const { return allowScreen_.load(); }
    void setAllowPower(bool on);
    void setAllowScreen(bool on);

    // A consistent copy of the paired devices, for readers on any thread.
    std::vector<Device> devices() const;

    bool isPaired(const std::string& token) const;
    std::string pair(const std::string& name, const std::string& ip);
    void touch(const std::string& token, const std::string& ip);
    void forget(const std::string& token);
    void forgetAll();

    // Appends "HH:mm:ss <line>\n" to log.txt, cutting the file to its newer half past 200 000
    // bytes. Control characters in `line` are shown as "?", so that every entry stays one line. A
    // settings save that failed earlier is tried again here.
    void log(const std::string& line);

    // Set when config.json was damaged at start, for the shell to tell the person once.
    const std::optional<ConfigDamage>& damage() const { return damage_; }

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path configPath() const { return folder_ / "config.json"; }
    std::filesystem::path logPath() const { return folder_ / "log.txt"; }

    // A random version-4 UUID as 32 lower-case hex digits without hyphens.
    static std::string newIdentifier();

private:
    void load();
    void save();
    void saveLocked();
    void trim();

    std::filesystem::path folder_;
    std::function<Clock::time_point()> now_;
    std::string serverId_;
    std::atomic<bool> allowPower_{true};
    std::atomic<bool> allowScreen_{true};
    std::vector<Device> devices_;
    std::optional<ConfigDamage> damage_;
    bool unsaved_ = false;  // the last save failed; guarded by lock_
    mutable std::mutex lock_;
};

// Seconds since 2001-01-01 00:00:00 UTC, the reference date of `lastSeen`.
double referenceSeconds(Store::Clock::time_point t);

// The settings folder on Linux: "velora" in the user's configuration folder; empty when that is.
std::filesystem::path linuxConfigFolder(const std::filesystem::path& configHome);
// The settings folder in the macOS profile: <home>/Library/Application Support/Velora.
std::filesystem::path macConfigFolder(const std::filesystem::path& home);

}  // namespace velora
