// Polish texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_pl() {
    return {
        {"tray_none", "Brak połączonych urządzeń"},
        {"tray_connected", "Połączono: {n}"},
        {"tray_addr_pending", "Sprawdzanie adresu…"},
        {"tray_addr", "Adres tego komputera PC: {addr}"},
        {"tray_devices", "Sparowane urządzenia"},
        {"tray_power", "Zezwalaj na sterowanie zasilaniem komputera PC"},
        {"tray_screen", "Zezwalaj na podgląd ekranu z telefonu"},
        {"tray_autostart", "Uruchamiaj razem z systemem Windows"},
        {"tray_help", "Pomoc"},
        {"tray_quit", "Zakończ"},
        {"tip_idle", "Velora — oczekiwanie"},
        {"tip_connected", "Velora — połączono: {n}"},
        {"tip_viewing", "Velora — ekran oglądają: {names}"},
        {"balloon_running_title", "Velora działa"},
        {"balloon_running_body", "Telefon może teraz znaleźć ten komputer PC ({addr})."},
        {"balloon_viewing", "{name} ogląda ten ekran."},
        {"devices_none", "Jeszcze brak"},
        {"device_forget", "{name} ({ip}) — Rozłącz"},
        {"devices_forget_all", "Rozłącz wszystkie"},
        {"addr_unknown", "Niedostępny"},
        {"pin_title", "Prośba o połączenie z aplikacją Velora"},
        {"pin_head", "{name} ({ip}) chce się połączyć."},
        {"pin_allow", "Zezwól"},
        {"pin_or", "Lub wpisz ten numer na telefonie"},
        {"pin_foot", "Jeśli nie rozpoznajesz tego urządzenia, zamknij to okno."},
        {"device_default", "Urządzenie"},
        {"mac_addr", "Adres tego Maca: {addr}"},
        {"mac_power", "Zezwalaj na sterowanie zasilaniem Maca"},
        {"mac_login", "Otwieraj po zalogowaniu"},
        {"mac_viewing", "Podgląd ekranu: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Wymagane uprawnienie Dostępności — kliknij, aby otworzyć ustawienia"},
        {"mac_ax_title", "Wymagane uprawnienie Dostępności"},
        {"mac_ax_body",
         "Aby telefon mógł sterować myszą i klawiaturą tego Maca, włącz to uprawnienie.\n\n"
         "Ustawienia systemowe › Prywatność i ochrona › Dostępność — włącz Velora.\n"
         "Zmiana działa od razu. Jeśli wskaźnik nadal się nie porusza, zakończ aplikację i otwórz "
         "ją ponownie."},
        {"mac_open_settings", "Otwórz Ustawienia"},
        {"mac_later", "Później"},
    };
}

Texts linuxTexts_pl() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Sterowanie myszą i klawiaturą niedostępne — kliknij, aby uzyskać pomoc"},
        {"linux_ax_title", "Sterowanie myszą i klawiaturą niedostępne"},
        {"linux_ax_body",
         "Velora porusza wskaźnikiem i pisze za pomocą rozszerzenia X11 XTEST, którego ta sesja "
         "nie udostępnia.\n\n"
         "Wyloguj się, wybierz sesję X11 (Xorg) na ekranie logowania i ponownie uruchom aplikację "
         "Velora.\n"
         "Parowanie i podgląd ekranu w tym czasie nadal działają."},
        {"linux_ax_help", "Otwórz pomoc"},
        {"linux_ports_closed",
         "⚠\uFE0E Nie można otworzyć portu TCP {tcp} ani portu UDP {udp} — telefony nie mogą "
         "połączyć się z tym komputerem"},
        {"linux_control_closed",
         "⚠\uFE0E Nie można otworzyć portu TCP {port} — telefony nie mogą się połączyć"},
        {"linux_discovery_closed",
         "⚠\uFE0E Nie można otworzyć portu UDP {port} — telefony nie mogą znaleźć tego komputera"},
        {"settings_damaged_title", "Ustawienia Velora naprawione"},
        {"settings_damaged",
         "Plik ustawień był uszkodzony; kopię zachowano jako {file}. Przywrócono domyślne: {what}"},
        {"phone_menu", "Połącz telefon…"},
        {"phone_title", "Połącz telefon"},
        {"phone_howto", "Otwórz ten adres w przeglądarce telefonu lub zeskanuj kod jego aparatem."},
        {"phone_named",
         "Ten adres to nazwa komputera: pozostaje taki sam po ponownym uruchomieniu lub zmianie "
         "sieci."},
        {"phone_numeric",
         "To adres liczbowy: może się zmienić, gdy sieć przydzieli komputerowi nowy."},
        {"phone_others", "Dostępny także pod adresami:"},
        {"phone_none", "Brak adresu sieciowego: połącz ten komputer z tą samą siecią co telefon."},
        {"log_discovery_port_failed", "Nie można otworzyć portu wykrywania: {error}"},
        {"log_control_port_failed", "Nie można otworzyć portu sterowania: {error}"},
        {"log_outside_refused", "Odrzucono połączenie z adresu zewnętrznego: {ip}"},
        {"log_address_blocked", "{ip} błędny PIN {count} razy — zablokowano do {until}"},
        {"log_pairing_paused",
         "{count} błędnych PIN-ów łącznie (ostatni {ip}) — nowe parowania wstrzymane do {until}"},
        {"log_line_too_long", "{ip} zbyt długi wiersz"},
        {"log_bad_greeting", "{ip} nieprawidłowe powitanie"},
        {"log_greeted", "{name} ({ip}) łączy się · aplikacja {version}"},
        {"log_pairing_request", "{name} ({ip}) prośba o parowanie — wyświetlono PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) upłynął czas parowania"},
        {"log_pin_wrong", "{name} ({ip}) błędny PIN"},
        {"log_connected", "{name} ({ip}) połączono"},
        {"log_disconnected", "{name} rozłączono"},
        {"log_view_started",
         "{name} ({ip}) rozpoczęto podgląd ekranu · szerokość {width} · jakość {quality}"},
        {"log_view_ended", "{name} ({ip}) zakończono podgląd ekranu"},
        {"log_view_denied", "{name} ({ip}) podgląd ekranu — brak uprawnienia do nagrywania ekranu"},
        {"linux_consent_warn",
         "⚠\uFE0E Sterowanie myszą i klawiaturą nie jest jeszcze dozwolone — kliknij, aby zapytać "
         "ponownie"},
        {"linux_consent_title", "Sterowanie myszą i klawiaturą wymaga Twojej zgody"},
        {"linux_consent_body",
         "Twoje środowisko pulpitu pyta we własnym oknie, czy Velora może sterować wskaźnikiem i "
         "klawiaturą oraz udostępniać ekran.\n\n"
         "Zezwól na to w tym oknie i włącz zapamiętanie wyboru, aby pytanie nie pojawiało się przy "
         "każdym uruchomieniu.\n"
         "Jeśli okno zostało odrzucone lub zamknięte, wybierz Zapytaj ponownie. W tym czasie "
         "Velora działa dalej, a telefony pozostają sparowane."},
        {"linux_consent_ask", "Zapytaj ponownie"},
        {"linux_consent_console",
         "Sterowanie myszą i klawiaturą wymaga Twojej zgody: zezwól na nie w oknie wyświetlonym "
         "przez pulpit i pozwól zapamiętać wybór. Jeśli zostało odrzucone lub zamknięte, wpisz "
         "consent, aby zapytać ponownie."},
        {"linux_no_compositor",
         "Żaden kompozytor Wayland nie odpowiada: wejście nigdzie nie trafia, a ekranu nie można "
         "pokazać"},
        {"linux_no_screen_backend",
         "To środowisko Wayland nie oferuje przechwytywania ekranu, z którego Velora mogłaby "
         "korzystać: ekranu nie można pokazać"},
        {"linux_no_input_backend",
         "To środowisko Wayland nie oferuje sterowania wejściem, z którego Velora mogłaby "
         "korzystać: wejście nigdzie nie trafia"},
        {"linux_no_backend",
         "To środowisko Wayland nie oferuje ani sterowania wejściem, ani przechwytywania ekranu, z "
         "których Velora mogłaby korzystać: wejście nigdzie nie trafia, a ekranu nie można "
         "pokazać"},
    };
}

}  // namespace velora::strings
