#include "platform/sim/RecordingEventSink.h"

#include <charconv>
#include <cstdio>

namespace velora::sim {
namespace {

// Shortest text that reads back as the same double: 1439 stays "1439", 0.5 stays "0.5".
std::string number(double v) {
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, result.ptr);
}

std::string point(Point p) {
    return number(p.x) + " " + number(p.y);
}

const char* buttonName(MouseButton button) {
    switch (button) {
        case MouseButton::Right:
            return "right";
        case MouseButton::Middle:
            return "middle";
        case MouseButton::Left:
            break;
    }
    return "left";
}

}  // namespace

void RecordingEventSink::mouseMove(Point to, std::optional<MouseButton> held) {
    location = to;
    events.push_back(held ? std::string("drag ") + buttonName(*held) + " " + point(to)
                          : "move " + point(to));
}

void RecordingEventSink::mouseButton(MouseButton button, bool down, Point at) {
    events.push_back(std::string(down ? "down " : "up ") + buttonName(button) + " " + point(at));
}

void RecordingEventSink::scroll(int32_t vertical, int32_t horizontal) {
    events.push_back("scroll vertical " + std::to_string(vertical) + " horizontal " +
                     std::to_string(horizontal));
}

void RecordingEventSink::key(const KeyStroke& key) {
    char flags[24];
    std::snprintf(flags, sizeof flags, "%#llx", static_cast<unsigned long long>(key.flags));
    events.push_back("key " + std::to_string(key.code) + " flags " + flags);
}

void RecordingEventSink::text(std::string_view cluster) {
    events.push_back("text " + std::string(cluster));
}

void RecordingEventSink::media(int keyType) {
    events.push_back("media " + std::to_string(keyType));
}

void RecordingEventSink::flush() {
    events.push_back("flush");
}

}  // namespace velora::sim
