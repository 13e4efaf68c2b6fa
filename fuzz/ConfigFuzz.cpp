// config.json as found on disk. Whatever the file holds, the decoded settings survive a write and
// a read unchanged, and a Store opened on the file leaves a file that decodes again. A sound file
// with one member changed into anything keeps every other member when it is read.
#include <nlohmann/json.hpp>

#include "FuzzSupport.h"
#include "core/store/Store.h"

using namespace velora;

namespace {

const Saved kBase{"abc",
                  false,
                  false,
                  {{"t0", "A", "10.0.0.1", 1}, {"t1", "B", "10.0.0.2", 2}, {"t2", "C", "i", 3}}};

// Replaces one member of kBase's file (chosen by `which`) with `value`, reads the result back and
// checks that everything else came through.
void oneMemberChanged(uint8_t which, std::string_view valueText) {
    static const char* kTop[] = {"serverId", "allowPower", "allowScreen", "devices"};
    static const char* kField[] = {"token", "name", "ip", "lastSeen", nullptr};
    nlohmann::json value = nlohmann::json::parse(valueText, nullptr, false);
    if (value.is_discarded()) value = std::string(valueText);
    nlohmann::json root = nlohmann::json::parse(encodeConfig(kBase));
    const bool top = which % 2 == 0;
    if (top) {
        root[kTop[(which / 2) % 4]] = value;
    } else if (const char* field = kField[(which / 2) % 5]) {
        root["devices"][1][field] = value;
    } else {
        root["devices"][1] = value;
    }
    const ConfigReading reading =
        readConfig(root.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    const Saved& got = reading.saved;
    const std::string changed = top ? kTop[(which / 2) % 4] : "devices";
    fuzzing::check(!reading.unreadable, "one changed member made the file unreadable");
    fuzzing::check(changed == "serverId" || got.serverId == kBase.serverId, "serverId lost");
    fuzzing::check(changed == "allowPower" || got.allowPower == kBase.allowPower,
                   "allowPower lost");
    fuzzing::check(changed == "allowScreen" || got.allowScreen == kBase.allowScreen,
                   "allowScreen lost");
    if (changed == "devices" && !top) {
        fuzzing::check(got.devices.size() >= 2 && got.devices.front() == kBase.devices.front() &&
                           got.devices.back() == kBase.devices.back(),
                       "a device beside the changed one was lost");
    } else if (changed != "devices") {
        fuzzing::check(got.devices == kBase.devices, "devices lost");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto saved = decodeConfig(text)) {
        const auto again = decodeConfig(encodeConfig(*saved));
        fuzzing::check(again.has_value() && *again == *saved, "config round trip");
    }
    if (size > 0) oneMemberChanged(data[0], text.substr(1));

    static fuzzing::TempFolder folder;
    fuzzing::writeFile(folder.path / "config.json", text);
    Store store(folder.path);
    const auto written = decodeConfig(fuzzing::readFile(store.configPath()));
    fuzzing::check(written.has_value(), "the store left an unreadable config.json");
    fuzzing::check(written->serverId == store.serverId() && written->devices == store.devices(),
                   "the file and the store disagree");
    return 0;
}
