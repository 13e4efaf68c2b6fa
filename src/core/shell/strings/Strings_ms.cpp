// Malay texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_ms() {
    return {
        {"tray_none", "Tiada peranti disambungkan"},
        {"tray_connected", "Disambungkan: {n}"},
        {"tray_addr_pending", "Menyemak alamat…"},
        {"tray_addr", "Alamat PC ini: {addr}"},
        {"tray_devices", "Peranti yang digandingkan"},
        {"tray_power", "Benarkan kawalan kuasa PC"},
        {"tray_screen", "Benarkan tontonan skrin dari telefon"},
        {"tray_autostart", "Mula dengan Windows"},
        {"tray_help", "Bantuan"},
        {"tray_quit", "Keluar"},
        {"tip_idle", "Velora — menunggu"},
        {"tip_connected", "Velora — {n} disambungkan"},
        {"tip_viewing", "Velora — skrin ditonton oleh: {names}"},
        {"balloon_running_title", "Velora sedang berjalan"},
        {"balloon_running_body", "Telefon anda kini boleh menemui PC ini ({addr})."},
        {"balloon_viewing", "{name} sedang menonton skrin ini."},
        {"devices_none", "Belum ada"},
        {"device_forget", "{name} ({ip}) — Putuskan sambungan"},
        {"devices_forget_all", "Putuskan semua sambungan"},
        {"addr_unknown", "Tidak tersedia"},
        {"pin_title", "Permintaan sambungan Velora"},
        {"pin_head", "{name} ({ip}) ingin menyambung."},
        {"pin_allow", "Benarkan"},
        {"pin_or", "Atau masukkan nombor ini pada telefon anda"},
        {"pin_foot", "Jika anda tidak mengenali peranti ini, tutup tetingkap ini."},
        {"device_default", "Peranti"},
        {"mac_addr", "Alamat Mac ini: {addr}"},
        {"mac_power", "Benarkan kawalan kuasa Mac"},
        {"mac_login", "Buka semasa Log Masuk"},
        {"mac_viewing", "Menonton skrin: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Kebenaran Kebolehcapaian diperlukan — klik untuk membuka seting"},
        {"mac_ax_title", "Kebenaran Kebolehcapaian diperlukan"},
        {"mac_ax_body",
         "Untuk membolehkan telefon anda menggerakkan tetikus dan menggunakan papan kekunci Mac "
         "ini, hidupkan kebenaran ini.\n\n"
         "Seting Sistem › Privasi & Keselamatan › Kebolehcapaian — hidupkan Velora.\n"
         "Ia berkuat kuasa serta-merta. Jika penuding masih tidak bergerak, keluar daripada apl "
         "dan bukanya semula."},
        {"mac_open_settings", "Buka Seting"},
        {"mac_later", "Kemudian"},
    };
}

Texts linuxTexts_ms() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Kawalan input tidak tersedia — klik untuk bantuan"},
        {"linux_ax_title", "Kawalan input tidak tersedia"},
        {"linux_ax_body",
         "Velora menggerakkan penuding dan menaip melalui sambungan X11 XTEST, yang tidak "
         "disediakan oleh sesi ini.\n\n"
         "Log keluar, pilih sesi X11 (Xorg) pada skrin log masuk, dan mulakan Velora semula.\n"
         "Sementara itu, penggandingan dan tontonan skrin masih berfungsi."},
        {"linux_ax_help", "Buka Bantuan"},
        {"linux_ports_closed",
         "⚠\uFE0E Port TCP {tcp} dan port UDP {udp} tidak dapat dibuka — telefon tidak dapat "
         "mencapai PC ini"},
        {"linux_control_closed",
         "⚠\uFE0E Port TCP {port} tidak dapat dibuka — telefon tidak dapat bersambung"},
        {"linux_discovery_closed",
         "⚠\uFE0E Port UDP {port} tidak dapat dibuka — telefon tidak dapat menemui PC ini"},
        {"settings_damaged_title", "Tetapan Velora dibaiki"},
        {"settings_damaged",
         "Fail tetapan telah rosak; salinannya disimpan sebagai {file}. Ditetapkan semula: {what}"},
        {"phone_menu", "Sambungkan telefon…"},
        {"phone_title", "Sambungkan telefon"},
        {"phone_howto",
         "Buka alamat ini dalam pelayar telefon anda, atau imbas kod dengan kameranya."},
        {"phone_named",
         "Alamat ini ialah nama komputer: ia kekal sama selepas dimulakan semula atau rangkaian "
         "bertukar."},
        {"phone_numeric",
         "Ini ialah alamat berangka: ia mungkin berubah apabila rangkaian memberikan alamat baharu "
         "kepada komputer."},
        {"phone_others", "Juga boleh dicapai di:"},
        {"phone_none",
         "Belum ada alamat rangkaian: sambungkan komputer ini ke rangkaian yang sama dengan "
         "telefon anda."},
        {"log_discovery_port_failed", "Port penemuan tidak dapat dibuka: {error}"},
        {"log_control_port_failed", "Port kawalan tidak dapat dibuka: {error}"},
        {"log_outside_refused", "Sambungan dari alamat luar ditolak: {ip}"},
        {"log_address_blocked", "{ip} PIN salah {count} kali — disekat sehingga {until}"},
        {"log_pairing_paused",
         "Jumlah {count} PIN salah (terakhir {ip}) — penggandingan baharu ditangguhkan sehingga "
         "{until}"},
        {"log_line_too_long", "{ip} baris terlalu panjang"},
        {"log_bad_greeting", "{ip} ucapan tidak sah"},
        {"log_greeted", "{name} ({ip}) sedang menyambung · aplikasi {version}"},
        {"log_pairing_request", "{name} ({ip}) permintaan penggandingan — PIN {pin} dipaparkan"},
        {"log_pairing_timeout", "{name} ({ip}) masa penggandingan tamat"},
        {"log_pin_wrong", "{name} ({ip}) PIN salah"},
        {"log_connected", "{name} ({ip}) disambungkan"},
        {"log_disconnected", "{name} diputuskan"},
        {"log_view_started",
         "{name} ({ip}) tontonan skrin bermula · lebar {width} · kualiti {quality}"},
        {"log_view_ended", "{name} ({ip}) tontonan skrin tamat"},
        {"log_view_denied", "{name} ({ip}) tontonan skrin — tiada kebenaran rakaman skrin"},
        {"linux_consent_warn",
         "⚠\uFE0E Kawalan input belum dibenarkan — klik untuk ditanya semula"},
        {"linux_consent_title", "Kawalan input memerlukan persetujuan anda"},
        {"linux_consent_body",
         "Desktop anda bertanya dalam tetingkapnya sendiri sama ada Velora boleh mengawal penuding "
         "dan papan kekunci serta berkongsi skrin.\n\n"
         "Benarkannya di situ, dan hidupkan pilihan untuk mengingati pilihan itu supaya anda tidak "
         "ditanya setiap kali bermula.\n"
         "Jika tetingkap itu ditolak atau ditutup, pilih Tanya semula. Sementara itu Velora terus "
         "berjalan dan telefon kekal tergandingkan."},
        {"linux_consent_ask", "Tanya semula"},
        {"linux_consent_console",
         "Kawalan input memerlukan persetujuan anda: benarkannya dalam tetingkap yang dipaparkan "
         "oleh desktop anda, dan biarkan pilihan itu diingati. Jika ditolak atau ditutup, taip "
         "consent untuk ditanya semula."},
        {"linux_no_compositor",
         "Tiada pengkompos Wayland yang menjawab: input tidak sampai ke mana-mana dan skrin tidak "
         "dapat dipaparkan"},
        {"linux_no_screen_backend",
         "Desktop Wayland ini tidak menawarkan tangkapan skrin yang boleh digunakan oleh Velora: "
         "skrin tidak dapat dipaparkan"},
        {"linux_no_input_backend",
         "Desktop Wayland ini tidak menawarkan kawalan input yang boleh digunakan oleh Velora: "
         "input tidak sampai ke mana-mana"},
        {"linux_no_backend",
         "Desktop Wayland ini tidak menawarkan kawalan input atau tangkapan skrin yang boleh "
         "digunakan oleh Velora: input tidak sampai ke mana-mana dan skrin tidak dapat dipaparkan"},
    };
}

}  // namespace velora::strings
