// Slovak texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_sk() {
    return {
        {"tray_none", "Nie je pripojené žiadne zariadenie"},
        {"tray_connected", "Pripojené: {n}"},
        {"tray_addr_pending", "Zisťuje sa adresa…"},
        {"tray_addr", "Adresa tohto PC: {addr}"},
        {"tray_devices", "Spárované zariadenia"},
        {"tray_power", "Povoliť ovládanie napájania PC"},
        {"tray_screen", "Povoliť zobrazenie obrazovky z telefónu"},
        {"tray_autostart", "Spúšťať so systémom Windows"},
        {"tray_help", "Pomocník"},
        {"tray_quit", "Ukončiť"},
        {"tip_idle", "Velora — čaká sa"},
        {"tip_connected", "Velora — pripojené: {n}"},
        {"tip_viewing", "Velora — obrazovku sleduje: {names}"},
        {"balloon_running_title", "Velora je spustená"},
        {"balloon_running_body", "Váš telefón teraz môže nájsť tento PC ({addr})."},
        {"balloon_viewing", "{name} sleduje túto obrazovku."},
        {"devices_none", "Zatiaľ žiadne"},
        {"device_forget", "{name} ({ip}) — Odpojiť"},
        {"devices_forget_all", "Odpojiť všetky"},
        {"addr_unknown", "Nedostupná"},
        {"pin_title", "Žiadosť o pripojenie k aplikácii Velora"},
        {"pin_head", "{name} ({ip}) sa chce pripojiť."},
        {"pin_allow", "Povoliť"},
        {"pin_or", "Alebo zadajte toto číslo v telefóne"},
        {"pin_foot", "Ak toto zariadenie nepoznáte, zatvorte toto okno."},
        {"device_default", "Zariadenie"},
        {"mac_addr", "Adresa tohto Macu: {addr}"},
        {"mac_power", "Povoliť ovládanie napájania Macu"},
        {"mac_login", "Otvoriť pri prihlásení"},
        {"mac_viewing", "Obrazovku sleduje: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Vyžaduje sa povolenie Prístupnosti — kliknutím otvoríte nastavenia"},
        {"mac_ax_title", "Vyžaduje sa povolenie Prístupnosti"},
        {"mac_ax_body",
         "Ak chcete, aby telefón mohol ovládať myš a klávesnicu tohto Macu, zapnite toto "
         "povolenie.\n\n"
         "Systémové nastavenia › Súkromie a bezpečnosť › Prístupnosť — zapnite Velora.\n"
         "Zmena platí okamžite. Ak sa ukazovateľ stále nehýbe, ukončite aplikáciu a znova ju "
         "otvorte."},
        {"mac_open_settings", "Otvoriť nastavenia"},
        {"mac_later", "Neskôr"},
    };
}

Texts linuxTexts_sk() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Ovládanie vstupu nie je k dispozícii — kliknutím zobrazíte pomoc"},
        {"linux_ax_title", "Ovládanie vstupu nie je k dispozícii"},
        {"linux_ax_body",
         "Velora pohybuje ukazovateľom a píše cez rozšírenie X11 XTEST, ktoré táto relácia "
         "neponúka.\n\n"
         "Odhláste sa, na prihlasovacej obrazovke vyberte reláciu X11 (Xorg) a znova spustite "
         "aplikáciu Velora.\n"
         "Párovanie a zobrazenie obrazovky medzitým fungujú ďalej."},
        {"linux_ax_help", "Otvoriť pomocníka"},
        {"linux_ports_closed",
         "⚠\uFE0E Port TCP {tcp} a port UDP {udp} sa nepodarilo otvoriť — telefóny sa k tomuto PC "
         "nedostanú"},
        {"linux_control_closed",
         "⚠\uFE0E Port TCP {port} sa nepodarilo otvoriť — telefóny sa nemôžu pripojiť"},
        {"linux_discovery_closed",
         "⚠\uFE0E Port UDP {port} sa nepodarilo otvoriť — telefóny tento PC nenájdu"},
        {"settings_damaged_title", "Nastavenia Velora boli opravené"},
        {"settings_damaged",
         "Súbor nastavení bol poškodený; kópia bola uložená ako {file}. Obnovené na predvolené: "
         "{what}"},
        {"phone_menu", "Pripojiť telefón…"},
        {"phone_title", "Pripojiť telefón"},
        {"phone_howto",
         "Otvorte túto adresu v prehliadači telefónu alebo naskenujte kód jeho fotoaparátom."},
        {"phone_named",
         "Táto adresa je názov počítača: zostane rovnaká aj po reštarte alebo zmene siete."},
        {"phone_numeric",
         "Toto je číselná adresa: môže sa zmeniť, keď sieť pridelí počítaču novú."},
        {"phone_others", "Dostupné aj na:"},
        {"phone_none",
         "Zatiaľ žiadna sieťová adresa: pripojte tento počítač k rovnakej sieti ako telefón."},
        {"log_discovery_port_failed", "Nedá sa otvoriť port na vyhľadávanie: {error}"},
        {"log_control_port_failed", "Nedá sa otvoriť riadiaci port: {error}"},
        {"log_outside_refused", "Pripojenie z vonkajšej adresy odmietnuté: {ip}"},
        {"log_address_blocked", "{ip} nesprávny PIN {count}-krát — zablokované do {until}"},
        {"log_pairing_paused",
         "{count} nesprávnych PIN spolu (posledný {ip}) — nové párovania čakajú do {until}"},
        {"log_line_too_long", "{ip} príliš dlhý riadok"},
        {"log_bad_greeting", "{ip} neplatný pozdrav"},
        {"log_greeted", "{name} ({ip}) sa pripája · aplikácia {version}"},
        {"log_pairing_request", "{name} ({ip}) žiadosť o spárovanie — zobrazený PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) vypršal čas párovania"},
        {"log_pin_wrong", "{name} ({ip}) nesprávny PIN"},
        {"log_connected", "{name} ({ip}) pripojené"},
        {"log_disconnected", "{name} odpojené"},
        {"log_view_started",
         "{name} ({ip}) sledovanie obrazovky spustené · šírka {width} · kvalita {quality}"},
        {"log_view_ended", "{name} ({ip}) sledovanie obrazovky ukončené"},
        {"log_view_denied",
         "{name} ({ip}) sledovanie obrazovky — chýba povolenie na záznam obrazovky"},
        {"linux_consent_warn",
         "⚠\uFE0E Ovládanie vstupu zatiaľ nie je povolené — kliknite a budete požiadaní znova"},
        {"linux_consent_title", "Ovládanie vstupu vyžaduje váš súhlas"},
        {"linux_consent_body",
         "Vaše pracovné prostredie sa vo vlastnom okne pýta, či môže Velora ovládať ukazovateľ a "
         "klávesnicu a zdieľať obrazovku.\n\n"
         "Povoľte to tam a zapnite zapamätanie voľby, aby ste neboli dopytovaní pri každom "
         "spustení.\n"
         "Ak bolo okno odmietnuté alebo zatvorené, zvoľte Opýtať sa znova. Velora medzitým beží "
         "ďalej a telefóny zostávajú spárované."},
        {"linux_consent_ask", "Opýtať sa znova"},
        {"linux_consent_console",
         "Ovládanie vstupu vyžaduje váš súhlas: povoľte ho v okne, ktoré zobrazí vaše pracovné "
         "prostredie, a nechajte voľbu zapamätať. Ak bolo odmietnuté alebo zatvorené, napíšte "
         "consent a budete požiadaní znova."},
        {"linux_no_compositor",
         "Žiadny kompozítor Waylandu neodpovedá: vstup nikam nedôjde a obrazovku nemožno zobraziť"},
        {"linux_no_screen_backend",
         "Toto prostredie Wayland neponúka snímanie obrazovky, ktoré by Velora mohla použiť: "
         "obrazovku nemožno zobraziť"},
        {"linux_no_input_backend",
         "Toto prostredie Wayland neponúka ovládanie vstupu, ktoré by Velora mohla použiť: vstup "
         "nikam nedôjde"},
        {"linux_no_backend",
         "Toto prostredie Wayland neponúka ovládanie vstupu ani snímanie obrazovky, ktoré by "
         "Velora mohla použiť: vstup nikam nedôjde a obrazovku nemožno zobraziť"},
    };
}

}  // namespace velora::strings
