#include "core/net/LogEvent.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "core/shell/L.h"

namespace velora {
namespace {

struct Form {
    LogKind kind;
    std::string_view key;
    std::string_view fixed;
};

constexpr Form kForms[] = {
    {LogKind::DiscoveryPortFailed, "log_discovery_port_failed",
     "탐색 포트를 열지 못했습니다: {error}"},
    {LogKind::ControlPortFailed, "log_control_port_failed", "제어 포트를 열지 못했습니다: {error}"},
    {LogKind::OutsideRefused, "log_outside_refused", "외부 주소 연결 거부: {ip}"},
    {LogKind::AddressBlocked, "log_address_blocked",
     "{ip} PIN {count}회 불일치 — {until}까지 차단"},
    {LogKind::PairingPaused, "log_pairing_paused",
     "PIN 불일치 {count}회 누적 (마지막 {ip}) — {until}까지 새 페어링 보류"},
    {LogKind::LineTooLong, "log_line_too_long", "{ip} 줄 길이 초과"},
    {LogKind::BadGreeting, "log_bad_greeting", "{ip} 잘못된 인사말"},
    {LogKind::Greeted, "log_greeted", "{name} ({ip}) 접속 · 앱 {version}"},
    {LogKind::PairingRequest, "log_pairing_request", "{name} ({ip}) 페어링 요청 — PIN {pin} 표시"},
    {LogKind::PairingTimeout, "log_pairing_timeout", "{name} ({ip}) 페어링 시간 초과"},
    {LogKind::PinWrong, "log_pin_wrong", "{name} ({ip}) PIN 불일치"},
    {LogKind::Connected, "log_connected", "{name} ({ip}) 연결됨"},
    {LogKind::Disconnected, "log_disconnected", "{name} 연결 해제"},
    {LogKind::ViewStarted, "log_view_started",
     "{name} ({ip}) 화면 보기 시작 · 폭 {width} · 화질 {quality}"},
    {LogKind::ViewEnded, "log_view_ended", "{name} ({ip}) 화면 보기 종료"},
    {LogKind::ViewDenied, "log_view_denied", "{name} ({ip}) 화면 보기 — 화면 기록 권한 없음"},
};

const Form& formOf(LogKind kind) {
    return *std::find_if(std::begin(kForms), std::end(kForms),
                         [kind](const Form& form) { return form.kind == kind; });
}

// Fills every "{name}" of `pattern` in one pass: a value is never searched for placeholders
// itself, so a phone named "{ip}" stays "{ip}".
std::string fill(std::string_view pattern,
                 const std::map<std::string, std::string, std::less<>>& values) {
    std::string out;
    size_t at = 0;
    while (at < pattern.size()) {
        const size_t open = pattern.find('{', at);
        const size_t close = pattern.find('}', open);
        const auto value = close == std::string_view::npos
                               ? values.end()
                               : values.find(pattern.substr(open + 1, close - open - 1));
        if (value == values.end()) {
            const size_t end = open == std::string_view::npos ? pattern.size() : open + 1;
            out.append(pattern.substr(at, end - at));
            at = end;
            continue;
        }
        out.append(pattern.substr(at, open - at)).append(value->second);
        at = close + 1;
    }
    return out;
}

std::string filled(const LogEvent& event, std::string_view pattern) {
    return fill(pattern, {{"name", event.name},
                          {"ip", event.ip},
                          {"error", event.error},
                          {"version", event.version},
                          {"pin", event.pin},
                          {"until", event.until},
                          {"count", std::to_string(event.count)},
                          {"width", std::to_string(event.width)},
                          {"quality", std::to_string(event.quality)}});
}

}  // namespace

std::string LogEvent::text() const {
    return filled(*this, formOf(kind).fixed);
}

std::string LogEvent::text(std::string_view language) const {
    return filled(*this, L::lookup(LINUX_STRINGS(), language, key(), {}));
}

std::string_view LogEvent::key() const {
    return formOf(kind).key;
}

}  // namespace velora
