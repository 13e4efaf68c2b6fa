#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_cs() {
    return {
        {"tray_none", "Žádné připojené zařízení"},
        {"tray_connected", "Připojeno: {n}"},
        {"tray_addr_pending", "Zjišťování adresy…"},
        {"tray_addr", "Adresa tohoto PC: {addr}"},
        {"tray_devices", "Spárovaná zařízení"},
        {"tray_power", "Povolit ovládání napájení PC"},
        {"tray_screen", "Povolit sledování obrazovky z telefonu"},
        {"tray_autostart", "Spouštět s Windows"},
        {"tray_help", "Nápověda"},
        {"tray_quit", "Ukončit"},
        {"tip_idle", "Velora — čeká"},
        {"tip_connected", "Velora — připojeno: {n}"},
        {"tip_viewing", "Velora — obrazovku sleduje: {names}"},
        {"balloon_running_title", "Velora běží"},
        {"balloon_running_body", "Váš telefon teď může najít tento PC ({addr})."},
        {"balloon_viewing", "{name} sleduje tuto obrazovku."},
        {"devices_none", "Zatím žádná"},
        {"device_forget", "{name} ({ip}) — Odpojit"},
        {"devices_forget_all", "Odpojit vše"},
        {"addr_unknown", "Nedostupná"},
        {"pin_title", "Velora: žádost o připojení"},
        {"pin_head", "{name} ({ip}) se chce připojit."},
        {"pin_allow", "Povolit"},
        {"pin_or", "Nebo zadejte toto číslo v telefonu"},
        {"pin_foot", "Pokud toto zařízení neznáte, zavřete toto okno."},
        {"device_default", "Zařízení"},
        {"mac_addr", "Adresa tohoto Macu: {addr}"},
        {"mac_power", "Povolit ovládání napájení Macu"},
        {"mac_login", "Otevřít po přihlášení"},
        {"mac_viewing", "Obrazovku sleduje: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Je potřeba oprávnění zpřístupnění — kliknutím otevřete nastavení"},
        {"mac_ax_title", "Vyžaduje se oprávnění zpřístupnění"},
        {"mac_ax_body",
         "Aby váš telefon mohl ovládat myš a klávesnici tohoto Macu, zapněte toto oprávnění.\n\n"
         "Nastavení systému › Soukromí a zabezpečení › Zpřístupnění — zapněte Velora.\n"
         "Změna platí okamžitě. Pokud se ukazatel stále nehýbe, ukončete aplikaci a znovu ji "
         "otevřete."},
        {"mac_open_settings", "Otevřít Nastavení"},
        {"mac_later", "Později"},
    };
}

Texts linuxTexts_cs() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Ovládání vstupu není k dispozici — kliknutím zobrazíte nápovědu"},
        {"linux_ax_title", "Ovládání vstupu není k dispozici"},
        {"linux_ax_body",
         "Velora pohybuje ukazatelem a píše pomocí rozšíření X11 XTEST, které tato relace "
         "nenabízí.\n\n"
         "Odhlaste se, na přihlašovací obrazovce vyberte relaci X11 (Xorg) a spusťte Velora "
         "znovu.\n"
         "Párování a sledování obrazovky mezitím fungují dál."},
        {"linux_ax_help", "Otevřít nápovědu"},
        {"linux_ports_closed",
         "⚠\uFE0E Port TCP {tcp} a port UDP {udp} nelze otevřít — telefony se k tomuto PC "
         "nedostanou"},
        {"linux_control_closed",
         "⚠\uFE0E Port TCP {port} nelze otevřít — telefony se nemohou připojit"},
        {"linux_discovery_closed",
         "⚠\uFE0E Port UDP {port} nelze otevřít — telefony tento PC nenajdou"},
        {"settings_damaged_title", "Nastavení Velora bylo opraveno"},
        {"settings_damaged",
         "Soubor nastavení byl poškozený; kopie byla uložena jako {file}. Obnoveno na výchozí: "
         "{what}"},
        {"phone_menu", "Připojit telefon…"},
        {"phone_title", "Připojit telefon"},
        {"phone_howto",
         "Otevřete tuto adresu v prohlížeči telefonu, nebo naskenujte kód jeho fotoaparátem."},
        {"phone_named",
         "Tato adresa je název počítače: zůstane stejná i po restartu nebo změně sítě."},
        {"phone_numeric", "Toto je číselná adresa: může se změnit, až síť přidělí počítači novou."},
        {"phone_others", "Dostupné také na:"},
        {"phone_none",
         "Zatím žádná síťová adresa: připojte tento počítač ke stejné síti jako telefon."},
        {"log_discovery_port_failed", "Nelze otevřít port pro vyhledávání: {error}"},
        {"log_control_port_failed", "Nelze otevřít řídicí port: {error}"},
        {"log_outside_refused", "Připojení z vnější adresy odmítnuto: {ip}"},
        {"log_address_blocked", "{ip} chybný PIN {count}krát — blokováno do {until}"},
        {"log_pairing_paused",
         "{count} chybných PIN celkem (poslední {ip}) — nová párování čekají do {until}"},
        {"log_line_too_long", "{ip} příliš dlouhý řádek"},
        {"log_bad_greeting", "{ip} neplatný pozdrav"},
        {"log_greeted", "{name} ({ip}) se připojuje · aplikace {version}"},
        {"log_pairing_request", "{name} ({ip}) žádost o spárování — zobrazen PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) vypršel čas párování"},
        {"log_pin_wrong", "{name} ({ip}) chybný PIN"},
        {"log_connected", "{name} ({ip}) připojeno"},
        {"log_disconnected", "{name} odpojeno"},
        {"log_view_started",
         "{name} ({ip}) sledování obrazovky zahájeno · šířka {width} · kvalita {quality}"},
        {"log_view_ended", "{name} ({ip}) sledování obrazovky ukončeno"},
        {"log_view_denied",
         "{name} ({ip}) sledování obrazovky — chybí oprávnění k záznamu obrazovky"},
        {"linux_consent_warn",
         "⚠\uFE0E Ovládání vstupu zatím není povoleno — klikněte a budete požádáni znovu"},
        {"linux_consent_title", "Ovládání vstupu vyžaduje váš souhlas"},
        {"linux_consent_body",
         "Vaše pracovní prostředí se ve vlastním okně ptá, zda smí Velora ovládat ukazatel a "
         "klávesnici a sdílet obrazovku.\n\n"
         "Povolte to tam a zapněte zapamatování volby, abyste nebyli dotazováni při každém "
         "spuštění.\n"
         "Pokud bylo okno odmítnuto nebo zavřeno, zvolte Zeptat se znovu. Velora mezitím běží dál "
         "a telefony zůstávají spárované."},
        {"linux_consent_ask", "Zeptat se znovu"},
        {"linux_consent_console",
         "Ovládání vstupu vyžaduje váš souhlas: povolte ho v okně, které zobrazí vaše pracovní "
         "prostředí, a nechte volbu zapamatovat. Pokud bylo odmítnuto nebo zavřeno, napište "
         "consent a budete požádáni znovu."},
        {"linux_no_compositor",
         "Žádný kompozitor Waylandu neodpovídá: vstup nikam nedojde a obrazovku nelze zobrazit"},
        {"linux_no_screen_backend",
         "Toto prostředí Wayland nenabízí zachytávání obrazovky, které by Velora mohla použít: "
         "obrazovku nelze zobrazit"},
        {"linux_no_input_backend",
         "Toto prostředí Wayland nenabízí ovládání vstupu, které by Velora mohla použít: vstup "
         "nikam nedojde"},
        {"linux_no_backend",
         "Toto prostředí Wayland nenabízí ovládání vstupu ani zachytávání obrazovky, které by "
         "Velora mohla použít: vstup nikam nedojde a obrazovku nelze zobrazit"},
    };
}

}  // namespace velora::strings
