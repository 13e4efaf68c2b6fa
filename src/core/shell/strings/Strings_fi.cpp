#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_fi() {
    return {
        {"tray_none", "Ei yhdistettyjä laitteita"},
        {"tray_connected", "Yhdistetty: {n}"},
        {"tray_addr_pending", "Tarkistetaan osoitetta…"},
        {"tray_addr", "Tämän PC:n osoite: {addr}"},
        {"tray_devices", "Pariliitetyt laitteet"},
        {"tray_power", "Salli PC:n virranhallinta"},
        {"tray_screen", "Salli näytön katselu puhelimesta"},
        {"tray_autostart", "Käynnistä Windowsin kanssa"},
        {"tray_help", "Ohje"},
        {"tray_quit", "Lopeta"},
        {"tip_idle", "Velora — odottaa"},
        {"tip_connected", "Velora — {n} yhdistetty"},
        {"tip_viewing", "Velora — näyttöä katselee: {names}"},
        {"balloon_running_title", "Velora on käynnissä"},
        {"balloon_running_body", "Puhelimesi löytää nyt tämän PC:n ({addr})."},
        {"balloon_viewing", "{name} katselee tätä näyttöä."},
        {"devices_none", "Ei vielä yhtään"},
        {"device_forget", "{name} ({ip}) — Katkaise yhteys"},
        {"devices_forget_all", "Katkaise kaikki"},
        {"addr_unknown", "Ei saatavilla"},
        {"pin_title", "Velora-yhteyspyyntö"},
        {"pin_head", "{name} ({ip}) haluaa muodostaa yhteyden."},
        {"pin_allow", "Salli"},
        {"pin_or", "Tai syötä tämä numero puhelimeesi"},
        {"pin_foot", "Jos et tunnista tätä laitetta, sulje tämä ikkuna."},
        {"device_default", "Laite"},
        {"mac_addr", "Tämän Macin osoite: {addr}"},
        {"mac_power", "Salli Macin virranhallinta"},
        {"mac_login", "Avaa kirjauduttaessa"},
        {"mac_viewing", "Näyttöä katselee: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Käyttöapulupa tarvitaan — avaa asetukset napsauttamalla"},
        {"mac_ax_title", "Käyttöapulupa vaaditaan"},
        {"mac_ax_body",
         "Jotta puhelimesi voi ohjata tämän Macin hiirtä ja näppäimistöä, laita tämä lupa "
         "päälle.\n\n"
         "Järjestelmäasetukset › Tietosuoja ja turvallisuus › Käyttöapu — laita Velora päälle.\n"
         "Muutos tulee voimaan heti. Jos osoitin ei vieläkään liiku, lopeta appi ja avaa se "
         "uudelleen."},
        {"mac_open_settings", "Avaa asetukset"},
        {"mac_later", "Myöhemmin"},
    };
}

Texts linuxTexts_fi() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Syötteen ohjaus ei ole käytettävissä — napsauta saadaksesi ohjeita"},
        {"linux_ax_title", "Syötteen ohjaus ei ole käytettävissä"},
        {"linux_ax_body",
         "Velora liikuttaa osoitinta ja kirjoittaa X11:n XTEST-laajennuksen avulla, jota tämä "
         "istunto ei tarjoa.\n\n"
         "Kirjaudu ulos, valitse kirjautumisnäytössä X11-istunto (Xorg) ja käynnistä Velora "
         "uudelleen.\n"
         "Pariliitos ja näytön katselu toimivat sillä välin normaalisti."},
        {"linux_ax_help", "Avaa ohje"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP-porttia {tcp} ja UDP-porttia {udp} ei voitu avata — puhelimet eivät tavoita "
         "tätä PC:tä"},
        {"linux_control_closed",
         "⚠\uFE0E TCP-porttia {port} ei voitu avata — puhelimet eivät voi muodostaa yhteyttä"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP-porttia {port} ei voitu avata — puhelimet eivät löydä tätä PC:tä"},
        {"settings_damaged_title", "Velora-asetukset korjattu"},
        {"settings_damaged",
         "Asetustiedosto oli vioittunut; kopio säilytettiin nimellä {file}. Palautettu oletukseen: "
         "{what}"},
        {"phone_menu", "Yhdistä puhelin…"},
        {"phone_title", "Yhdistä puhelin"},
        {"phone_howto", "Avaa tämä osoite puhelimen selaimessa tai skannaa koodi sen kameralla."},
        {"phone_named",
         "Tämä osoite on tietokoneen nimi: se pysyy samana uudelleenkäynnistyksen tai verkon "
         "vaihtumisen jälkeen."},
        {"phone_numeric",
         "Tämä on numeerinen osoite: se voi muuttua, kun verkko antaa tietokoneelle uuden."},
        {"phone_others", "Tavoitettavissa myös osoitteissa:"},
        {"phone_none",
         "Ei vielä verkko-osoitetta: yhdistä tämä tietokone samaan verkkoon kuin puhelimesi."},
        {"log_discovery_port_failed", "Hakuporttia ei voitu avata: {error}"},
        {"log_control_port_failed", "Ohjausporttia ei voitu avata: {error}"},
        {"log_outside_refused", "Yhteys ulkoisesta osoitteesta hylätty: {ip}"},
        {"log_address_blocked", "{ip} väärä PIN {count} kertaa — estetty klo {until} asti"},
        {"log_pairing_paused",
         "{count} väärää PIN-koodia yhteensä (viimeisin {ip}) — uudet pariliitokset odottavat klo "
         "{until} asti"},
        {"log_line_too_long", "{ip} liian pitkä rivi"},
        {"log_bad_greeting", "{ip} virheellinen tervehdys"},
        {"log_greeted", "{name} ({ip}) yhdistää · sovellus {version}"},
        {"log_pairing_request", "{name} ({ip}) pariliitospyyntö — PIN {pin} näytetty"},
        {"log_pairing_timeout", "{name} ({ip}) pariliitos aikakatkaistiin"},
        {"log_pin_wrong", "{name} ({ip}) väärä PIN"},
        {"log_connected", "{name} ({ip}) yhdistetty"},
        {"log_disconnected", "{name} yhteys katkaistu"},
        {"log_view_started",
         "{name} ({ip}) näytön katselu alkoi · leveys {width} · laatu {quality}"},
        {"log_view_ended", "{name} ({ip}) näytön katselu päättyi"},
        {"log_view_denied", "{name} ({ip}) näytön katselu — ei näytön tallennuslupaa"},
        {"linux_consent_warn",
         "⚠\uFE0E Syötteen ohjausta ei ole vielä sallittu — napsauta, niin sinulta kysytään "
         "uudelleen"},
        {"linux_consent_title", "Syötteen ohjaus tarvitsee suostumuksesi"},
        {"linux_consent_body",
         "Työpöytäsi kysyy omassa ikkunassaan, saako Velora ohjata osoitinta ja näppäimistöä sekä "
         "jakaa näytön.\n\n"
         "Salli se siellä ja ota valinnan muistaminen käyttöön, jotta sinulta ei kysytä jokaisella "
         "käynnistyskerralla.\n"
         "Jos ikkuna hylättiin tai suljettiin, valitse Kysy uudelleen. Velora toimii sillä välin "
         "edelleen, ja puhelimet pysyvät pariliitettyinä."},
        {"linux_consent_ask", "Kysy uudelleen"},
        {"linux_consent_console",
         "Syötteen ohjaus tarvitsee suostumuksesi: salli se ikkunassa, jonka työpöytäsi näyttää, "
         "ja anna sen muistaa valinta. Jos se hylättiin tai suljettiin, kirjoita consent, niin "
         "sinulta kysytään uudelleen."},
        {"linux_no_compositor",
         "Mikään Wayland-koostaja ei vastaa: syöte ei mene minnekään eikä näyttöä voi näyttää"},
        {"linux_no_screen_backend",
         "Tämä Wayland-työpöytä ei tarjoa näytönkaappausta, jota Velora voisi käyttää: näyttöä ei "
         "voi näyttää"},
        {"linux_no_input_backend",
         "Tämä Wayland-työpöytä ei tarjoa syötteen ohjausta, jota Velora voisi käyttää: syöte ei "
         "mene minnekään"},
        {"linux_no_backend",
         "Tämä Wayland-työpöytä ei tarjoa syötteen ohjausta eikä näytönkaappausta, jota Velora "
         "voisi käyttää: syöte ei mene minnekään eikä näyttöä voi näyttää"},
    };
}

}  // namespace velora::strings
