// Thai texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_th() {
    return {
        {"tray_none", "ไม่มีอุปกรณ์ที่เชื่อมต่อ"},
        {"tray_connected", "เชื่อมต่อแล้ว: {n}"},
        {"tray_addr_pending", "กำลังตรวจสอบที่อยู่…"},
        {"tray_addr", "ที่อยู่ของ PC เครื่องนี้: {addr}"},
        {"tray_devices", "อุปกรณ์ที่จับคู่แล้ว"},
        {"tray_power", "อนุญาตให้ควบคุมพลังงานของ PC"},
        {"tray_screen", "อนุญาตให้ดูหน้าจอจากโทรศัพท์"},
        {"tray_autostart", "เริ่มพร้อมกับ Windows"},
        {"tray_help", "วิธีใช้"},
        {"tray_quit", "ออก"},
        {"tip_idle", "Velora — กำลังรอ"},
        {"tip_connected", "Velora — เชื่อมต่อแล้ว {n} เครื่อง"},
        {"tip_viewing", "Velora — หน้าจอกำลังถูกดูโดย: {names}"},
        {"balloon_running_title", "Velora กำลังทำงาน"},
        {"balloon_running_body", "ตอนนี้โทรศัพท์ของคุณค้นหา PC เครื่องนี้ได้แล้ว ({addr})"},
        {"balloon_viewing", "{name} กำลังดูหน้าจอนี้"},
        {"devices_none", "ยังไม่มี"},
        {"device_forget", "{name} ({ip}) — ยกเลิกการเชื่อมต่อ"},
        {"devices_forget_all", "ยกเลิกการเชื่อมต่อทั้งหมด"},
        {"addr_unknown", "ไม่พร้อมใช้งาน"},
        {"pin_title", "คำขอเชื่อมต่อ Velora"},
        {"pin_head", "{name} ({ip}) ต้องการเชื่อมต่อ"},
        {"pin_allow", "อนุญาต"},
        {"pin_or", "หรือป้อนหมายเลขนี้บนโทรศัพท์ของคุณ"},
        {"pin_foot", "หากคุณไม่รู้จักอุปกรณ์นี้ ให้ปิดหน้าต่างนี้"},
        {"device_default", "อุปกรณ์"},
        {"mac_addr", "ที่อยู่ของ Mac เครื่องนี้: {addr}"},
        {"mac_power", "อนุญาตให้ควบคุมพลังงานของ Mac"},
        {"mac_login", "เปิดเมื่อเข้าสู่ระบบ"},
        {"mac_viewing", "กำลังดูหน้าจอ: {names}"},
        {"mac_ax_warn", "⚠\uFE0E ต้องใช้สิทธิ์การช่วยการเข้าถึง — คลิกเพื่อเปิดการตั้งค่า"},
        {"mac_ax_title", "ต้องได้รับสิทธิ์การช่วยการเข้าถึง"},
        {"mac_ax_body",
         "เปิดสิทธิ์นี้เพื่อให้โทรศัพท์ของคุณควบคุมเมาส์และแป้นพิมพ์ของ Mac เครื่องนี้ได้\n\n"
         "การตั้งค่าระบบ › ความเป็นส่วนตัวและความปลอดภัย › การช่วยการเข้าถึง — เปิด Velora\n"
         "มีผลทันที หากตัวชี้ยังไม่ขยับ ให้ออกจากแอปแล้วเปิดใหม่อีกครั้ง"},
        {"mac_open_settings", "เปิดการตั้งค่า"},
        {"mac_later", "ภายหลัง"},
    };
}

Texts linuxTexts_th() {
    return {
        {"linux_ax_warn", "⚠\uFE0E ไม่สามารถควบคุมอินพุตได้ — คลิกเพื่อดูวิธีใช้"},
        {"linux_ax_title", "ไม่สามารถควบคุมอินพุตได้"},
        {"linux_ax_body",
         "Velora ขยับตัวชี้และพิมพ์ผ่านส่วนขยาย X11 XTEST ซึ่งเซสชันนี้ไม่มีให้\n\n"
         "ออกจากระบบ เลือกเซสชัน X11 (Xorg) ที่หน้าจอเข้าสู่ระบบ แล้วเปิด Velora อีกครั้ง\n"
         "ระหว่างนี้การจับคู่และการดูหน้าจอยังใช้งานได้ตามปกติ"},
        {"linux_ax_help", "เปิดวิธีใช้"},
        {"linux_ports_closed",
         "⚠\uFE0E เปิดพอร์ต TCP {tcp} และพอร์ต UDP {udp} ไม่ได้ — โทรศัพท์เข้าถึง PC เครื่องนี้ไม่ได้"},
        {"linux_control_closed", "⚠\uFE0E เปิดพอร์ต TCP {port} ไม่ได้ — โทรศัพท์เชื่อมต่อไม่ได้"},
        {"linux_discovery_closed", "⚠\uFE0E เปิดพอร์ต UDP {port} ไม่ได้ — โทรศัพท์ค้นหา PC เครื่องนี้ไม่พบ"},
        {"settings_damaged_title", "ซ่อมการตั้งค่า Velora แล้ว"},
        {"settings_damaged", "ไฟล์การตั้งค่าเสียหาย จึงเก็บสำเนาไว้เป็น {file} รายการที่คืนค่าเริ่มต้น: {what}"},
        {"phone_menu", "เชื่อมต่อโทรศัพท์…"},
        {"phone_title", "เชื่อมต่อโทรศัพท์"},
        {"phone_howto", "เปิดที่อยู่นี้ในเบราว์เซอร์ของโทรศัพท์ หรือสแกนโค้ดด้วยกล้องของโทรศัพท์"},
        {"phone_named", "ที่อยู่นี้คือชื่อของคอมพิวเตอร์ จึงไม่เปลี่ยนแม้รีสตาร์ตหรือเปลี่ยนเครือข่าย"},
        {"phone_numeric", "นี่คือที่อยู่แบบตัวเลข อาจเปลี่ยนเมื่อเครือข่ายกำหนดที่อยู่ใหม่ให้คอมพิวเตอร์"},
        {"phone_others", "เข้าถึงได้จากที่อยู่เหล่านี้ด้วย:"},
        {"phone_none", "ยังไม่มีที่อยู่เครือข่าย เชื่อมต่อคอมพิวเตอร์นี้กับเครือข่ายเดียวกับโทรศัพท์ของคุณ"},
        {"log_discovery_port_failed", "เปิดพอร์ตค้นหาไม่ได้: {error}"},
        {"log_control_port_failed", "เปิดพอร์ตควบคุมไม่ได้: {error}"},
        {"log_outside_refused", "ปฏิเสธการเชื่อมต่อจากที่อยู่ภายนอก: {ip}"},
        {"log_address_blocked", "{ip} PIN ผิด {count} ครั้ง — ถูกบล็อกถึง {until}"},
        {"log_pairing_paused", "PIN ผิดรวม {count} ครั้ง (ล่าสุด {ip}) — การจับคู่ใหม่รอถึง {until}"},
        {"log_line_too_long", "{ip} บรรทัดยาวเกินไป"},
        {"log_bad_greeting", "{ip} คำทักทายไม่ถูกต้อง"},
        {"log_greeted", "{name} ({ip}) กำลังเชื่อมต่อ · แอป {version}"},
        {"log_pairing_request", "{name} ({ip}) คำขอจับคู่ — แสดง PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) การจับคู่หมดเวลา"},
        {"log_pin_wrong", "{name} ({ip}) PIN ผิด"},
        {"log_connected", "{name} ({ip}) เชื่อมต่อแล้ว"},
        {"log_disconnected", "{name} ยกเลิกการเชื่อมต่อแล้ว"},
        {"log_view_started", "{name} ({ip}) เริ่มดูหน้าจอ · ความกว้าง {width} · คุณภาพ {quality}"},
        {"log_view_ended", "{name} ({ip}) หยุดดูหน้าจอ"},
        {"log_view_denied", "{name} ({ip}) ดูหน้าจอ — ไม่มีสิทธิ์บันทึกหน้าจอ"},
    };
}

}  // namespace velora::strings
