// A screen cast backend for the desktop portal (org.freedesktop.impl.portal.ScreenCast) that
// casts a still picture of one colour from a PipeWire node of its own, so that the end-to-end
// tests can run the real portal and PipeWire where no compositor can cast (no GPU).
// Usage: velora_test_cast_backend RRGGBB; it serves until stdin closes.

#include <sdbus-c++/sdbus-c++.h>
#include <spa/param/video/raw.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "../pipewire/TestVideoProducer.h"

namespace {

using Options = std::map<std::string, sdbus::Variant>;
// A tuple: the response code and the results go as two out arguments.
using Answer = std::tuple<uint32_t, Options>;

const char* kBusName = "org.freedesktop.impl.portal.desktop.veloratest";
const char* kPath = "/org/freedesktop/portal/desktop";
const char* kCast = "org.freedesktop.impl.portal.ScreenCast";
const char* kSession = "org.freedesktop.impl.portal.Session";
constexpr int kWidth = 1280;
constexpr int kHeight = 720;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const unsigned colour = std::stoul(argv[1], nullptr, 16);
    const velora::test::Rgb rgb{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
    velora::test::TestVideoProducer producer(SPA_VIDEO_FORMAT_BGRx, kWidth, kHeight);
    const uint32_t node = producer.nodeId();
    if (node == 0) return 1;
    producer.show([rgb](int, int, int, int) { return rgb; });

    auto connection = sdbus::createSessionBusConnection(kBusName);
    auto cast = sdbus::createObject(*connection, kPath);
    std::mutex mutex;
    std::vector<std::unique_ptr<sdbus::IObject>> sessions;
    cast->registerMethod("CreateSession")
        .onInterface(kCast)
        .implementedAs([&](const sdbus::ObjectPath&, const sdbus::ObjectPath& session,
                           const std::string&, const Options&) {
            auto object = sdbus::createObject(*connection, session);
            object->registerMethod("Close").onInterface(kSession).implementedAs([] {});
            object->registerSignal("Closed").onInterface(kSession);
            object->finishRegistration();
            std::lock_guard lock(mutex);
            sessions.push_back(std::move(object));
            return Answer{0, Options{}};
        });
    cast->registerMethod("SelectSources")
        .onInterface(kCast)
        .implementedAs([](const sdbus::ObjectPath&, const sdbus::ObjectPath&, const std::string&,
                          const Options&) {
            return Answer{0, Options{}};
        });
    cast->registerMethod("Start").onInterface(kCast).implementedAs(
        [node](const sdbus::ObjectPath&, const sdbus::ObjectPath&, const std::string&,
               const std::string&, const Options&) {
            using Stream = sdbus::Struct<uint32_t, Options>;
            Options props;
            props["size"] = sdbus::Variant(sdbus::Struct<int32_t, int32_t>{kWidth, kHeight});
            props["source_type"] = sdbus::Variant(uint32_t{1});
            Options results;
            results["streams"] = sdbus::Variant(std::vector<Stream>{Stream{node, props}});
            return Answer{0, results};
        });
    cast->registerProperty("AvailableSourceTypes").onInterface(kCast).withGetter([] {
        return uint32_t{1};
    });
    cast->registerProperty("AvailableCursorModes").onInterface(kCast).withGetter([] {
        return uint32_t{7};
    });
    cast->registerProperty("version").onInterface(kCast).withGetter([] { return uint32_t{4}; });
    cast->finishRegistration();
    connection->enterEventLoopAsync();
    std::cout << "node " << node << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
    connection->leaveEventLoop();
    return 0;
}
