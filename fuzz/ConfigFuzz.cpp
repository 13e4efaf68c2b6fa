// config.json as found on disk. Whatever the file holds, the decoded settings survive a write and
// a read unchanged, and a Store opened on the file leaves a file that decodes again.
#include "FuzzSupport.h"
#include "core/store/Store.h"

using namespace velora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto saved = decodeConfig(text)) {
        const auto again = decodeConfig(encodeConfig(*saved));
        fuzzing::check(again.has_value() && *again == *saved, "config round trip");
    }

    static fuzzing::TempFolder folder;
    fuzzing::writeFile(folder.path / "config.json", text);
    Store store(folder.path);
    const auto written = decodeConfig(fuzzing::readFile(store.configPath()));
    fuzzing::check(written.has_value(), "the store left an unreadable config.json");
    fuzzing::check(written->serverId == store.serverId() && written->devices == store.devices(),
                   "the file and the store disagree");
    return 0;
}
