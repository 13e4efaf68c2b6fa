// Turkish texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_tr() {
    return {
        {"tray_none", "Bağlı cihaz yok"},
        {"tray_connected", "Bağlı: {n}"},
        {"tray_addr_pending", "Adres denetleniyor…"},
        {"tray_addr", "Bu PC'nin adresi: {addr}"},
        {"tray_devices", "Eşlenmiş cihazlar"},
        {"tray_power", "PC güç denetimine izin ver"},
        {"tray_screen", "Telefondan ekran görüntülemeye izin ver"},
        {"tray_autostart", "Windows ile başlat"},
        {"tray_help", "Yardım"},
        {"tray_quit", "Çık"},
        {"tip_idle", "Velora — bekleniyor"},
        {"tip_connected", "Velora — {n} bağlı"},
        {"tip_viewing", "Velora — ekranı görüntüleyenler: {names}"},
        {"balloon_running_title", "Velora çalışıyor"},
        {"balloon_running_body", "Telefonunuz artık bu PC'yi bulabilir ({addr})."},
        {"balloon_viewing", "{name} bu ekranı görüntülüyor."},
        {"devices_none", "Henüz yok"},
        {"device_forget", "{name} ({ip}) — Bağlantıyı kes"},
        {"devices_forget_all", "Tüm bağlantıları kes"},
        {"addr_unknown", "Kullanılamıyor"},
        {"pin_title", "Velora bağlantı isteği"},
        {"pin_head", "{name} ({ip}) bağlanmak istiyor."},
        {"pin_allow", "İzin Ver"},
        {"pin_or", "Ya da bu numarayı telefonunuza girin"},
        {"pin_foot", "Bu cihazı tanımıyorsanız bu pencereyi kapatın."},
        {"device_default", "Cihaz"},
        {"mac_addr", "Bu Mac'in adresi: {addr}"},
        {"mac_power", "Mac güç denetimine izin ver"},
        {"mac_login", "Girişte Aç"},
        {"mac_viewing", "Ekranı görüntüleyenler: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Erişilebilirlik izni gerekli — ayarları açmak için tıklayın"},
        {"mac_ax_title", "Erişilebilirlik izni gerekli"},
        {"mac_ax_body",
         "Telefonunuzun bu Mac'in faresini ve klavyesini kullanabilmesi için bu izni açın.\n\n"
         "Sistem Ayarları › Gizlilik ve Güvenlik › Erişilebilirlik — Velora'yı açın.\n"
         "Değişiklik hemen geçerli olur. İmleç hâlâ hareket etmiyorsa uygulamadan çıkıp yeniden "
         "açın."},
        {"mac_open_settings", "Ayarları Aç"},
        {"mac_later", "Daha Sonra"},
    };
}

Texts linuxTexts_tr() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Giriş denetimi kullanılamıyor — yardım için tıklayın"},
        {"linux_ax_title", "Giriş denetimi kullanılamıyor"},
        {"linux_ax_body",
         "Velora imleci hareket ettirmek ve yazı yazmak için X11 XTEST uzantısını kullanır; bu "
         "oturum bu uzantıyı sunmuyor.\n\n"
         "Oturumu kapatın, giriş ekranında bir X11 (Xorg) oturumu seçin ve Velora'yı yeniden "
         "başlatın.\n"
         "Bu sırada eşleme ve ekran görüntüleme çalışmaya devam eder."},
        {"linux_ax_help", "Yardımı Aç"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP bağlantı noktası {tcp} ve UDP bağlantı noktası {udp} açılamadı — telefonlar "
         "bu PC'ye ulaşamıyor"},
        {"linux_control_closed",
         "⚠\uFE0E TCP bağlantı noktası {port} açılamadı — telefonlar bağlanamıyor"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP bağlantı noktası {port} açılamadı — telefonlar bu PC'yi bulamıyor"},
        {"settings_damaged_title", "Velora ayarları onarıldı"},
        {"settings_damaged",
         "Ayar dosyası bozuktu; bir kopyası {file} olarak saklandı. Varsayılana dönenler: {what}"},
        {"phone_menu", "Telefon bağla…"},
        {"phone_title", "Telefon bağla"},
        {"phone_howto",
         "Bu adresi telefonunuzun tarayıcısında açın ya da kodu telefonun kamerasıyla tarayın."},
        {"phone_named",
         "Bu adres bilgisayarın adıdır: yeniden başlatmadan veya ağ değişikliğinden sonra da aynı "
         "kalır."},
        {"phone_numeric",
         "Bu sayısal bir adrestir: ağ bilgisayara yeni bir adres verdiğinde değişebilir."},
        {"phone_others", "Şu adreslerden de erişilebilir:"},
        {"phone_none", "Henüz ağ adresi yok: bu bilgisayarı telefonunuzla aynı ağa bağlayın."},
        {"log_discovery_port_failed", "Keşif bağlantı noktası açılamadı: {error}"},
        {"log_control_port_failed", "Denetim bağlantı noktası açılamadı: {error}"},
        {"log_outside_refused", "Dış adresten gelen bağlantı reddedildi: {ip}"},
        {"log_address_blocked", "{ip} {count} kez yanlış PIN — {until} saatine kadar engellendi"},
        {"log_pairing_paused",
         "Toplam {count} yanlış PIN (son {ip}) — yeni eşleştirmeler {until} saatine kadar "
         "bekliyor"},
        {"log_line_too_long", "{ip} satır çok uzun"},
        {"log_bad_greeting", "{ip} geçersiz selamlama"},
        {"log_greeted", "{name} ({ip}) bağlanıyor · uygulama {version}"},
        {"log_pairing_request", "{name} ({ip}) eşleştirme isteği — PIN {pin} gösterildi"},
        {"log_pairing_timeout", "{name} ({ip}) eşleştirme zaman aşımına uğradı"},
        {"log_pin_wrong", "{name} ({ip}) yanlış PIN"},
        {"log_connected", "{name} ({ip}) bağlandı"},
        {"log_disconnected", "{name} bağlantısı kesildi"},
        {"log_view_started",
         "{name} ({ip}) ekran izleme başladı · genişlik {width} · kalite {quality}"},
        {"log_view_ended", "{name} ({ip}) ekran izleme bitti"},
        {"log_view_denied", "{name} ({ip}) ekran izleme — ekran kaydı izni yok"},
        {"linux_consent_warn",
         "⚠\uFE0E Giriş denetimine henüz izin verilmedi — yeniden sorulması için tıklayın"},
        {"linux_consent_title", "Giriş denetimi için onayınız gerekiyor"},
        {"linux_consent_body",
         "Masaüstünüz kendi penceresinde Velora'nın imleci ve klavyeyi denetlemesine ve ekranı "
         "paylaşmasına izin verip vermediğinizi sorar.\n\n"
         "Orada izin verin ve seçimin hatırlanmasını açın; böylece her başlangıçta sorulmaz.\n"
         "Pencere reddedildiyse veya kapatıldıysa Yeniden sor'u seçin. Bu sırada Velora çalışmaya "
         "devam eder ve telefonlar eşli kalır."},
        {"linux_consent_ask", "Yeniden sor"},
        {"linux_consent_console",
         "Giriş denetimi için onayınız gerekiyor: masaüstünüzün gösterdiği pencerede izin verin ve "
         "seçimin hatırlanmasını sağlayın. Reddedildiyse veya kapatıldıysa yeniden sorulması için "
         "consent yazın."},
        {"linux_no_compositor",
         "Hiçbir Wayland bileştiricisi yanıt vermiyor: giriş hiçbir yere ulaşmıyor ve ekran "
         "gösterilemiyor"},
        {"linux_no_screen_backend",
         "Bu Wayland masaüstü Velora'nın kullanabileceği bir ekran yakalama sunmuyor: ekran "
         "gösterilemiyor"},
        {"linux_no_input_backend",
         "Bu Wayland masaüstü Velora'nın kullanabileceği bir giriş denetimi sunmuyor: giriş hiçbir "
         "yere ulaşmıyor"},
        {"linux_no_backend",
         "Bu Wayland masaüstü Velora'nın kullanabileceği ne giriş denetimi ne de ekran yakalama "
         "sunuyor: giriş hiçbir yere ulaşmıyor ve ekran gösterilemiyor"},
    };
}

}  // namespace velora::strings
