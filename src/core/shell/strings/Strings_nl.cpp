// Dutch texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_nl() {
    return {
        {"tray_none", "Geen apparaat verbonden"},
        {"tray_connected", "Verbonden: {n}"},
        {"tray_addr_pending", "Adres controleren…"},
        {"tray_addr", "Adres van deze pc: {addr}"},
        {"tray_devices", "Gekoppelde apparaten"},
        {"tray_power", "Energiebeheer van de pc toestaan"},
        {"tray_screen", "Scherm bekijken vanaf telefoon toestaan"},
        {"tray_autostart", "Starten met Windows"},
        {"tray_help", "Help"},
        {"tray_quit", "Afsluiten"},
        {"tip_idle", "Velora — aan het wachten"},
        {"tip_connected", "Velora — {n} verbonden"},
        {"tip_viewing", "Velora — scherm bekeken door: {names}"},
        {"balloon_running_title", "Velora is actief"},
        {"balloon_running_body", "Je telefoon kan deze pc nu vinden ({addr})."},
        {"balloon_viewing", "{name} bekijkt dit scherm."},
        {"devices_none", "Nog geen"},
        {"device_forget", "{name} ({ip}) — Verbinding verbreken"},
        {"devices_forget_all", "Alle verbindingen verbreken"},
        {"addr_unknown", "Niet beschikbaar"},
        {"pin_title", "Verbindingsverzoek voor Velora"},
        {"pin_head", "{name} ({ip}) wil verbinding maken."},
        {"pin_allow", "Sta toe"},
        {"pin_or", "Of voer dit nummer in op je telefoon"},
        {"pin_foot", "Herken je dit apparaat niet? Sluit dan dit venster."},
        {"device_default", "Apparaat"},
        {"mac_addr", "Adres van deze Mac: {addr}"},
        {"mac_power", "Energiebeheer van de Mac toestaan"},
        {"mac_login", "Open bij inloggen"},
        {"mac_viewing", "Bekijkt scherm: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Toestemming voor toegankelijkheid nodig — klik om instellingen te openen"},
        {"mac_ax_title", "Toestemming voor toegankelijkheid vereist"},
        {"mac_ax_body",
         "Zet deze toestemming aan zodat je telefoon de muis en het toetsenbord van deze Mac kan "
         "bedienen.\n\n"
         "Systeeminstellingen › Privacy en beveiliging › Toegankelijkheid — zet Velora aan.\n"
         "Dit werkt meteen. Beweegt de aanwijzer nog steeds niet, stop dan de app en open hem "
         "opnieuw."},
        {"mac_open_settings", "Open Instellingen"},
        {"mac_later", "Niet nu"},
    };
}

Texts linuxTexts_nl() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Invoerbesturing niet beschikbaar — klik voor hulp"},
        {"linux_ax_title", "Invoerbesturing niet beschikbaar"},
        {"linux_ax_body",
         "Velora beweegt de aanwijzer en typt via de X11-extensie XTEST, die deze sessie niet "
         "biedt.\n\n"
         "Log uit, kies een X11-sessie (Xorg) op het inlogscherm en start Velora opnieuw.\n"
         "Koppelen en het scherm bekijken blijven intussen gewoon werken."},
        {"linux_ax_help", "Help openen"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP-poort {tcp} en UDP-poort {udp} konden niet worden geopend — telefoons kunnen "
         "deze pc niet bereiken"},
        {"linux_control_closed",
         "⚠\uFE0E TCP-poort {port} kon niet worden geopend — telefoons kunnen geen verbinding "
         "maken"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP-poort {port} kon niet worden geopend — telefoons kunnen deze pc niet vinden"},
        {"settings_damaged_title", "Velora-instellingen hersteld"},
        {"settings_damaged",
         "Het instellingenbestand was beschadigd; een kopie is bewaard als {file}. Teruggezet: "
         "{what}"},
        {"phone_menu", "Telefoon verbinden…"},
        {"phone_title", "Telefoon verbinden"},
        {"phone_howto",
         "Open dit adres in de browser van je telefoon, of scan de code met de camera."},
        {"phone_named",
         "Dit adres is de naam van de computer: het blijft hetzelfde na een herstart of een ander "
         "netwerk."},
        {"phone_numeric",
         "Dit is een numeriek adres: het kan veranderen wanneer het netwerk de computer een nieuw "
         "adres geeft."},
        {"phone_others", "Ook bereikbaar via:"},
        {"phone_none",
         "Nog geen netwerkadres: verbind deze computer met hetzelfde netwerk als je telefoon."},
        {"log_discovery_port_failed", "Kan de zoekpoort niet openen: {error}"},
        {"log_control_port_failed", "Kan de besturingspoort niet openen: {error}"},
        {"log_outside_refused", "Verbinding van extern adres geweigerd: {ip}"},
        {"log_address_blocked", "{ip} pincode {count} keer onjuist — geblokkeerd tot {until}"},
        {"log_pairing_paused",
         "{count} onjuiste pincodes in totaal (laatste {ip}) — nieuwe koppelingen wachten tot "
         "{until}"},
        {"log_line_too_long", "{ip} regel te lang"},
        {"log_bad_greeting", "{ip} ongeldige begroeting"},
        {"log_greeted", "{name} ({ip}) maakt verbinding · app {version}"},
        {"log_pairing_request", "{name} ({ip}) koppelverzoek — pincode {pin} getoond"},
        {"log_pairing_timeout", "{name} ({ip}) koppelen verlopen"},
        {"log_pin_wrong", "{name} ({ip}) onjuiste pincode"},
        {"log_connected", "{name} ({ip}) verbonden"},
        {"log_disconnected", "{name} verbinding verbroken"},
        {"log_view_started",
         "{name} ({ip}) scherm bekijken gestart · breedte {width} · kwaliteit {quality}"},
        {"log_view_ended", "{name} ({ip}) scherm bekijken beëindigd"},
        {"log_view_denied", "{name} ({ip}) scherm bekijken — geen toestemming voor schermopname"},
        {"linux_consent_warn",
         "⚠\uFE0E Invoerbesturing nog niet toegestaan — klik om het opnieuw te laten vragen"},
        {"linux_consent_title", "Invoerbesturing heeft je toestemming nodig"},
        {"linux_consent_body",
         "Je bureaublad vraagt in een eigen venster of Velora de aanwijzer en het toetsenbord mag "
         "besturen en het scherm mag delen.\n\n"
         "Sta het daar toe en zet het onthouden van de keuze aan, zodat het niet bij elke start "
         "opnieuw wordt gevraagd.\n"
         "Is het venster geweigerd of gesloten, kies dan Opnieuw vragen. Velora blijft intussen "
         "draaien en telefoons blijven gekoppeld."},
        {"linux_consent_ask", "Opnieuw vragen"},
        {"linux_consent_console",
         "Invoerbesturing heeft je toestemming nodig: sta het toe in het venster dat je bureaublad "
         "toont en laat de keuze onthouden. Is het geweigerd of gesloten, typ dan consent om het "
         "opnieuw te laten vragen."},
        {"linux_no_compositor",
         "Geen Wayland-compositor antwoordt: invoer komt nergens aan en het scherm kan niet worden "
         "getoond"},
        {"linux_no_screen_backend",
         "Dit Wayland-bureaublad biedt geen schermopname die Velora kan gebruiken: het scherm kan "
         "niet worden getoond"},
        {"linux_no_input_backend",
         "Dit Wayland-bureaublad biedt geen invoerbesturing die Velora kan gebruiken: invoer komt "
         "nergens aan"},
        {"linux_no_backend",
         "Dit Wayland-bureaublad biedt geen invoerbesturing of schermopname die Velora kan "
         "gebruiken: invoer komt nergens aan en het scherm kan niet worden getoond"},
    };
}

}  // namespace velora::strings
