// Norwegian Bokmål texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_nb() {
    return {
        {"tray_none", "Ingen enhet tilkoblet"},
        {"tray_connected", "Tilkoblet: {n}"},
        {"tray_addr_pending", "Sjekker adressen…"},
        {"tray_addr", "Adressen til denne PC-en: {addr}"},
        {"tray_devices", "Sammenkoblede enheter"},
        {"tray_power", "Tillat strømstyring av PC-en"},
        {"tray_screen", "Tillat skjermvisning fra telefonen"},
        {"tray_autostart", "Start med Windows"},
        {"tray_help", "Hjelp"},
        {"tray_quit", "Avslutt"},
        {"tip_idle", "Velora — venter"},
        {"tip_connected", "Velora — tilkoblet: {n}"},
        {"tip_viewing", "Velora — skjermen vises for: {names}"},
        {"balloon_running_title", "Velora kjører"},
        {"balloon_running_body", "Telefonen din kan nå finne denne PC-en ({addr})."},
        {"balloon_viewing", "{name} ser på denne skjermen."},
        {"devices_none", "Ingen ennå"},
        {"device_forget", "{name} ({ip}) — Koble fra"},
        {"devices_forget_all", "Koble fra alle"},
        {"addr_unknown", "Utilgjengelig"},
        {"pin_title", "Tilkoblingsforespørsel til Velora"},
        {"pin_head", "{name} ({ip}) vil koble til."},
        {"pin_allow", "Tillat"},
        {"pin_or", "Eller skriv inn dette nummeret på telefonen"},
        {"pin_foot", "Hvis du ikke kjenner igjen denne enheten, lukk dette vinduet."},
        {"device_default", "Enhet"},
        {"mac_addr", "Adressen til denne Mac-en: {addr}"},
        {"mac_power", "Tillat strømstyring av Mac-en"},
        {"mac_login", "Åpne ved pålogging"},
        {"mac_viewing", "Ser på skjermen: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Tilgjengelighetstillatelse kreves — klikk for å åpne innstillingene"},
        {"mac_ax_title", "Tilgjengelighetstillatelse kreves"},
        {"mac_ax_body",
         "Slå på denne tillatelsen slik at telefonen kan styre musen og tastaturet på denne "
         "Mac-en.\n\n"
         "Systeminnstillinger › Personvern og sikkerhet › Tilgjengelighet — slå på Velora.\n"
         "Det virker med en gang. Hvis pekeren fortsatt ikke beveger seg, avslutt appen og åpne "
         "den igjen."},
        {"mac_open_settings", "Åpne innstillinger"},
        {"mac_later", "Senere"},
    };
}

Texts linuxTexts_nb() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Inndatakontroll er utilgjengelig — klikk for hjelp"},
        {"linux_ax_title", "Inndatakontroll er utilgjengelig"},
        {"linux_ax_body",
         "Velora flytter pekeren og skriver via X11-utvidelsen XTEST, som denne økten ikke "
         "tilbyr.\n\n"
         "Logg ut, velg en X11-økt (Xorg) på påloggingsskjermen, og start Velora på nytt.\n"
         "Sammenkobling og skjermvisning fungerer som vanlig i mellomtiden."},
        {"linux_ax_help", "Åpne hjelp"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP-port {tcp} og UDP-port {udp} kunne ikke åpnes — telefoner når ikke denne "
         "PC-en"},
        {"linux_control_closed",
         "⚠\uFE0E TCP-port {port} kunne ikke åpnes — telefoner kan ikke koble til"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP-port {port} kunne ikke åpnes — telefoner finner ikke denne PC-en"},
        {"settings_damaged_title", "Velora-innstillingene er reparert"},
        {"settings_damaged",
         "Innstillingsfilen var skadet; en kopi ble tatt vare på som {file}. Tilbakestilt: {what}"},
        {"phone_menu", "Koble til en telefon…"},
        {"phone_title", "Koble til en telefon"},
        {"phone_howto",
         "Åpne denne adressen i telefonens nettleser, eller skann koden med kameraet."},
        {"phone_named",
         "Denne adressen er datamaskinens navn: den forblir den samme etter en omstart eller et "
         "nettverksbytte."},
        {"phone_numeric",
         "Dette er en numerisk adresse: den kan endres når nettverket gir datamaskinen en ny."},
        {"phone_others", "Kan også nås på:"},
        {"phone_none",
         "Ingen nettverksadresse ennå: koble denne datamaskinen til samme nettverk som telefonen."},
        {"log_discovery_port_failed", "Kunne ikke åpne søkeporten: {error}"},
        {"log_control_port_failed", "Kunne ikke åpne kontrollporten: {error}"},
        {"log_outside_refused", "Tilkobling fra ekstern adresse avvist: {ip}"},
        {"log_address_blocked", "{ip} feil PIN {count} ganger — blokkert til {until}"},
        {"log_pairing_paused",
         "{count} feil PIN-koder totalt (sist {ip}) — nye paringer venter til {until}"},
        {"log_line_too_long", "{ip} linjen er for lang"},
        {"log_bad_greeting", "{ip} ugyldig hilsen"},
        {"log_greeted", "{name} ({ip}) kobler til · app {version}"},
        {"log_pairing_request", "{name} ({ip}) paringsforespørsel — PIN {pin} vist"},
        {"log_pairing_timeout", "{name} ({ip}) paringen ble tidsavbrutt"},
        {"log_pin_wrong", "{name} ({ip}) feil PIN"},
        {"log_connected", "{name} ({ip}) tilkoblet"},
        {"log_disconnected", "{name} frakoblet"},
        {"log_view_started",
         "{name} ({ip}) skjermvisning startet · bredde {width} · kvalitet {quality}"},
        {"log_view_ended", "{name} ({ip}) skjermvisning avsluttet"},
        {"log_view_denied", "{name} ({ip}) skjermvisning — mangler tillatelse til skjermopptak"},
        {"linux_consent_warn",
         "⚠\uFE0E Inndatakontroll er ikke tillatt ennå — klikk for å bli spurt på nytt"},
        {"linux_consent_title", "Inndatakontroll krever ditt samtykke"},
        {"linux_consent_body",
         "Skrivebordet ditt spør i et eget vindu om Velora kan styre pekeren og tastaturet og dele "
         "skjermen.\n\n"
         "Tillat det der, og slå på at valget skal huskes, så du ikke blir spurt ved hver "
         "oppstart.\n"
         "Hvis vinduet ble avvist eller lukket, velger du Spør på nytt. Velora kjører videre i "
         "mellomtiden, og telefonene forblir sammenkoblet."},
        {"linux_consent_ask", "Spør på nytt"},
        {"linux_consent_console",
         "Inndatakontroll krever ditt samtykke: tillat det i vinduet skrivebordet viser, og la "
         "valget bli husket. Hvis det ble avvist eller lukket, skriver du consent for å bli spurt "
         "på nytt."},
        {"linux_no_compositor",
         "Ingen Wayland-kompositor svarer: inndata havner ingen steder, og skjermen kan ikke "
         "vises"},
        {"linux_no_screen_backend",
         "Dette Wayland-skrivebordet tilbyr ingen skjermopptak som Velora kan bruke: skjermen kan "
         "ikke vises"},
        {"linux_no_input_backend",
         "Dette Wayland-skrivebordet tilbyr ingen inndatakontroll som Velora kan bruke: inndata "
         "havner ingen steder"},
        {"linux_no_backend",
         "Dette Wayland-skrivebordet tilbyr verken inndatakontroll eller skjermopptak som Velora "
         "kan bruke: inndata havner ingen steder, og skjermen kan ikke vises"},
    };
}

}  // namespace velora::strings
