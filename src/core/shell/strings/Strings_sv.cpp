// Swedish texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_sv() {
    return {
        {"tray_none", "Ingen enhet ansluten"},
        {"tray_connected", "Anslutna: {n}"},
        {"tray_addr_pending", "Kontrollerar adressen…"},
        {"tray_addr", "Den här PC:ns adress: {addr}"},
        {"tray_devices", "Parkopplade enheter"},
        {"tray_power", "Tillåt strömstyrning av PC:n"},
        {"tray_screen", "Tillåt skärmvisning från telefonen"},
        {"tray_autostart", "Starta med Windows"},
        {"tray_help", "Hjälp"},
        {"tray_quit", "Avsluta"},
        {"tip_idle", "Velora — väntar"},
        {"tip_connected", "Velora — anslutna: {n}"},
        {"tip_viewing", "Velora — skärmen visas för: {names}"},
        {"balloon_running_title", "Velora körs"},
        {"balloon_running_body", "Telefonen kan nu hitta den här PC:n ({addr})."},
        {"balloon_viewing", "{name} tittar på den här skärmen."},
        {"devices_none", "Inga ännu"},
        {"device_forget", "{name} ({ip}) — Koppla från"},
        {"devices_forget_all", "Koppla från alla"},
        {"addr_unknown", "Inte tillgänglig"},
        {"pin_title", "Anslutningsbegäran till Velora"},
        {"pin_head", "{name} ({ip}) vill ansluta."},
        {"pin_allow", "Tillåt"},
        {"pin_or", "Eller ange det här numret på telefonen"},
        {"pin_foot", "Om du inte känner igen den här enheten stänger du det här fönstret."},
        {"device_default", "Enhet"},
        {"mac_addr", "Den här Macens adress: {addr}"},
        {"mac_power", "Tillåt strömstyrning av Macen"},
        {"mac_login", "Öppna vid inloggning"},
        {"mac_viewing", "Tittar på skärmen: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Behörighet för hjälpmedel krävs — klicka för att öppna inställningarna"},
        {"mac_ax_title", "Behörighet för hjälpmedel krävs"},
        {"mac_ax_body",
         "Slå på den här behörigheten så att telefonen kan styra musen och tangentbordet på den "
         "här Macen.\n\n"
         "Systeminställningar › Integritet och säkerhet › Hjälpmedel — slå på Velora.\n"
         "Det börjar gälla direkt. Om pekaren fortfarande inte rör sig avslutar du appen och "
         "öppnar den igen."},
        {"mac_open_settings", "Öppna Inställningar"},
        {"mac_later", "Senare"},
    };
}

Texts linuxTexts_sv() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Inmatningsstyrning är inte tillgänglig — klicka för hjälp"},
        {"linux_ax_title", "Inmatningsstyrning är inte tillgänglig"},
        {"linux_ax_body",
         "Velora flyttar pekaren och skriver via X11-tillägget XTEST, som den här sessionen inte "
         "erbjuder.\n\n"
         "Logga ut, välj en X11-session (Xorg) på inloggningsskärmen och starta Velora igen.\n"
         "Parkoppling och skärmvisning fungerar som vanligt under tiden."},
        {"linux_ax_help", "Öppna hjälpen"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP-port {tcp} och UDP-port {udp} kunde inte öppnas — telefoner når inte den här "
         "PC:n"},
        {"linux_control_closed",
         "⚠\uFE0E TCP-port {port} kunde inte öppnas — telefoner kan inte ansluta"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP-port {port} kunde inte öppnas — telefoner hittar inte den här PC:n"},
        {"settings_damaged_title", "Velora-inställningarna har reparerats"},
        {"settings_damaged",
         "Inställningsfilen var skadad; en kopia sparades som {file}. Återställt: {what}"},
        {"phone_menu", "Anslut en telefon…"},
        {"phone_title", "Anslut en telefon"},
        {"phone_howto",
         "Öppna den här adressen i telefonens webbläsare, eller skanna koden med dess kamera."},
        {"phone_named",
         "Den här adressen är datorns namn: den förblir densamma efter en omstart eller ett "
         "nätverksbyte."},
        {"phone_numeric",
         "Det här är en numerisk adress: den kan ändras när nätverket ger datorn en ny."},
        {"phone_others", "Nås även på:"},
        {"phone_none",
         "Ingen nätverksadress ännu: anslut den här datorn till samma nätverk som telefonen."},
        {"log_discovery_port_failed", "Kunde inte öppna sökporten: {error}"},
        {"log_control_port_failed", "Kunde inte öppna kontrollporten: {error}"},
        {"log_outside_refused", "Anslutning från extern adress nekad: {ip}"},
        {"log_address_blocked", "{ip} fel PIN {count} gånger — spärrad till {until}"},
        {"log_pairing_paused",
         "{count} felaktiga PIN-koder totalt (senast {ip}) — nya parkopplingar väntar till "
         "{until}"},
        {"log_line_too_long", "{ip} raden är för lång"},
        {"log_bad_greeting", "{ip} ogiltig hälsning"},
        {"log_greeted", "{name} ({ip}) ansluter · app {version}"},
        {"log_pairing_request", "{name} ({ip}) begäran om parkoppling — PIN {pin} visas"},
        {"log_pairing_timeout", "{name} ({ip}) parkopplingen tog för lång tid"},
        {"log_pin_wrong", "{name} ({ip}) fel PIN"},
        {"log_connected", "{name} ({ip}) ansluten"},
        {"log_disconnected", "{name} frånkopplad"},
        {"log_view_started",
         "{name} ({ip}) skärmvisning startad · bredd {width} · kvalitet {quality}"},
        {"log_view_ended", "{name} ({ip}) skärmvisning avslutad"},
        {"log_view_denied", "{name} ({ip}) skärmvisning — ingen behörighet för skärminspelning"},
        {"linux_consent_warn",
         "⚠\uFE0E Inmatningsstyrning är inte tillåten än — klicka för att bli tillfrågad igen"},
        {"linux_consent_title", "Inmatningsstyrning kräver ditt samtycke"},
        {"linux_consent_body",
         "Skrivbordet frågar i ett eget fönster om Velora får styra pekaren och tangentbordet och "
         "dela skärmen.\n\n"
         "Tillåt det där och slå på att valet ska kommas ihåg, så att du inte tillfrågas vid varje "
         "start.\n"
         "Om fönstret nekades eller stängdes väljer du Fråga igen. Velora fortsätter köra under "
         "tiden och telefonerna förblir parkopplade."},
        {"linux_consent_ask", "Fråga igen"},
        {"linux_consent_console",
         "Inmatningsstyrning kräver ditt samtycke: tillåt det i fönstret som skrivbordet visar och "
         "låt valet kommas ihåg. Om det nekades eller stängdes skriver du consent för att bli "
         "tillfrågad igen."},
        {"linux_no_compositor",
         "Ingen Wayland-kompositor svarar: inmatningen når ingenstans och skärmen kan inte visas"},
        {"linux_no_screen_backend",
         "Det här Wayland-skrivbordet erbjuder ingen skärminspelning som Velora kan använda: "
         "skärmen kan inte visas"},
        {"linux_no_input_backend",
         "Det här Wayland-skrivbordet erbjuder ingen inmatningsstyrning som Velora kan använda: "
         "inmatningen når ingenstans"},
        {"linux_no_backend",
         "Det här Wayland-skrivbordet erbjuder varken inmatningsstyrning eller skärminspelning som "
         "Velora kan använda: inmatningen når ingenstans och skärmen kan inte visas"},
    };
}

}  // namespace velora::strings
