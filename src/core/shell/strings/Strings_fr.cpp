#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_fr() {
    return {
        {"tray_none", "Aucun appareil connecté"},
        {"tray_connected", "Connectés : {n}"},
        {"tray_addr_pending", "Vérification de l'adresse…"},
        {"tray_addr", "Adresse de ce PC : {addr}"},
        {"tray_devices", "Appareils associés"},
        {"tray_power", "Autoriser le contrôle de l'alimentation du PC"},
        {"tray_screen", "Autoriser l'affichage de l'écran sur le téléphone"},
        {"tray_autostart", "Démarrer avec Windows"},
        {"tray_help", "Aide"},
        {"tray_quit", "Quitter"},
        {"tip_idle", "Velora — en attente"},
        {"tip_connected", "Velora — {n} connecté(s)"},
        {"tip_viewing", "Velora — écran regardé par : {names}"},
        {"balloon_running_title", "Velora est en cours d'exécution"},
        {"balloon_running_body", "Votre téléphone peut maintenant trouver ce PC ({addr})."},
        {"balloon_viewing", "{name} regarde cet écran."},
        {"devices_none", "Aucun pour l'instant"},
        {"device_forget", "{name} ({ip}) — Déconnecter"},
        {"devices_forget_all", "Tout déconnecter"},
        {"addr_unknown", "Indisponible"},
        {"pin_title", "Demande de connexion Velora"},
        {"pin_head", "{name} ({ip}) souhaite se connecter."},
        {"pin_allow", "Autoriser"},
        {"pin_or", "Ou saisissez ce code sur votre téléphone"},
        {"pin_foot", "Si vous ne reconnaissez pas cet appareil, fermez cette fenêtre."},
        {"device_default", "Appareil"},
        {"mac_addr", "Adresse de ce Mac : {addr}"},
        {"mac_power", "Autoriser le contrôle de l'alimentation du Mac"},
        {"mac_login", "Ouvrir à la connexion"},
        {"mac_viewing", "Écran regardé par : {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Autorisation d'accessibilité nécessaire — cliquez pour ouvrir les réglages"},
        {"mac_ax_title", "Autorisation d'accessibilité requise"},
        {"mac_ax_body",
         "Pour que votre téléphone puisse piloter la souris et le clavier de ce Mac, activez cette "
         "autorisation.\n\n"
         "Réglages Système › Confidentialité et sécurité › Accessibilité — activez Velora.\n"
         "Le changement s'applique immédiatement. Si le pointeur ne bouge toujours pas, quittez "
         "l'app et rouvrez-la."},
        {"mac_open_settings", "Ouvrir les réglages"},
        {"mac_later", "Plus tard"},
    };
}

Texts linuxTexts_fr() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Contrôle de la saisie indisponible — cliquez pour obtenir de l'aide"},
        {"linux_ax_title", "Contrôle de la saisie indisponible"},
        {"linux_ax_body",
         "Velora déplace le pointeur et saisit du texte grâce à l'extension X11 XTEST, que cette "
         "session ne propose pas.\n\n"
         "Déconnectez-vous, choisissez une session X11 (Xorg) sur l'écran de connexion, puis "
         "relancez Velora.\n"
         "En attendant, l'association et l'affichage de l'écran continuent de fonctionner."},
        {"linux_ax_help", "Ouvrir l'aide"},
        {"linux_ports_closed",
         "⚠\uFE0E Impossible d'ouvrir le port TCP {tcp} et le port UDP {udp} — les téléphones ne "
         "peuvent pas joindre ce PC"},
        {"linux_control_closed",
         "⚠\uFE0E Impossible d'ouvrir le port TCP {port} — les téléphones ne peuvent pas se "
         "connecter"},
        {"linux_discovery_closed",
         "⚠\uFE0E Impossible d'ouvrir le port UDP {port} — les téléphones ne peuvent pas trouver "
         "ce PC"},
        {"settings_damaged_title", "Réglages de Velora réparés"},
        {"settings_damaged",
         "Le fichier de réglages était endommagé ; une copie a été conservée sous le nom {file}. "
         "Réinitialisé : {what}"},
        {"phone_menu", "Connecter un téléphone…"},
        {"phone_title", "Connecter un téléphone"},
        {"phone_howto",
         "Ouvrez cette adresse dans le navigateur de votre téléphone, ou scannez le code avec son "
         "appareil photo."},
        {"phone_named",
         "Cette adresse est le nom de l'ordinateur : elle reste la même après un redémarrage ou un "
         "changement de réseau."},
        {"phone_numeric",
         "Ceci est une adresse numérique : elle peut changer quand le réseau en attribue une "
         "nouvelle à l'ordinateur."},
        {"phone_others", "Également accessible à :"},
        {"phone_none",
         "Pas encore d'adresse réseau : connectez cet ordinateur au même réseau que votre "
         "téléphone."},
        {"log_discovery_port_failed", "Impossible d'ouvrir le port de découverte : {error}"},
        {"log_control_port_failed", "Impossible d'ouvrir le port de contrôle : {error}"},
        {"log_outside_refused", "Connexion refusée depuis une adresse externe : {ip}"},
        {"log_address_blocked", "{ip} PIN erroné {count} fois — bloqué jusqu'à {until}"},
        {"log_pairing_paused",
         "{count} PIN erronés au total (dernier {ip}) — nouveaux jumelages suspendus jusqu'à "
         "{until}"},
        {"log_line_too_long", "{ip} ligne trop longue"},
        {"log_bad_greeting", "{ip} salutation invalide"},
        {"log_greeted", "{name} ({ip}) se connecte · app {version}"},
        {"log_pairing_request", "{name} ({ip}) demande de jumelage — PIN {pin} affiché"},
        {"log_pairing_timeout", "{name} ({ip}) délai de jumelage dépassé"},
        {"log_pin_wrong", "{name} ({ip}) PIN erroné"},
        {"log_connected", "{name} ({ip}) connecté"},
        {"log_disconnected", "{name} déconnecté"},
        {"log_view_started",
         "{name} ({ip}) affichage de l'écran démarré · largeur {width} · qualité {quality}"},
        {"log_view_ended", "{name} ({ip}) affichage de l'écran terminé"},
        {"log_view_denied",
         "{name} ({ip}) affichage de l'écran — pas d'autorisation d'enregistrement de l'écran"},
        {"linux_consent_warn",
         "⚠\uFE0E Contrôle de la saisie pas encore autorisé — cliquez pour que la demande soit "
         "refaite"},
        {"linux_consent_title", "Le contrôle de la saisie nécessite votre accord"},
        {"linux_consent_body",
         "Votre bureau demande, dans une fenêtre à lui, si Velora peut contrôler le pointeur et le "
         "clavier et partager l'écran.\n\n"
         "Autorisez-le dans cette fenêtre et activez la mémorisation du choix pour ne pas être "
         "sollicité à chaque démarrage.\n"
         "Si la fenêtre a été refusée ou fermée, choisissez Redemander. En attendant, Velora "
         "continue de fonctionner et les téléphones restent associés."},
        {"linux_consent_ask", "Redemander"},
        {"linux_consent_console",
         "Le contrôle de la saisie nécessite votre accord : autorisez-le dans la fenêtre "
         "qu'affiche votre bureau et laissez-le mémoriser le choix. S'il a été refusé ou la "
         "fenêtre fermée, tapez consent pour que la demande soit refaite."},
        {"linux_no_compositor",
         "Aucun compositeur Wayland ne répond : la saisie n'aboutit nulle part et l'écran ne peut "
         "pas être affiché"},
        {"linux_no_screen_backend",
         "Ce bureau Wayland ne propose aucune capture d'écran utilisable par Velora : l'écran ne "
         "peut pas être affiché"},
        {"linux_no_input_backend",
         "Ce bureau Wayland ne propose aucun contrôle de la saisie utilisable par Velora : la "
         "saisie n'aboutit nulle part"},
        {"linux_no_backend",
         "Ce bureau Wayland ne propose ni contrôle de la saisie ni capture d'écran utilisables par "
         "Velora : la saisie n'aboutit nulle part et l'écran ne peut pas être affiché"},
    };
}

}  // namespace velora::strings
