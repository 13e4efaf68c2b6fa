#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_de() {
    return {
        {"tray_none", "Kein Gerät verbunden"},
        {"tray_connected", "Verbunden: {n}"},
        {"tray_addr_pending", "Adresse wird ermittelt…"},
        {"tray_addr", "Adresse dieses PCs: {addr}"},
        {"tray_devices", "Gekoppelte Geräte"},
        {"tray_power", "Energiesteuerung des PCs erlauben"},
        {"tray_screen", "Bildschirmansicht vom Telefon erlauben"},
        {"tray_autostart", "Mit Windows starten"},
        {"tray_help", "Hilfe"},
        {"tray_quit", "Beenden"},
        {"tip_idle", "Velora — wartet"},
        {"tip_connected", "Velora — {n} verbunden"},
        {"tip_viewing", "Velora — Bildschirm angesehen von: {names}"},
        {"balloon_running_title", "Velora läuft"},
        {"balloon_running_body", "Ihr Telefon kann diesen PC jetzt finden ({addr})."},
        {"balloon_viewing", "{name} sieht sich diesen Bildschirm an."},
        {"devices_none", "Noch keine"},
        {"device_forget", "{name} ({ip}) — Trennen"},
        {"devices_forget_all", "Alle trennen"},
        {"addr_unknown", "Nicht verfügbar"},
        {"pin_title", "Velora-Verbindungsanfrage"},
        {"pin_head", "{name} ({ip}) möchte sich verbinden."},
        {"pin_allow", "Erlauben"},
        {"pin_or", "Oder geben Sie diese Zahl auf Ihrem Telefon ein"},
        {"pin_foot", "Wenn Sie dieses Gerät nicht kennen, schließen Sie dieses Fenster."},
        {"device_default", "Gerät"},
        {"mac_addr", "Adresse dieses Macs: {addr}"},
        {"mac_power", "Energiesteuerung des Macs erlauben"},
        {"mac_login", "Beim Anmelden öffnen"},
        {"mac_viewing", "Bildschirm wird angesehen von: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Berechtigung für Bedienungshilfen nötig — klicken, um die Einstellungen zu "
         "öffnen"},
        {"mac_ax_title", "Berechtigung für Bedienungshilfen erforderlich"},
        {"mac_ax_body",
         "Damit Ihr Telefon Maus und Tastatur dieses Macs steuern kann, schalten Sie diese "
         "Berechtigung ein.\n\n"
         "Systemeinstellungen › Datenschutz & Sicherheit › Bedienungshilfen — Velora einschalten.\n"
         "Die Änderung wirkt sofort. Bewegt sich der Zeiger trotzdem nicht, beenden Sie die App "
         "und öffnen Sie sie erneut."},
        {"mac_open_settings", "Einstellungen öffnen"},
        {"mac_later", "Später"},
    };
}

Texts linuxTexts_de() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Eingabesteuerung nicht verfügbar — für Hilfe klicken"},
        {"linux_ax_title", "Eingabesteuerung nicht verfügbar"},
        {"linux_ax_body",
         "Velora bewegt den Zeiger und tippt über die X11-Erweiterung XTEST, die diese Sitzung "
         "nicht anbietet.\n\n"
         "Melden Sie sich ab, wählen Sie auf dem Anmeldebildschirm eine X11-Sitzung (Xorg) und "
         "starten Sie Velora erneut.\n"
         "Koppeln und Bildschirmansicht funktionieren in der Zwischenzeit weiter."},
        {"linux_ax_help", "Hilfe öffnen"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP-Port {tcp} und UDP-Port {udp} konnten nicht geöffnet werden — Telefone "
         "erreichen diesen PC nicht"},
        {"linux_control_closed",
         "⚠\uFE0E TCP-Port {port} konnte nicht geöffnet werden — Telefone können sich nicht "
         "verbinden"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP-Port {port} konnte nicht geöffnet werden — Telefone finden diesen PC nicht"},
        {"settings_damaged_title", "Velora-Einstellungen repariert"},
        {"settings_damaged",
         "Die Einstellungsdatei war beschädigt; eine Kopie wurde als {file} aufbewahrt. "
         "Zurückgesetzt: {what}"},
        {"phone_menu", "Telefon verbinden…"},
        {"phone_title", "Telefon verbinden"},
        {"phone_howto",
         "Öffnen Sie diese Adresse im Browser Ihres Telefons oder scannen Sie den Code mit dessen "
         "Kamera."},
        {"phone_named",
         "Diese Adresse ist der Name des Computers: Sie bleibt nach einem Neustart oder "
         "Netzwerkwechsel gleich."},
        {"phone_numeric",
         "Dies ist eine numerische Adresse: Sie kann sich ändern, wenn das Netzwerk dem Computer "
         "eine neue zuweist."},
        {"phone_others", "Auch erreichbar unter:"},
        {"phone_none",
         "Noch keine Netzwerkadresse: Verbinden Sie diesen Computer mit demselben Netzwerk wie Ihr "
         "Telefon."},
        {"log_discovery_port_failed", "Suchport konnte nicht geöffnet werden: {error}"},
        {"log_control_port_failed", "Steuerport konnte nicht geöffnet werden: {error}"},
        {"log_outside_refused", "Verbindung von externer Adresse abgelehnt: {ip}"},
        {"log_address_blocked", "{ip} PIN {count}-mal falsch — gesperrt bis {until}"},
        {"log_pairing_paused",
         "{count} falsche PINs insgesamt (zuletzt {ip}) — neue Kopplungen warten bis {until}"},
        {"log_line_too_long", "{ip} Zeile zu lang"},
        {"log_bad_greeting", "{ip} ungültige Begrüßung"},
        {"log_greeted", "{name} ({ip}) verbindet · App {version}"},
        {"log_pairing_request", "{name} ({ip}) Kopplungsanfrage — PIN {pin} angezeigt"},
        {"log_pairing_timeout", "{name} ({ip}) Kopplung abgelaufen"},
        {"log_pin_wrong", "{name} ({ip}) falsche PIN"},
        {"log_connected", "{name} ({ip}) verbunden"},
        {"log_disconnected", "{name} getrennt"},
        {"log_view_started",
         "{name} ({ip}) Bildschirmansicht gestartet · Breite {width} · Qualität {quality}"},
        {"log_view_ended", "{name} ({ip}) Bildschirmansicht beendet"},
        {"log_view_denied",
         "{name} ({ip}) Bildschirmansicht — keine Berechtigung zur Bildschirmaufnahme"},
        {"linux_consent_warn",
         "⚠\uFE0E Eingabesteuerung noch nicht erlaubt — klicken, um erneut gefragt zu werden"},
        {"linux_consent_title", "Eingabesteuerung braucht Ihre Zustimmung"},
        {"linux_consent_body",
         "Ihre Arbeitsumgebung fragt in einem eigenen Fenster, ob Velora Zeiger und Tastatur "
         "steuern und den Bildschirm freigeben darf.\n\n"
         "Erlauben Sie es dort und schalten Sie das Merken der Auswahl ein, damit Sie nicht bei "
         "jedem Start gefragt werden.\n"
         "Wurde das Fenster abgelehnt oder geschlossen, wählen Sie „Erneut fragen“. Velora läuft "
         "währenddessen weiter, und die Telefone bleiben gekoppelt."},
        {"linux_consent_ask", "Erneut fragen"},
        {"linux_consent_console",
         "Eingabesteuerung braucht Ihre Zustimmung: Erlauben Sie sie in dem Fenster, das Ihre "
         "Arbeitsumgebung zeigt, und lassen Sie die Auswahl merken. Wurde sie abgelehnt oder das "
         "Fenster geschlossen, geben Sie consent ein, um erneut gefragt zu werden."},
        {"linux_no_compositor",
         "Kein Wayland-Compositor antwortet: Eingaben gehen ins Leere und der Bildschirm kann "
         "nicht gezeigt werden"},
        {"linux_no_screen_backend",
         "Diese Wayland-Arbeitsumgebung bietet keine Bildschirmaufnahme, die Velora nutzen kann: "
         "Der Bildschirm kann nicht gezeigt werden"},
        {"linux_no_input_backend",
         "Diese Wayland-Arbeitsumgebung bietet keine Eingabesteuerung, die Velora nutzen kann: "
         "Eingaben gehen ins Leere"},
        {"linux_no_backend",
         "Diese Wayland-Arbeitsumgebung bietet weder Eingabesteuerung noch Bildschirmaufnahme, die "
         "Velora nutzen kann: Eingaben gehen ins Leere und der Bildschirm kann nicht gezeigt "
         "werden"},
    };
}

}  // namespace velora::strings
