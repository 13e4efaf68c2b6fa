#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_hu() {
    return {
        {"tray_none", "Nincs csatlakoztatott eszköz"},
        {"tray_connected", "Csatlakoztatva: {n}"},
        {"tray_addr_pending", "Cím ellenőrzése…"},
        {"tray_addr", "Ennek a PC-nek a címe: {addr}"},
        {"tray_devices", "Párosított eszközök"},
        {"tray_power", "A PC energiavezérlésének engedélyezése"},
        {"tray_screen", "Képernyő megtekintésének engedélyezése telefonról"},
        {"tray_autostart", "Indítás a Windowszal"},
        {"tray_help", "Súgó"},
        {"tray_quit", "Kilépés"},
        {"tip_idle", "Velora — várakozás"},
        {"tip_connected", "Velora — {n} csatlakozva"},
        {"tip_viewing", "Velora — a képernyőt nézi: {names}"},
        {"balloon_running_title", "A Velora fut"},
        {"balloon_running_body", "A telefonja most már megtalálja ezt a PC-t ({addr})."},
        {"balloon_viewing", "{name} nézi ezt a képernyőt."},
        {"devices_none", "Még nincs"},
        {"device_forget", "{name} ({ip}) — Leválasztás"},
        {"devices_forget_all", "Összes leválasztása"},
        {"addr_unknown", "Nem érhető el"},
        {"pin_title", "Velora csatlakozási kérés"},
        {"pin_head", "{name} ({ip}) csatlakozni szeretne."},
        {"pin_allow", "Engedélyezés"},
        {"pin_or", "Vagy írja be ezt a számot a telefonján"},
        {"pin_foot", "Ha nem ismeri fel ezt az eszközt, zárja be ezt az ablakot."},
        {"device_default", "Eszköz"},
        {"mac_addr", "Ennek a Macnek a címe: {addr}"},
        {"mac_power", "A Mac energiavezérlésének engedélyezése"},
        {"mac_login", "Megnyitás bejelentkezéskor"},
        {"mac_viewing", "A képernyőt nézi: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Kisegítő lehetőségek engedély szükséges — kattintson a beállítások "
         "megnyitásához"},
        {"mac_ax_title", "A kisegítő lehetőségek engedélye szükséges"},
        {"mac_ax_body",
         "Ahhoz, hogy a telefonja irányíthassa ennek a Macnek az egerét és billentyűzetét, "
         "kapcsolja be ezt az engedélyt.\n\n"
         "Rendszerbeállítások › Adatvédelem és biztonság › Kisegítő lehetőségek — kapcsolja be a "
         "Velora appot.\n"
         "A változás azonnal érvénybe lép. Ha a mutató továbbra sem mozdul, lépjen ki az appból, "
         "és nyissa meg újra."},
        {"mac_open_settings", "Beállítások megnyitása"},
        {"mac_later", "Később"},
    };
}

Texts linuxTexts_hu() {
    return {
        {"linux_ax_warn", "⚠\uFE0E A bevitel vezérlése nem érhető el — kattintson a súgóért"},
        {"linux_ax_title", "A bevitel vezérlése nem érhető el"},
        {"linux_ax_body",
         "A Velora az X11 XTEST bővítményén keresztül mozgatja a mutatót és gépel, ezt a "
         "bővítményt azonban ez a munkamenet nem kínálja.\n\n"
         "Jelentkezzen ki, a bejelentkezési képernyőn válasszon X11 (Xorg) munkamenetet, majd "
         "indítsa el újra a Velora appot.\n"
         "A párosítás és a képernyő megtekintése addig is működik."},
        {"linux_ax_help", "Súgó megnyitása"},
        {"linux_ports_closed",
         "⚠\uFE0E A(z) {tcp} TCP-port és a(z) {udp} UDP-port nem nyitható meg — a telefonok nem "
         "érik el ezt a PC-t"},
        {"linux_control_closed",
         "⚠\uFE0E A(z) {port} TCP-port nem nyitható meg — a telefonok nem tudnak csatlakozni"},
        {"linux_discovery_closed",
         "⚠\uFE0E A(z) {port} UDP-port nem nyitható meg — a telefonok nem találják ezt a PC-t"},
        {"settings_damaged_title", "A Velora beállításai javítva"},
        {"settings_damaged",
         "A beállításfájl sérült volt; egy másolata {file} néven megmaradt. Alapértékre állítva: "
         "{what}"},
        {"phone_menu", "Telefon csatlakoztatása…"},
        {"phone_title", "Telefon csatlakoztatása"},
        {"phone_howto",
         "Nyissa meg ezt a címet a telefonja böngészőjében, vagy olvassa be a kódot a "
         "kamerájával."},
        {"phone_named",
         "Ez a cím a számítógép neve: újraindítás vagy hálózatváltás után is ugyanaz marad."},
        {"phone_numeric",
         "Ez egy numerikus cím: megváltozhat, amikor a hálózat új címet ad a számítógépnek."},
        {"phone_others", "Ezeken is elérhető:"},
        {"phone_none",
         "Még nincs hálózati cím: csatlakoztassa ezt a számítógépet ugyanahhoz a hálózathoz, mint "
         "a telefonját."},
        {"log_discovery_port_failed", "Nem sikerült megnyitni a keresési portot: {error}"},
        {"log_control_port_failed", "Nem sikerült megnyitni a vezérlőportot: {error}"},
        {"log_outside_refused", "Külső címről érkező kapcsolat elutasítva: {ip}"},
        {"log_address_blocked", "{ip} hibás PIN {count} alkalommal — letiltva eddig: {until}"},
        {"log_pairing_paused",
         "{count} hibás PIN összesen (utolsó: {ip}) — új párosítások várakoznak eddig: {until}"},
        {"log_line_too_long", "{ip} túl hosszú sor"},
        {"log_bad_greeting", "{ip} érvénytelen köszöntés"},
        {"log_greeted", "{name} ({ip}) csatlakozik · alkalmazás {version}"},
        {"log_pairing_request", "{name} ({ip}) párosítási kérés — PIN {pin} megjelenítve"},
        {"log_pairing_timeout", "{name} ({ip}) a párosítás ideje lejárt"},
        {"log_pin_wrong", "{name} ({ip}) hibás PIN"},
        {"log_connected", "{name} ({ip}) csatlakozva"},
        {"log_disconnected", "{name} leválasztva"},
        {"log_view_started",
         "{name} ({ip}) képernyő megtekintése elindult · szélesség {width} · minőség {quality}"},
        {"log_view_ended", "{name} ({ip}) képernyő megtekintése befejeződött"},
        {"log_view_denied",
         "{name} ({ip}) képernyő megtekintése — nincs képernyőrögzítési engedély"},
        {"linux_consent_warn",
         "⚠\uFE0E A bevitel vezérlése még nincs engedélyezve — kattintson, és újra megkérdezzük"},
        {"linux_consent_title", "A bevitel vezérléséhez az Ön hozzájárulása kell"},
        {"linux_consent_body",
         "Az asztali környezet egy saját ablakban megkérdezi, hogy a Velora vezérelheti-e a "
         "mutatót és a billentyűzetet, és megoszthatja-e a képernyőt.\n\n"
         "Engedélyezze ott, és kapcsolja be a választás megjegyzését, hogy ne kérdezzen minden "
         "indításkor.\n"
         "Ha az ablakot elutasította vagy bezárta, válassza az Újbóli kérés lehetőséget. A Velora "
         "addig is fut, a telefonok párosítva maradnak."},
        {"linux_consent_ask", "Újbóli kérés"},
        {"linux_consent_console",
         "A bevitel vezérléséhez az Ön hozzájárulása kell: engedélyezze az asztali környezet által "
         "megjelenített ablakban, és hagyja, hogy megjegyezze a választást. Ha elutasította vagy "
         "bezárta, írja be: consent, és újra megkérdezzük."},
        {"linux_no_compositor",
         "Egyetlen Wayland-kompozitor sem válaszol: a bevitel nem jut el sehová, és a képernyő nem "
         "jeleníthető meg"},
        {"linux_no_screen_backend",
         "Ez a Wayland-asztal nem kínál olyan képernyőrögzítést, amelyet a Velora használni tudna: "
         "a képernyő nem jeleníthető meg"},
        {"linux_no_input_backend",
         "Ez a Wayland-asztal nem kínál olyan beviteli vezérlést, amelyet a Velora használni "
         "tudna: a bevitel nem jut el sehová"},
        {"linux_no_backend",
         "Ez a Wayland-asztal nem kínál olyan beviteli vezérlést és képernyőrögzítést, amelyet a "
         "Velora használni tudna: a bevitel nem jut el sehová, és a képernyő nem jeleníthető meg"},
    };
}

}  // namespace velora::strings
