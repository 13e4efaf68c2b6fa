#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_ko() {
    return {
        {"tray_none", "연결된 기기 없음"},
        {"tray_connected", "연결됨: {n}"},
        {"tray_addr_pending", "주소 확인 중…"},
        {"tray_addr", "이 PC의 주소: {addr}"},
        {"tray_devices", "페어링된 기기"},
        {"tray_power", "PC 전원 제어 허용"},
        {"tray_screen", "휴대폰에서 화면 보기 허용"},
        {"tray_autostart", "Windows 시작 시 실행"},
        {"tray_help", "도움말"},
        {"tray_quit", "종료"},
        {"tip_idle", "Velora — 대기 중"},
        {"tip_connected", "Velora — {n}대 연결됨"},
        {"tip_viewing", "Velora — 화면을 보는 중: {names}"},
        {"balloon_running_title", "Velora 실행 중"},
        {"balloon_running_body", "이제 휴대폰에서 이 PC({addr})를 찾을 수 있습니다."},
        {"balloon_viewing", "{name}에서 이 화면을 보고 있습니다."},
        {"devices_none", "아직 없음"},
        {"device_forget", "{name} ({ip}) — 연결 해제"},
        {"devices_forget_all", "모두 연결 해제"},
        {"addr_unknown", "확인할 수 없음"},
        {"pin_title", "Velora 연결 요청"},
        {"pin_head", "{name} ({ip})에서 연결을 요청합니다."},
        {"pin_allow", "허용"},
        {"pin_or", "또는 휴대폰에 이 번호를 입력하세요"},
        {"pin_foot", "모르는 기기라면 이 창을 닫으세요."},
        {"device_default", "기기"},
        {"mac_addr", "이 Mac의 주소: {addr}"},
        {"mac_power", "Mac 전원 제어 허용"},
        {"mac_login", "로그인 시 열기"},
        {"mac_viewing", "화면을 보는 중: {names}"},
        {"mac_ax_warn", "⚠\uFE0E 손쉬운 사용 권한 필요 — 클릭하여 설정 열기"},
        {"mac_ax_title", "손쉬운 사용 권한이 필요합니다"},
        {"mac_ax_body",
         "휴대폰으로 이 Mac의 마우스와 키보드를 움직이려면 이 권한을 켜세요.\n\n"
         "시스템 설정 › 개인정보 보호 및 보안 › 손쉬운 사용 — Velora를 켜세요.\n"
         "바로 적용됩니다. 그래도 포인터가 움직이지 않으면 앱을 종료한 뒤 다시 여세요."},
        {"mac_open_settings", "설정 열기"},
        {"mac_later", "나중에"},
    };
}

Texts linuxTexts_ko() {
    return {
        {"linux_ax_warn", "⚠\uFE0E 입력 제어를 사용할 수 없음 — 클릭하여 도움말 보기"},
        {"linux_ax_title", "입력 제어를 사용할 수 없음"},
        {"linux_ax_body",
         "Velora는 X11 XTEST 확장으로 포인터를 움직이고 글자를 입력하는데, 이 세션은 이 확장을 "
         "제공하지 않습니다.\n\n"
         "로그아웃한 뒤 로그인 화면에서 X11(Xorg) 세션을 선택하고 Velora를 다시 시작하세요.\n"
         "그동안에도 페어링과 화면 보기는 계속 작동합니다."},
        {"linux_ax_help", "도움말 열기"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP 포트 {tcp}와 UDP 포트 {udp}를 열지 못했습니다 — 휴대폰이 이 PC에 연결할 수 "
         "없습니다"},
        {"linux_control_closed",
         "⚠\uFE0E TCP 포트 {port}를 열지 못했습니다 — 휴대폰이 연결할 수 없습니다"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP 포트 {port}를 열지 못했습니다 — 휴대폰이 이 PC를 찾을 수 없습니다"},
        {"settings_damaged_title", "Velora 설정을 복구했습니다"},
        {"settings_damaged",
         "설정 파일이 손상되어 사본을 {file}(으)로 보관했습니다. 기본값으로 되돌린 항목: {what}"},
        {"phone_menu", "휴대폰 연결…"},
        {"phone_title", "휴대폰 연결"},
        {"phone_howto", "휴대폰 브라우저에서 이 주소를 열거나 카메라로 코드를 스캔하세요."},
        {"phone_named",
         "이 주소는 컴퓨터 이름이므로 다시 시작하거나 네트워크가 바뀌어도 그대로입니다."},
        {"phone_numeric",
         "숫자 주소이므로 네트워크가 컴퓨터에 새 주소를 할당하면 바뀔 수 있습니다."},
        {"phone_others", "다음 주소로도 접속할 수 있습니다:"},
        {"phone_none",
         "아직 네트워크 주소가 없습니다. 이 컴퓨터를 휴대폰과 같은 네트워크에 연결하세요."},
        {"log_discovery_port_failed", "탐색 포트를 열지 못했습니다: {error}"},
        {"log_control_port_failed", "제어 포트를 열지 못했습니다: {error}"},
        {"log_outside_refused", "외부 주소 연결 거부: {ip}"},
        {"log_address_blocked", "{ip} PIN {count}회 불일치 — {until}까지 차단"},
        {"log_pairing_paused",
         "PIN 불일치 {count}회 누적 (마지막 {ip}) — {until}까지 새 페어링 보류"},
        {"log_line_too_long", "{ip} 줄 길이 초과"},
        {"log_bad_greeting", "{ip} 잘못된 인사말"},
        {"log_greeted", "{name} ({ip}) 접속 · 앱 {version}"},
        {"log_pairing_request", "{name} ({ip}) 페어링 요청 — PIN {pin} 표시"},
        {"log_pairing_timeout", "{name} ({ip}) 페어링 시간 초과"},
        {"log_pin_wrong", "{name} ({ip}) PIN 불일치"},
        {"log_connected", "{name} ({ip}) 연결됨"},
        {"log_disconnected", "{name} 연결 해제"},
        {"log_view_started", "{name} ({ip}) 화면 보기 시작 · 폭 {width} · 화질 {quality}"},
        {"log_view_ended", "{name} ({ip}) 화면 보기 종료"},
        {"log_view_denied", "{name} ({ip}) 화면 보기 — 화면 기록 권한 없음"},
        {"linux_consent_warn", "⚠\uFE0E 입력 제어가 아직 허용되지 않음 — 클릭하여 다시 요청"},
        {"linux_consent_title", "입력 제어에 동의가 필요합니다"},
        {"linux_consent_body",
         "데스크톱이 별도의 창에서 Velora가 포인터와 키보드를 제어하고 화면을 공유해도 되는지 "
         "묻습니다.\n\n"
         "그 창에서 허용하고, 선택 기억하기를 켜면 시작할 때마다 묻지 않습니다.\n"
         "창에서 거부했거나 창을 닫았다면 \"다시 요청\"을 선택하세요. 그동안에도 Velora는 계속 "
         "실행되고 휴대폰은 페어링된 상태로 유지됩니다."},
        {"linux_consent_ask", "다시 요청"},
        {"linux_consent_console",
         "입력 제어에 동의가 필요합니다: 데스크톱이 보여 주는 창에서 허용하고 선택을 기억하도록 "
         "하세요. 거부했거나 창을 닫았다면 consent를 입력하여 다시 요청하세요."},
        {"linux_no_compositor",
         "응답하는 Wayland 컴포지터가 없습니다: 입력이 아무 곳에도 전달되지 않고 화면을 보여 줄 수 "
         "없습니다"},
        {"linux_no_screen_backend",
         "이 Wayland 데스크톱에는 Velora가 사용할 수 있는 화면 캡처가 없습니다: 화면을 보여 줄 수 "
         "없습니다"},
        {"linux_no_input_backend",
         "이 Wayland 데스크톱에는 Velora가 사용할 수 있는 입력 제어가 없습니다: 입력이 아무 곳에도 "
         "전달되지 않습니다"},
        {"linux_no_backend",
         "이 Wayland 데스크톱에는 Velora가 사용할 수 있는 입력 제어도 화면 캡처도 없습니다: 입력이 "
         "아무 곳에도 전달되지 않고 화면을 보여 줄 수 없습니다"},
    };
}

}  // namespace velora::strings
