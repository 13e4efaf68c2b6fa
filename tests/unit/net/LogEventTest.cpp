#include <gtest/gtest.h>

#include <vector>

#include "core/net/LogEvent.h"
#include "core/shell/L.h"

using namespace velora;

namespace {

struct Case {
    LogEvent event;
    const char* fixed;
    const char* english;
};

// One entry of every kind, with the text log.txt has always kept for it.
const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {{.kind = LogKind::DiscoveryPortFailed, .error = "Address already in use"},
         "탐색 포트를 열지 못했습니다: Address already in use",
         "Could not open the discovery port: Address already in use"},
        {{.kind = LogKind::ControlPortFailed, .error = "Permission denied"},
         "제어 포트를 열지 못했습니다: Permission denied",
         "Could not open the control port: Permission denied"},
        {{.kind = LogKind::OutsideRefused, .ip = "8.8.8.8"},
         "외부 주소 연결 거부: 8.8.8.8",
         "Connection from an outside address refused: 8.8.8.8"},
        {{.kind = LogKind::AddressBlocked, .ip = "::1", .until = "13:05:09", .count = 5},
         "::1 PIN 5회 불일치 — 13:05:09까지 차단",
         "::1 wrong PIN 5 times — blocked until 13:05:09"},
        {{.kind = LogKind::PairingPaused, .ip = "10.0.0.7", .until = "23:59:59", .count = 20},
         "PIN 불일치 20회 누적 (마지막 10.0.0.7) — 23:59:59까지 새 페어링 보류",
         "20 wrong PINs in all (last 10.0.0.7) — new pairings on hold until 23:59:59"},
        {{.kind = LogKind::LineTooLong, .ip = "192.168.1.4"},
         "192.168.1.4 줄 길이 초과",
         "192.168.1.4 line too long"},
        {{.kind = LogKind::BadGreeting, .ip = "192.168.1.4"},
         "192.168.1.4 잘못된 인사말",
         "192.168.1.4 invalid greeting"},
        {{.kind = LogKind::Greeted, .name = "Zoë 日本", .ip = "127.0.0.1", .version = "2.1"},
         "Zoë 日本 (127.0.0.1) 접속 · 앱 2.1",
         "Zoë 日本 (127.0.0.1) connecting · app 2.1"},
        {{.kind = LogKind::PairingRequest, .name = "Kitchen", .ip = "127.0.0.1", .pin = "004217"},
         "Kitchen (127.0.0.1) 페어링 요청 — PIN 004217 표시",
         "Kitchen (127.0.0.1) pairing request — PIN 004217 shown"},
        {{.kind = LogKind::PairingTimeout, .name = "Late", .ip = "127.0.0.1"},
         "Late (127.0.0.1) 페어링 시간 초과",
         "Late (127.0.0.1) pairing timed out"},
        {{.kind = LogKind::PinWrong, .name = "Guesser", .ip = "127.0.0.1"},
         "Guesser (127.0.0.1) PIN 불일치",
         "Guesser (127.0.0.1) wrong PIN"},
        {{.kind = LogKind::Connected, .name = "Kitchen", .ip = "127.0.0.1"},
         "Kitchen (127.0.0.1) 연결됨",
         "Kitchen (127.0.0.1) connected"},
        {{.kind = LogKind::Disconnected, .name = "Kitchen"},
         "Kitchen 연결 해제",
         "Kitchen disconnected"},
        {{.kind = LogKind::ViewStarted,
          .name = "Viewer",
          .ip = "127.0.0.1",
          .width = 9000000000,
          .quality = -3},
         "Viewer (127.0.0.1) 화면 보기 시작 · 폭 9000000000 · 화질 -3",
         "Viewer (127.0.0.1) screen viewing started · width 9000000000 · quality -3"},
        {{.kind = LogKind::ViewEnded, .name = "Viewer", .ip = "127.0.0.1"},
         "Viewer (127.0.0.1) 화면 보기 종료",
         "Viewer (127.0.0.1) screen viewing ended"},
        {{.kind = LogKind::ViewDenied, .name = "Deep", .ip = "127.0.0.1"},
         "Deep (127.0.0.1) 화면 보기 — 화면 기록 권한 없음",
         "Deep (127.0.0.1) screen viewing — no screen recording permission"},
    };
    return all;
}

}  // namespace

TEST(LogEvent, LogKeepsItsFixedTextsAndTheConsoleShowsTheLanguage) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.fixed);
        EXPECT_EQ(c.event.text(), c.fixed);
        EXPECT_EQ(c.event.text("en"), c.english);
        // Korean readers see exactly what the log keeps.
        EXPECT_EQ(c.event.text("ko"), c.fixed);
        // An unknown language reads English, as every other text does.
        EXPECT_EQ(c.event.text("xx"), c.english);
    }
}

TEST(LogEvent, EveryLanguageFillsEveryValue) {
    for (const std::string& language : languageCodes()) {
        SCOPED_TRACE(language);
        for (const Case& c : cases()) {
            const std::string shown = c.event.text(language);
            SCOPED_TRACE(shown);
            EXPECT_EQ(shown.find('{'), std::string::npos);
            for (const std::string* value : {&c.event.name, &c.event.ip, &c.event.error,
                                             &c.event.version, &c.event.pin, &c.event.until}) {
                EXPECT_NE(shown.find(*value), std::string::npos) << *value;
            }
        }
    }
}

// Names and versions come from the phone: text in them that looks like a placeholder stays as
// it was sent, in the log and on the console.
TEST(LogEvent, PhoneTextIsNeverTakenForPlaceholders) {
    const LogEvent hello{
        .kind = LogKind::Greeted, .name = "{ip}{", .ip = "127.0.0.1", .version = "{name}}"};
    EXPECT_EQ(hello.text(), "{ip}{ (127.0.0.1) 접속 · 앱 {name}}");
    EXPECT_EQ(hello.text("en"), "{ip}{ (127.0.0.1) connecting · app {name}}");
    const LogEvent gone{.kind = LogKind::Disconnected, .name = "{a{name}b}"};
    EXPECT_EQ(gone.text("de"), "{a{name}b} getrennt");
}
