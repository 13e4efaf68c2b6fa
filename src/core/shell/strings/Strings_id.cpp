#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_id() {
    return {
        {"tray_none", "Tidak ada perangkat yang terhubung"},
        {"tray_connected", "Terhubung: {n}"},
        {"tray_addr_pending", "Memeriksa alamat…"},
        {"tray_addr", "Alamat PC ini: {addr}"},
        {"tray_devices", "Perangkat yang disandingkan"},
        {"tray_power", "Izinkan kontrol daya PC"},
        {"tray_screen", "Izinkan melihat layar dari ponsel"},
        {"tray_autostart", "Mulai bersama Windows"},
        {"tray_help", "Bantuan"},
        {"tray_quit", "Keluar"},
        {"tip_idle", "Velora — menunggu"},
        {"tip_connected", "Velora — {n} terhubung"},
        {"tip_viewing", "Velora — layar dilihat oleh: {names}"},
        {"balloon_running_title", "Velora sedang berjalan"},
        {"balloon_running_body", "Ponsel Anda kini dapat menemukan PC ini ({addr})."},
        {"balloon_viewing", "{name} sedang melihat layar ini."},
        {"devices_none", "Belum ada"},
        {"device_forget", "{name} ({ip}) — Putuskan"},
        {"devices_forget_all", "Putuskan semua"},
        {"addr_unknown", "Tidak tersedia"},
        {"pin_title", "Permintaan koneksi Velora"},
        {"pin_head", "{name} ({ip}) ingin terhubung."},
        {"pin_allow", "Izinkan"},
        {"pin_or", "Atau masukkan nomor ini di ponsel Anda"},
        {"pin_foot", "Jika Anda tidak mengenali perangkat ini, tutup jendela ini."},
        {"device_default", "Perangkat"},
        {"mac_addr", "Alamat Mac ini: {addr}"},
        {"mac_power", "Izinkan kontrol daya Mac"},
        {"mac_login", "Buka saat Login"},
        {"mac_viewing", "Layar dilihat oleh: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Izin aksesibilitas diperlukan — klik untuk membuka pengaturan"},
        {"mac_ax_title", "Memerlukan izin aksesibilitas"},
        {"mac_ax_body",
         "Agar ponsel Anda dapat menggerakkan mouse dan keyboard Mac ini, nyalakan izin ini.\n\n"
         "Pengaturan Sistem › Privasi & Keamanan › Aksesibilitas — nyalakan Velora.\n"
         "Perubahan langsung berlaku. Jika penunjuk masih tidak bergerak, keluar dari aplikasi "
         "lalu buka kembali."},
        {"mac_open_settings", "Buka Pengaturan"},
        {"mac_later", "Nanti"},
    };
}

Texts linuxTexts_id() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Kontrol input tidak tersedia — klik untuk bantuan"},
        {"linux_ax_title", "Kontrol input tidak tersedia"},
        {"linux_ax_body",
         "Velora menggerakkan penunjuk dan mengetik melalui ekstensi X11 XTEST, yang tidak "
         "tersedia di sesi ini.\n\n"
         "Keluar dari sesi ini, pilih sesi X11 (Xorg) di layar login, lalu jalankan Velora lagi.\n"
         "Sementara itu, penyandingan dan tampilan layar tetap berfungsi."},
        {"linux_ax_help", "Buka Bantuan"},
        {"linux_ports_closed",
         "⚠\uFE0E Port TCP {tcp} dan port UDP {udp} tidak dapat dibuka — ponsel tidak dapat "
         "menjangkau PC ini"},
        {"linux_control_closed",
         "⚠\uFE0E Port TCP {port} tidak dapat dibuka — ponsel tidak dapat terhubung"},
        {"linux_discovery_closed",
         "⚠\uFE0E Port UDP {port} tidak dapat dibuka — ponsel tidak dapat menemukan PC ini"},
        {"settings_damaged_title", "Pengaturan Velora diperbaiki"},
        {"settings_damaged",
         "Berkas pengaturan rusak; salinannya disimpan sebagai {file}. Dikembalikan ke bawaan: "
         "{what}"},
        {"phone_menu", "Hubungkan ponsel…"},
        {"phone_title", "Hubungkan ponsel"},
        {"phone_howto",
         "Buka alamat ini di browser ponsel Anda, atau pindai kodenya dengan kamera ponsel."},
        {"phone_named",
         "Alamat ini adalah nama komputer: tetap sama setelah komputer dinyalakan ulang atau "
         "jaringan berganti."},
        {"phone_numeric",
         "Ini adalah alamat numerik: dapat berubah saat jaringan memberi komputer alamat baru."},
        {"phone_others", "Juga dapat dijangkau di:"},
        {"phone_none",
         "Belum ada alamat jaringan: hubungkan komputer ini ke jaringan yang sama dengan ponsel "
         "Anda."},
        {"log_discovery_port_failed", "Tidak dapat membuka port penemuan: {error}"},
        {"log_control_port_failed", "Tidak dapat membuka port kontrol: {error}"},
        {"log_outside_refused", "Koneksi dari alamat luar ditolak: {ip}"},
        {"log_address_blocked", "{ip} PIN salah {count} kali — diblokir sampai {until}"},
        {"log_pairing_paused",
         "Total {count} PIN salah (terakhir {ip}) — pemasangan baru ditunda sampai {until}"},
        {"log_line_too_long", "{ip} baris terlalu panjang"},
        {"log_bad_greeting", "{ip} salam tidak valid"},
        {"log_greeted", "{name} ({ip}) menyambung · aplikasi {version}"},
        {"log_pairing_request", "{name} ({ip}) permintaan pemasangan — PIN {pin} ditampilkan"},
        {"log_pairing_timeout", "{name} ({ip}) waktu pemasangan habis"},
        {"log_pin_wrong", "{name} ({ip}) PIN salah"},
        {"log_connected", "{name} ({ip}) tersambung"},
        {"log_disconnected", "{name} terputus"},
        {"log_view_started",
         "{name} ({ip}) melihat layar dimulai · lebar {width} · kualitas {quality}"},
        {"log_view_ended", "{name} ({ip}) melihat layar selesai"},
        {"log_view_denied", "{name} ({ip}) melihat layar — tidak ada izin perekaman layar"},
        {"linux_consent_warn", "⚠\uFE0E Kontrol input belum diizinkan — klik untuk ditanya lagi"},
        {"linux_consent_title", "Kontrol input memerlukan persetujuan Anda"},
        {"linux_consent_body",
         "Desktop Anda menanyakan di jendelanya sendiri apakah Velora boleh mengontrol penunjuk "
         "dan keyboard serta berbagi layar.\n\n"
         "Izinkan di sana, dan aktifkan opsi untuk mengingat pilihan agar Anda tidak ditanya "
         "setiap kali memulai.\n"
         "Jika jendela itu ditolak atau ditutup, pilih Tanya lagi. Sementara itu Velora tetap "
         "berjalan dan ponsel tetap tersandingkan."},
        {"linux_consent_ask", "Tanya lagi"},
        {"linux_consent_console",
         "Kontrol input memerlukan persetujuan Anda: izinkan di jendela yang ditampilkan desktop "
         "Anda, dan biarkan pilihan itu diingat. Jika ditolak atau ditutup, ketik consent untuk "
         "ditanya lagi."},
        {"linux_no_compositor",
         "Tidak ada compositor Wayland yang menjawab: input tidak sampai ke mana pun dan layar "
         "tidak dapat ditampilkan"},
        {"linux_no_screen_backend",
         "Desktop Wayland ini tidak menyediakan tangkapan layar yang dapat digunakan Velora: layar "
         "tidak dapat ditampilkan"},
        {"linux_no_input_backend",
         "Desktop Wayland ini tidak menyediakan kontrol input yang dapat digunakan Velora: input "
         "tidak sampai ke mana pun"},
        {"linux_no_backend",
         "Desktop Wayland ini tidak menyediakan kontrol input maupun tangkapan layar yang dapat "
         "digunakan Velora: input tidak sampai ke mana pun dan layar tidak dapat ditampilkan"},
    };
}

}  // namespace velora::strings
