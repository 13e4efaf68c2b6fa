#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_da() {
    return {
        {"tray_none", "Ingen enhed forbundet"},
        {"tray_connected", "Forbundet: {n}"},
        {"tray_addr_pending", "Tjekker adresse…"},
        {"tray_addr", "Denne pc's adresse: {addr}"},
        {"tray_devices", "Parrede enheder"},
        {"tray_power", "Tillad strømstyring af pc'en"},
        {"tray_screen", "Tillad skærmvisning fra telefonen"},
        {"tray_autostart", "Start med Windows"},
        {"tray_help", "Hjælp"},
        {"tray_quit", "Afslut"},
        {"tip_idle", "Velora — venter"},
        {"tip_connected", "Velora — {n} forbundet"},
        {"tip_viewing", "Velora — skærmen ses af: {names}"},
        {"balloon_running_title", "Velora kører"},
        {"balloon_running_body", "Din telefon kan nu finde denne pc ({addr})."},
        {"balloon_viewing", "{name} ser denne skærm."},
        {"devices_none", "Ingen endnu"},
        {"device_forget", "{name} ({ip}) — Afbryd forbindelse"},
        {"devices_forget_all", "Afbryd alle"},
        {"addr_unknown", "Ikke tilgængelig"},
        {"pin_title", "Forbindelsesanmodning til Velora"},
        {"pin_head", "{name} ({ip}) vil gerne oprette forbindelse."},
        {"pin_allow", "Tillad"},
        {"pin_or", "Eller indtast dette nummer på din telefon"},
        {"pin_foot", "Hvis du ikke genkender denne enhed, så luk dette vindue."},
        {"device_default", "Enhed"},
        {"mac_addr", "Denne Macs adresse: {addr}"},
        {"mac_power", "Tillad strømstyring af Mac'en"},
        {"mac_login", "Åbn ved login"},
        {"mac_viewing", "Skærmen ses af: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Tilladelse til tilgængelighed mangler — klik for at åbne indstillinger"},
        {"mac_ax_title", "Tilladelse til tilgængelighed påkrævet"},
        {"mac_ax_body",
         "Slå denne tilladelse til, så din telefon kan styre musen og tastaturet på denne Mac.\n\n"
         "Systemindstillinger › Anonymitet & sikkerhed › Tilgængelighed — slå Velora til.\n"
         "Det virker med det samme. Hvis markøren stadig ikke bevæger sig, så afslut appen og åbn "
         "den igen."},
        {"mac_open_settings", "Åbn Indstillinger"},
        {"mac_later", "Senere"},
    };
}

Texts linuxTexts_da() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Inputstyring er ikke tilgængelig — klik for hjælp"},
        {"linux_ax_title", "Inputstyring er ikke tilgængelig"},
        {"linux_ax_body",
         "Velora flytter markøren og skriver via X11-udvidelsen XTEST, som denne session ikke "
         "tilbyder.\n\n"
         "Log ud, vælg en X11-session (Xorg) på loginskærmen, og start Velora igen.\n"
         "Parring og skærmvisning virker fortsat i mellemtiden."},
        {"linux_ax_help", "Åbn hjælp"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP-port {tcp} og UDP-port {udp} kunne ikke åbnes — telefoner kan ikke nå denne "
         "pc"},
        {"linux_control_closed",
         "⚠\uFE0E TCP-port {port} kunne ikke åbnes — telefoner kan ikke oprette forbindelse"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP-port {port} kunne ikke åbnes — telefoner kan ikke finde denne pc"},
        {"settings_damaged_title", "Velora-indstillinger repareret"},
        {"settings_damaged",
         "Indstillingsfilen var beskadiget; en kopi blev gemt som {file}. Nulstillet: {what}"},
        {"phone_menu", "Forbind en telefon…"},
        {"phone_title", "Forbind en telefon"},
        {"phone_howto",
         "Åbn denne adresse i telefonens browser, eller scan koden med dens kamera."},
        {"phone_named",
         "Denne adresse er computerens navn: den forbliver den samme efter en genstart eller et "
         "netværksskift."},
        {"phone_numeric",
         "Dette er en numerisk adresse: den kan ændre sig, når netværket giver computeren en ny."},
        {"phone_others", "Kan også nås på:"},
        {"phone_none",
         "Ingen netværksadresse endnu: forbind denne computer til samme netværk som din telefon."},
        {"log_discovery_port_failed", "Kunne ikke åbne søgeporten: {error}"},
        {"log_control_port_failed", "Kunne ikke åbne kontrolporten: {error}"},
        {"log_outside_refused", "Forbindelse fra ekstern adresse afvist: {ip}"},
        {"log_address_blocked", "{ip} forkert PIN {count} gange — blokeret til {until}"},
        {"log_pairing_paused",
         "{count} forkerte PIN-koder i alt (senest {ip}) — nye parringer venter til {until}"},
        {"log_line_too_long", "{ip} linje for lang"},
        {"log_bad_greeting", "{ip} ugyldig hilsen"},
        {"log_greeted", "{name} ({ip}) opretter forbindelse · app {version}"},
        {"log_pairing_request", "{name} ({ip}) parringsanmodning — PIN {pin} vist"},
        {"log_pairing_timeout", "{name} ({ip}) parring udløbet"},
        {"log_pin_wrong", "{name} ({ip}) forkert PIN"},
        {"log_connected", "{name} ({ip}) forbundet"},
        {"log_disconnected", "{name} afbrudt"},
        {"log_view_started",
         "{name} ({ip}) skærmvisning startet · bredde {width} · kvalitet {quality}"},
        {"log_view_ended", "{name} ({ip}) skærmvisning afsluttet"},
        {"log_view_denied", "{name} ({ip}) skærmvisning — ingen tilladelse til skærmoptagelse"},
        {"linux_consent_warn",
         "⚠\uFE0E Inputstyring er ikke tilladt endnu — klik for at blive spurgt igen"},
        {"linux_consent_title", "Inputstyring kræver dit samtykke"},
        {"linux_consent_body",
         "Dit skrivebord spørger i sit eget vindue, om Velora må styre markøren og tastaturet og "
         "dele skærmen.\n\n"
         "Tillad det dér, og slå \"husk valget\" til, så du ikke bliver spurgt ved hver start.\n"
         "Hvis vinduet blev afvist eller lukket, så vælg Spørg igen. Velora kører videre imens, og "
         "telefonerne forbliver parrede."},
        {"linux_consent_ask", "Spørg igen"},
        {"linux_consent_console",
         "Inputstyring kræver dit samtykke: tillad det i det vindue, dit skrivebord viser, og lad "
         "det huske valget. Hvis det blev afvist eller lukket, så skriv consent for at blive "
         "spurgt igen."},
        {"linux_no_compositor",
         "Ingen Wayland-compositor svarer: input når ingen steder hen, og skærmen kan ikke vises"},
        {"linux_no_screen_backend",
         "Dette Wayland-skrivebord tilbyder ingen skærmoptagelse, som Velora kan bruge: skærmen "
         "kan ikke vises"},
        {"linux_no_input_backend",
         "Dette Wayland-skrivebord tilbyder ingen inputstyring, som Velora kan bruge: input når "
         "ingen steder hen"},
        {"linux_no_backend",
         "Dette Wayland-skrivebord tilbyder hverken inputstyring eller skærmoptagelse, som Velora "
         "kan bruge: input når ingen steder hen, og skærmen kan ikke vises"},
    };
}

}  // namespace velora::strings
