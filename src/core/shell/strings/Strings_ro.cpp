// Romanian texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_ro() {
    return {
        {"tray_none", "Niciun dispozitiv conectat"},
        {"tray_connected", "Conectate: {n}"},
        {"tray_addr_pending", "Se verifică adresa…"},
        {"tray_addr", "Adresa acestui PC: {addr}"},
        {"tray_devices", "Dispozitive asociate"},
        {"tray_power", "Permite controlul alimentării PC-ului"},
        {"tray_screen", "Permite vizualizarea ecranului de pe telefon"},
        {"tray_autostart", "Pornește odată cu Windows"},
        {"tray_help", "Ajutor"},
        {"tray_quit", "Ieșire"},
        {"tip_idle", "Velora — în așteptare"},
        {"tip_connected", "Velora — conectate: {n}"},
        {"tip_viewing", "Velora — ecran vizualizat de: {names}"},
        {"balloon_running_title", "Velora rulează"},
        {"balloon_running_body", "Telefonul tău poate găsi acum acest PC ({addr})."},
        {"balloon_viewing", "{name} vizualizează acest ecran."},
        {"devices_none", "Niciunul încă"},
        {"device_forget", "{name} ({ip}) — Deconectează"},
        {"devices_forget_all", "Deconectează toate"},
        {"addr_unknown", "Indisponibilă"},
        {"pin_title", "Cerere de conectare Velora"},
        {"pin_head", "{name} ({ip}) vrea să se conecteze."},
        {"pin_allow", "Permite"},
        {"pin_or", "Sau introdu acest număr pe telefon"},
        {"pin_foot", "Dacă nu recunoști acest dispozitiv, închide această fereastră."},
        {"device_default", "Dispozitiv"},
        {"mac_addr", "Adresa acestui Mac: {addr}"},
        {"mac_power", "Permite controlul alimentării Mac-ului"},
        {"mac_login", "Deschide la autentificare"},
        {"mac_viewing", "Vizualizează ecranul: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Este necesară permisiunea de accesibilitate — fă clic pentru a deschide "
         "configurările"},
        {"mac_ax_title", "Permisiune de accesibilitate necesară"},
        {"mac_ax_body",
         "Pentru ca telefonul tău să poată controla mouse-ul și tastatura acestui Mac, activează "
         "această permisiune.\n\n"
         "Configurări sistem › Confidențialitate și securitate › Accesibilitate — activează "
         "Velora.\n"
         "Modificarea are efect imediat. Dacă indicatorul tot nu se mișcă, închide aplicația și "
         "deschide-o din nou."},
        {"mac_open_settings", "Deschide Configurările"},
        {"mac_later", "Mai târziu"},
    };
}

Texts linuxTexts_ro() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Controlul intrărilor nu este disponibil — fă clic pentru ajutor"},
        {"linux_ax_title", "Controlul intrărilor nu este disponibil"},
        {"linux_ax_body",
         "Velora mișcă indicatorul și tastează prin extensia X11 XTEST, pe care această sesiune nu "
         "o oferă.\n\n"
         "Deconectează-te, alege o sesiune X11 (Xorg) pe ecranul de autentificare și pornește din "
         "nou Velora.\n"
         "Între timp, asocierea și vizualizarea ecranului funcționează în continuare."},
        {"linux_ax_help", "Deschide Ajutorul"},
        {"linux_ports_closed",
         "⚠\uFE0E Portul TCP {tcp} și portul UDP {udp} nu au putut fi deschise — telefoanele nu "
         "pot ajunge la acest PC"},
        {"linux_control_closed",
         "⚠\uFE0E Portul TCP {port} nu a putut fi deschis — telefoanele nu se pot conecta"},
        {"linux_discovery_closed",
         "⚠\uFE0E Portul UDP {port} nu a putut fi deschis — telefoanele nu pot găsi acest PC"},
        {"settings_damaged_title", "Setările Velora au fost reparate"},
        {"settings_damaged",
         "Fișierul de setări era deteriorat; o copie a fost păstrată ca {file}. Resetat: {what}"},
        {"phone_menu", "Conectează un telefon…"},
        {"phone_title", "Conectează un telefon"},
        {"phone_howto",
         "Deschide această adresă în browserul telefonului sau scanează codul cu camera lui."},
        {"phone_named",
         "Această adresă este numele computerului: rămâne aceeași după o repornire sau o schimbare "
         "de rețea."},
        {"phone_numeric",
         "Aceasta este o adresă numerică: se poate schimba când rețeaua îi atribuie computerului "
         "una nouă."},
        {"phone_others", "Accesibil și la:"},
        {"phone_none",
         "Încă nu există o adresă de rețea: conectează acest computer la aceeași rețea ca "
         "telefonul."},
        {"log_discovery_port_failed", "Nu s-a putut deschide portul de descoperire: {error}"},
        {"log_control_port_failed", "Nu s-a putut deschide portul de control: {error}"},
        {"log_outside_refused", "Conexiune refuzată de la o adresă externă: {ip}"},
        {"log_address_blocked", "{ip} PIN greșit de {count} ori — blocat până la {until}"},
        {"log_pairing_paused",
         "{count} PIN-uri greșite în total (ultimul {ip}) — asocierile noi așteaptă până la "
         "{until}"},
        {"log_line_too_long", "{ip} linie prea lungă"},
        {"log_bad_greeting", "{ip} salut nevalid"},
        {"log_greeted", "{name} ({ip}) se conectează · aplicația {version}"},
        {"log_pairing_request", "{name} ({ip}) cerere de asociere — PIN {pin} afișat"},
        {"log_pairing_timeout", "{name} ({ip}) timpul de asociere a expirat"},
        {"log_pin_wrong", "{name} ({ip}) PIN greșit"},
        {"log_connected", "{name} ({ip}) conectat"},
        {"log_disconnected", "{name} deconectat"},
        {"log_view_started",
         "{name} ({ip}) vizualizarea ecranului a început · lățime {width} · calitate {quality}"},
        {"log_view_ended", "{name} ({ip}) vizualizarea ecranului s-a încheiat"},
        {"log_view_denied",
         "{name} ({ip}) vizualizarea ecranului — fără permisiunea de înregistrare a ecranului"},
        {"linux_consent_warn",
         "⚠\uFE0E Controlul intrărilor nu este permis încă — dă clic pentru a fi întrebat din nou"},
        {"linux_consent_title", "Controlul intrărilor are nevoie de acordul tău"},
        {"linux_consent_body",
         "Desktopul tău întreabă, într-o fereastră proprie, dacă Velora poate controla indicatorul "
         "și tastatura și poate partaja ecranul.\n\n"
         "Permite acolo și activează memorarea alegerii, ca să nu fii întrebat la fiecare "
         "pornire.\n"
         "Dacă fereastra a fost refuzată sau închisă, alege Întreabă din nou. Între timp, Velora "
         "continuă să ruleze, iar telefoanele rămân asociate."},
        {"linux_consent_ask", "Întreabă din nou"},
        {"linux_consent_console",
         "Controlul intrărilor are nevoie de acordul tău: permite-l în fereastra afișată de "
         "desktop și lasă-l să memoreze alegerea. Dacă a fost refuzat sau închis, tastează consent "
         "pentru a fi întrebat din nou."},
        {"linux_no_compositor",
         "Niciun compozitor Wayland nu răspunde: intrările nu ajung nicăieri, iar ecranul nu poate "
         "fi afișat"},
        {"linux_no_screen_backend",
         "Acest desktop Wayland nu oferă nicio captură de ecran pe care Velora o poate folosi: "
         "ecranul nu poate fi afișat"},
        {"linux_no_input_backend",
         "Acest desktop Wayland nu oferă niciun control al intrărilor pe care Velora îl poate "
         "folosi: intrările nu ajung nicăieri"},
        {"linux_no_backend",
         "Acest desktop Wayland nu oferă nici control al intrărilor, nici captură de ecran pe care "
         "Velora să le poată folosi: intrările nu ajung nicăieri, iar ecranul nu poate fi afișat"},
    };
}

}  // namespace velora::strings
