// Traditional Chinese texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_zh_Hant() {
    return {
        {"tray_none", "沒有已連線的裝置"},
        {"tray_connected", "已連線：{n}"},
        {"tray_addr_pending", "正在檢查位址…"},
        {"tray_addr", "這部 PC 的位址：{addr}"},
        {"tray_devices", "已配對的裝置"},
        {"tray_power", "允許控制 PC 電源"},
        {"tray_screen", "允許從手機檢視螢幕"},
        {"tray_autostart", "隨 Windows 啟動"},
        {"tray_help", "說明"},
        {"tray_quit", "結束"},
        {"tip_idle", "Velora — 等待中"},
        {"tip_connected", "Velora — {n} 部裝置已連線"},
        {"tip_viewing", "Velora — 正在檢視螢幕：{names}"},
        {"balloon_running_title", "Velora 正在執行"},
        {"balloon_running_body", "你的手機現在可以找到這部 PC（{addr}）。"},
        {"balloon_viewing", "{name} 正在檢視這個螢幕。"},
        {"devices_none", "尚無裝置"},
        {"device_forget", "{name}（{ip}）— 中斷連線"},
        {"devices_forget_all", "全部中斷連線"},
        {"addr_unknown", "無法取得"},
        {"pin_title", "Velora 連線要求"},
        {"pin_head", "{name}（{ip}）想要連線。"},
        {"pin_allow", "允許"},
        {"pin_or", "或在手機上輸入這組號碼"},
        {"pin_foot", "如果你不認得這部裝置，請關閉此視窗。"},
        {"device_default", "裝置"},
        {"mac_addr", "這部 Mac 的位址：{addr}"},
        {"mac_power", "允許控制 Mac 電源"},
        {"mac_login", "登入時打開"},
        {"mac_viewing", "正在檢視螢幕：{names}"},
        {"mac_ax_warn", "⚠\uFE0E 需要輔助使用權限 — 按一下以打開設定"},
        {"mac_ax_title", "需要輔助使用權限"},
        {"mac_ax_body",
         "若要讓手機操控這部 Mac 的滑鼠和鍵盤，請開啟此權限。\n\n"
         "系統設定 › 隱私權與安全性 › 輔助使用 — 開啟 Velora。\n"
         "設定會立即生效。如果指標仍然不會移動，請結束 App 後再重新打開。"},
        {"mac_open_settings", "打開設定"},
        {"mac_later", "稍後"},
    };
}

Texts linuxTexts_zh_Hant() {
    return {
        {"linux_ax_warn", "⚠\uFE0E 無法控制輸入 — 按一下以取得說明"},
        {"linux_ax_title", "無法控制輸入"},
        {"linux_ax_body",
         "Velora 透過 X11 XTEST 延伸功能移動指標和輸入文字，但此工作階段不提供該功能。\n\n"
         "請登出，在登入畫面選擇 X11（Xorg）工作階段，然後重新啟動 Velora。\n"
         "在此期間，配對和螢幕檢視仍可正常使用。"},
        {"linux_ax_help", "打開說明"},
        {"linux_ports_closed",
         "⚠\uFE0E 無法開啟 TCP 連接埠 {tcp} 和 UDP 連接埠 {udp} — 手機無法連線到這部 PC"},
        {"linux_control_closed", "⚠\uFE0E 無法開啟 TCP 連接埠 {port} — 手機無法連線"},
        {"linux_discovery_closed", "⚠\uFE0E 無法開啟 UDP 連接埠 {port} — 手機無法找到這部 PC"},
        {"settings_damaged_title", "已修復 Velora 設定"},
        {"settings_damaged", "設定檔已損壞，副本已保留為 {file}。已還原為預設值：{what}"},
        {"phone_menu", "連接手機…"},
        {"phone_title", "連接手機"},
        {"phone_howto", "在手機的瀏覽器中開啟這個網址，或用手機相機掃描這個條碼。"},
        {"phone_named", "這個網址是電腦的名稱：重新啟動或更換網路後都不會改變。"},
        {"phone_numeric", "這是數字網址：網路指派新位址給電腦時可能會改變。"},
        {"phone_others", "也可以透過以下網址連線："},
        {"phone_none", "尚無網路位址：請將這部電腦連上與手機相同的網路。"},
        {"log_discovery_port_failed", "無法開啟探索連接埠：{error}"},
        {"log_control_port_failed", "無法開啟控制連接埠：{error}"},
        {"log_outside_refused", "已拒絕外部位址的連線：{ip}"},
        {"log_address_blocked", "{ip} PIN 錯誤 {count} 次 — 封鎖至 {until}"},
        {"log_pairing_paused", "PIN 錯誤累計 {count} 次（最後 {ip}）— 新配對暫停至 {until}"},
        {"log_line_too_long", "{ip} 行過長"},
        {"log_bad_greeting", "{ip} 無效的問候"},
        {"log_greeted", "{name} ({ip}) 正在連線 · App {version}"},
        {"log_pairing_request", "{name} ({ip}) 配對要求 — 已顯示 PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) 配對逾時"},
        {"log_pin_wrong", "{name} ({ip}) PIN 錯誤"},
        {"log_connected", "{name} ({ip}) 已連線"},
        {"log_disconnected", "{name} 已中斷連線"},
        {"log_view_started", "{name} ({ip}) 開始檢視螢幕 · 寬度 {width} · 畫質 {quality}"},
        {"log_view_ended", "{name} ({ip}) 結束檢視螢幕"},
        {"log_view_denied", "{name} ({ip}) 檢視螢幕 — 沒有螢幕錄製權限"},
        {"linux_consent_warn", "⚠\uFE0E 尚未允許控制輸入 — 按一下以再次詢問"},
        {"linux_consent_title", "控制輸入需要您的同意"},
        {"linux_consent_body",
         "您的桌面會在自己的視窗中詢問是否允許 Velora 控制指標和鍵盤並分享螢幕。\n\n"
         "請在該視窗中允許，並開啟記住選擇，這樣就不會在每次啟動時詢問。\n"
         "如果該視窗被拒絕或關閉，請選擇「再次詢問」。在此期間，Velora "
         "會繼續執行，手機也會保持配對。"},
        {"linux_consent_ask", "再次詢問"},
        {"linux_consent_console",
         "控制輸入需要您的同意：請在桌面顯示的視窗中允許，並讓它記住選擇。如果被拒絕或關閉，請輸入 "
         "consent 以再次詢問。"},
        {"linux_no_compositor", "沒有任何 Wayland 合成器回應：輸入無法送達，也無法顯示螢幕"},
        {"linux_no_screen_backend",
         "這個 Wayland 桌面沒有提供 Velora 可用的螢幕擷取：無法顯示螢幕"},
        {"linux_no_input_backend", "這個 Wayland 桌面沒有提供 Velora 可用的輸入控制：輸入無法送達"},
        {"linux_no_backend",
         "這個 Wayland 桌面沒有提供 Velora 可用的輸入控制或螢幕擷取：輸入無法送達，也無法顯示螢幕"},
    };
}

}  // namespace velora::strings
