#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_it() {
    return {
        {"tray_none", "Nessun dispositivo connesso"},
        {"tray_connected", "Connessi: {n}"},
        {"tray_addr_pending", "Verifica dell'indirizzo…"},
        {"tray_addr", "Indirizzo di questo PC: {addr}"},
        {"tray_devices", "Dispositivi associati"},
        {"tray_power", "Consenti il controllo dell'alimentazione del PC"},
        {"tray_screen", "Consenti la visualizzazione dello schermo dal telefono"},
        {"tray_autostart", "Avvia con Windows"},
        {"tray_help", "Aiuto"},
        {"tray_quit", "Esci"},
        {"tip_idle", "Velora — in attesa"},
        {"tip_connected", "Velora — {n} connessi"},
        {"tip_viewing", "Velora — schermo visto da: {names}"},
        {"balloon_running_title", "Velora è in esecuzione"},
        {"balloon_running_body", "Ora il telefono può trovare questo PC ({addr})."},
        {"balloon_viewing", "{name} sta guardando questo schermo."},
        {"devices_none", "Ancora nessuno"},
        {"device_forget", "{name} ({ip}) — Disconnetti"},
        {"devices_forget_all", "Disconnetti tutti"},
        {"addr_unknown", "Non disponibile"},
        {"pin_title", "Richiesta di connessione a Velora"},
        {"pin_head", "{name} ({ip}) vuole connettersi."},
        {"pin_allow", "Consenti"},
        {"pin_or", "Oppure inserisci questo numero sul telefono"},
        {"pin_foot", "Se non riconosci questo dispositivo, chiudi questa finestra."},
        {"device_default", "Dispositivo"},
        {"mac_addr", "Indirizzo di questo Mac: {addr}"},
        {"mac_power", "Consenti il controllo dell'alimentazione del Mac"},
        {"mac_login", "Apri al login"},
        {"mac_viewing", "Schermo visto da: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Serve il permesso di accessibilità — fai clic per aprire le impostazioni"},
        {"mac_ax_title", "Permesso di accessibilità richiesto"},
        {"mac_ax_body",
         "Per permettere al telefono di muovere il mouse e usare la tastiera di questo Mac, attiva "
         "questo permesso.\n\n"
         "Impostazioni di Sistema › Privacy e sicurezza › Accessibilità — attiva Velora.\n"
         "La modifica ha effetto subito. Se il puntatore ancora non si muove, chiudi l'app e "
         "riaprila."},
        {"mac_open_settings", "Apri Impostazioni"},
        {"mac_later", "Più tardi"},
    };
}

Texts linuxTexts_it() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Controllo dell'input non disponibile — fai clic per l'aiuto"},
        {"linux_ax_title", "Controllo dell'input non disponibile"},
        {"linux_ax_body",
         "Velora muove il puntatore e digita tramite l'estensione XTEST di X11, che questa "
         "sessione non offre.\n\n"
         "Esci, scegli una sessione X11 (Xorg) nella schermata di accesso e avvia di nuovo "
         "Velora.\n"
         "Nel frattempo l'associazione e la visualizzazione dello schermo continuano a "
         "funzionare."},
        {"linux_ax_help", "Apri l'aiuto"},
        {"linux_ports_closed",
         "⚠\uFE0E Impossibile aprire la porta TCP {tcp} e la porta UDP {udp} — i telefoni non "
         "possono raggiungere questo PC"},
        {"linux_control_closed",
         "⚠\uFE0E Impossibile aprire la porta TCP {port} — i telefoni non possono connettersi"},
        {"linux_discovery_closed",
         "⚠\uFE0E Impossibile aprire la porta UDP {port} — i telefoni non possono trovare questo "
         "PC"},
        {"settings_damaged_title", "Impostazioni di Velora riparate"},
        {"settings_damaged",
         "Il file delle impostazioni era danneggiato; una copia è stata conservata come {file}. "
         "Ripristinato: {what}"},
        {"phone_menu", "Collega un telefono…"},
        {"phone_title", "Collega un telefono"},
        {"phone_howto",
         "Apri questo indirizzo nel browser del telefono oppure scansiona il codice con la sua "
         "fotocamera."},
        {"phone_named",
         "Questo indirizzo è il nome del computer: resta uguale dopo un riavvio o un cambio di "
         "rete."},
        {"phone_numeric",
         "Questo è un indirizzo numerico: può cambiare quando la rete assegna al computer un "
         "indirizzo nuovo."},
        {"phone_others", "Raggiungibile anche a:"},
        {"phone_none",
         "Nessun indirizzo di rete per ora: collega questo computer alla stessa rete del "
         "telefono."},
        {"log_discovery_port_failed", "Impossibile aprire la porta di rilevamento: {error}"},
        {"log_control_port_failed", "Impossibile aprire la porta di controllo: {error}"},
        {"log_outside_refused", "Connessione rifiutata da un indirizzo esterno: {ip}"},
        {"log_address_blocked", "{ip} PIN errato {count} volte — bloccato fino alle {until}"},
        {"log_pairing_paused",
         "{count} PIN errati in totale (ultimo {ip}) — nuovi abbinamenti sospesi fino alle "
         "{until}"},
        {"log_line_too_long", "{ip} riga troppo lunga"},
        {"log_bad_greeting", "{ip} saluto non valido"},
        {"log_greeted", "{name} ({ip}) in connessione · app {version}"},
        {"log_pairing_request", "{name} ({ip}) richiesta di abbinamento — PIN {pin} mostrato"},
        {"log_pairing_timeout", "{name} ({ip}) abbinamento scaduto"},
        {"log_pin_wrong", "{name} ({ip}) PIN errato"},
        {"log_connected", "{name} ({ip}) connesso"},
        {"log_disconnected", "{name} disconnesso"},
        {"log_view_started",
         "{name} ({ip}) visualizzazione schermo avviata · larghezza {width} · qualità {quality}"},
        {"log_view_ended", "{name} ({ip}) visualizzazione schermo terminata"},
        {"log_view_denied",
         "{name} ({ip}) visualizzazione schermo — nessun permesso di registrazione dello schermo"},
        {"linux_consent_warn",
         "⚠\uFE0E Controllo dell'input non ancora consentito — fai clic per ricevere di nuovo la "
         "richiesta"},
        {"linux_consent_title", "Il controllo dell'input richiede il tuo consenso"},
        {"linux_consent_body",
         "Il tuo desktop chiede in una finestra propria se Velora può controllare il puntatore e "
         "la tastiera e condividere lo schermo.\n\n"
         "Consentilo lì e attiva la memorizzazione della scelta, così non ti verrà chiesto a ogni "
         "avvio.\n"
         "Se la finestra è stata rifiutata o chiusa, scegli Chiedi di nuovo. Nel frattempo Velora "
         "continua a funzionare e i telefoni restano associati."},
        {"linux_consent_ask", "Chiedi di nuovo"},
        {"linux_consent_console",
         "Il controllo dell'input richiede il tuo consenso: consentilo nella finestra mostrata dal "
         "desktop e lascia che ricordi la scelta. Se è stato rifiutato o la finestra è stata "
         "chiusa, digita consent per ricevere di nuovo la richiesta."},
        {"linux_no_compositor",
         "Nessun compositor Wayland risponde: l'input non arriva da nessuna parte e lo schermo non "
         "può essere mostrato"},
        {"linux_no_screen_backend",
         "Questo desktop Wayland non offre alcuna cattura dello schermo utilizzabile da Velora: lo "
         "schermo non può essere mostrato"},
        {"linux_no_input_backend",
         "Questo desktop Wayland non offre alcun controllo dell'input utilizzabile da Velora: "
         "l'input non arriva da nessuna parte"},
        {"linux_no_backend",
         "Questo desktop Wayland non offre né controllo dell'input né cattura dello schermo "
         "utilizzabili da Velora: l'input non arriva da nessuna parte e lo schermo non può essere "
         "mostrato"},
    };
}

}  // namespace velora::strings
