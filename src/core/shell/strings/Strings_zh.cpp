// Simplified Chinese texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_zh() {
    return {
        {"tray_none", "没有已连接的设备"},
        {"tray_connected", "已连接：{n}"},
        {"tray_addr_pending", "正在检查地址…"},
        {"tray_addr", "这台 PC 的地址：{addr}"},
        {"tray_devices", "已配对的设备"},
        {"tray_power", "允许控制 PC 电源"},
        {"tray_screen", "允许从手机查看屏幕"},
        {"tray_autostart", "随 Windows 启动"},
        {"tray_help", "帮助"},
        {"tray_quit", "退出"},
        {"tip_idle", "Velora — 等待中"},
        {"tip_connected", "Velora — 已连接 {n} 台设备"},
        {"tip_viewing", "Velora — 正在查看屏幕：{names}"},
        {"balloon_running_title", "Velora 正在运行"},
        {"balloon_running_body", "你的手机现在可以找到这台 PC（{addr}）。"},
        {"balloon_viewing", "{name} 正在查看此屏幕。"},
        {"devices_none", "暂无设备"},
        {"device_forget", "{name}（{ip}）— 断开连接"},
        {"devices_forget_all", "全部断开连接"},
        {"addr_unknown", "不可用"},
        {"pin_title", "Velora 连接请求"},
        {"pin_head", "{name}（{ip}）请求连接。"},
        {"pin_allow", "允许"},
        {"pin_or", "或在手机上输入此号码"},
        {"pin_foot", "如果你不认识此设备，请关闭此窗口。"},
        {"device_default", "设备"},
        {"mac_addr", "这台 Mac 的地址：{addr}"},
        {"mac_power", "允许控制 Mac 电源"},
        {"mac_login", "登录时打开"},
        {"mac_viewing", "正在查看屏幕：{names}"},
        {"mac_ax_warn", "⚠\uFE0E 需要辅助功能权限 — 点按以打开设置"},
        {"mac_ax_title", "需要辅助功能权限"},
        {"mac_ax_body",
         "要让手机控制这台 Mac 的鼠标和键盘，请打开此权限。\n\n"
         "系统设置 › 隐私与安全性 › 辅助功能 — 打开 Velora。\n"
         "更改会立即生效。如果指针仍然不动，请退出 App 后重新打开。"},
        {"mac_open_settings", "打开设置"},
        {"mac_later", "稍后"},
    };
}

Texts linuxTexts_zh() {
    return {
        {"linux_ax_warn", "⚠\uFE0E 无法控制输入 — 点击查看帮助"},
        {"linux_ax_title", "无法控制输入"},
        {"linux_ax_body",
         "Velora 通过 X11 XTEST 扩展移动指针和输入文字，但此会话不提供该扩展。\n\n"
         "请注销，在登录界面选择 X11（Xorg）会话，然后重新启动 Velora。\n"
         "在此期间，配对和屏幕查看仍可正常使用。"},
        {"linux_ax_help", "打开帮助"},
        {"linux_ports_closed",
         "⚠\uFE0E 无法打开 TCP 端口 {tcp} 和 UDP 端口 {udp} — 手机无法连接这台 PC"},
        {"linux_control_closed", "⚠\uFE0E 无法打开 TCP 端口 {port} — 手机无法连接"},
        {"linux_discovery_closed", "⚠\uFE0E 无法打开 UDP 端口 {port} — 手机无法找到这台 PC"},
        {"settings_damaged_title", "已修复 Velora 设置"},
        {"settings_damaged", "设置文件已损坏，副本已保留为 {file}。已恢复为默认值：{what}"},
        {"phone_menu", "连接手机…"},
        {"phone_title", "连接手机"},
        {"phone_howto", "在手机浏览器中打开此地址，或用手机相机扫描二维码。"},
        {"phone_named", "此地址是电脑的名称：重启或更换网络后保持不变。"},
        {"phone_numeric", "这是数字地址：网络为电脑分配新地址时可能会改变。"},
        {"phone_others", "也可以通过以下地址访问："},
        {"phone_none", "尚无网络地址：请将此电脑连接到与手机相同的网络。"},
        {"log_discovery_port_failed", "无法打开发现端口：{error}"},
        {"log_control_port_failed", "无法打开控制端口：{error}"},
        {"log_outside_refused", "已拒绝外部地址的连接：{ip}"},
        {"log_address_blocked", "{ip} PIN 错误 {count} 次 — 封锁至 {until}"},
        {"log_pairing_paused", "PIN 错误累计 {count} 次（最后 {ip}）— 新配对暂停至 {until}"},
        {"log_line_too_long", "{ip} 行过长"},
        {"log_bad_greeting", "{ip} 无效的问候"},
        {"log_greeted", "{name} ({ip}) 正在连接 · 应用 {version}"},
        {"log_pairing_request", "{name} ({ip}) 配对请求 — 已显示 PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) 配对超时"},
        {"log_pin_wrong", "{name} ({ip}) PIN 错误"},
        {"log_connected", "{name} ({ip}) 已连接"},
        {"log_disconnected", "{name} 已断开连接"},
        {"log_view_started", "{name} ({ip}) 开始查看屏幕 · 宽度 {width} · 画质 {quality}"},
        {"log_view_ended", "{name} ({ip}) 结束查看屏幕"},
        {"log_view_denied", "{name} ({ip}) 查看屏幕 — 无屏幕录制权限"},
        {"linux_consent_warn", "⚠\uFE0E 尚未允许控制输入 — 点击以再次询问"},
        {"linux_consent_title", "控制输入需要你的同意"},
        {"linux_consent_body",
         "你的桌面会在自己的窗口中询问是否允许 Velora 控制指针和键盘并共享屏幕。\n\n"
         "请在该窗口中允许，并打开记住选择，这样就不会在每次启动时询问。\n"
         "如果该窗口被拒绝或关闭，请选择“再次询问”。在此期间，Velora "
         "会继续运行，手机也会保持配对。"},
        {"linux_consent_ask", "再次询问"},
        {"linux_consent_console",
         "控制输入需要你的同意：请在桌面显示的窗口中允许，并让它记住选择。如果被拒绝或关闭，请输入 "
         "consent 以再次询问。"},
        {"linux_no_compositor", "没有任何 Wayland 合成器响应：输入无法送达，也无法显示屏幕"},
        {"linux_no_screen_backend", "此 Wayland 桌面没有提供 Velora 可用的屏幕捕获：无法显示屏幕"},
        {"linux_no_input_backend", "此 Wayland 桌面没有提供 Velora 可用的输入控制：输入无法送达"},
        {"linux_no_backend",
         "此 Wayland 桌面没有提供 Velora 可用的输入控制或屏幕捕获：输入无法送达，也无法显示屏幕"},
    };
}

}  // namespace velora::strings
