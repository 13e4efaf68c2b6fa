#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_es() {
    return {
        {"tray_none", "Ningún dispositivo conectado"},
        {"tray_connected", "Conectados: {n}"},
        {"tray_addr_pending", "Comprobando la dirección…"},
        {"tray_addr", "Dirección de este PC: {addr}"},
        {"tray_devices", "Dispositivos vinculados"},
        {"tray_power", "Permitir el control de energía del PC"},
        {"tray_screen", "Permitir ver la pantalla desde el teléfono"},
        {"tray_autostart", "Iniciar con Windows"},
        {"tray_help", "Ayuda"},
        {"tray_quit", "Salir"},
        {"tip_idle", "Velora — en espera"},
        {"tip_connected", "Velora — {n} conectados"},
        {"tip_viewing", "Velora — pantalla vista por: {names}"},
        {"balloon_running_title", "Velora se está ejecutando"},
        {"balloon_running_body", "Tu teléfono ya puede encontrar este PC ({addr})."},
        {"balloon_viewing", "{name} está viendo esta pantalla."},
        {"devices_none", "Ninguno todavía"},
        {"device_forget", "{name} ({ip}) — Desconectar"},
        {"devices_forget_all", "Desconectar todos"},
        {"addr_unknown", "No disponible"},
        {"pin_title", "Solicitud de conexión de Velora"},
        {"pin_head", "{name} ({ip}) quiere conectarse."},
        {"pin_allow", "Permitir"},
        {"pin_or", "O introduce este número en tu teléfono"},
        {"pin_foot", "Si no reconoces este dispositivo, cierra esta ventana."},
        {"device_default", "Dispositivo"},
        {"mac_addr", "Dirección de este Mac: {addr}"},
        {"mac_power", "Permitir el control de energía del Mac"},
        {"mac_login", "Abrir al iniciar sesión"},
        {"mac_viewing", "Pantalla vista por: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Se necesita el permiso de accesibilidad — haz clic para abrir los ajustes"},
        {"mac_ax_title", "Se requiere el permiso de accesibilidad"},
        {"mac_ax_body",
         "Para que tu teléfono pueda mover el ratón y usar el teclado de este Mac, activa este "
         "permiso.\n\n"
         "Ajustes del Sistema › Privacidad y seguridad › Accesibilidad — activa Velora.\n"
         "El cambio se aplica al instante. Si el puntero sigue sin moverse, cierra la app y vuelve "
         "a abrirla."},
        {"mac_open_settings", "Abrir Ajustes"},
        {"mac_later", "Más tarde"},
    };
}

Texts linuxTexts_es() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Control de entrada no disponible — haz clic para obtener ayuda"},
        {"linux_ax_title", "Control de entrada no disponible"},
        {"linux_ax_body",
         "Velora mueve el puntero y escribe mediante la extensión XTEST de X11, que esta sesión no "
         "ofrece.\n\n"
         "Cierra la sesión, elige una sesión X11 (Xorg) en la pantalla de inicio de sesión y "
         "vuelve a abrir Velora.\n"
         "Mientras tanto, la vinculación y la visualización de la pantalla siguen funcionando."},
        {"linux_ax_help", "Abrir la ayuda"},
        {"linux_ports_closed",
         "⚠\uFE0E No se pudieron abrir el puerto TCP {tcp} ni el puerto UDP {udp} — los teléfonos "
         "no pueden llegar a este PC"},
        {"linux_control_closed",
         "⚠\uFE0E No se pudo abrir el puerto TCP {port} — los teléfonos no pueden conectarse"},
        {"linux_discovery_closed",
         "⚠\uFE0E No se pudo abrir el puerto UDP {port} — los teléfonos no pueden encontrar este "
         "PC"},
        {"settings_damaged_title", "Ajustes de Velora reparados"},
        {"settings_damaged",
         "El archivo de ajustes estaba dañado; se guardó una copia como {file}. Restablecido: "
         "{what}"},
        {"phone_menu", "Conectar un teléfono…"},
        {"phone_title", "Conectar un teléfono"},
        {"phone_howto",
         "Abre esta dirección en el navegador de tu teléfono o escanea el código con su cámara."},
        {"phone_named",
         "Esta dirección es el nombre del equipo: no cambia tras un reinicio ni un cambio de red."},
        {"phone_numeric",
         "Esta es una dirección numérica: puede cambiar cuando la red asigne otra al equipo."},
        {"phone_others", "También disponible en:"},
        {"phone_none",
         "Aún no hay dirección de red: conecta este equipo a la misma red que tu teléfono."},
        {"log_discovery_port_failed", "No se pudo abrir el puerto de descubrimiento: {error}"},
        {"log_control_port_failed", "No se pudo abrir el puerto de control: {error}"},
        {"log_outside_refused", "Conexión rechazada desde una dirección externa: {ip}"},
        {"log_address_blocked", "{ip} PIN incorrecto {count} veces — bloqueado hasta las {until}"},
        {"log_pairing_paused",
         "{count} PIN incorrectos en total (último {ip}) — nuevos emparejamientos en espera hasta "
         "las {until}"},
        {"log_line_too_long", "{ip} línea demasiado larga"},
        {"log_bad_greeting", "{ip} saludo no válido"},
        {"log_greeted", "{name} ({ip}) conectando · app {version}"},
        {"log_pairing_request", "{name} ({ip}) solicitud de emparejamiento — PIN {pin} mostrado"},
        {"log_pairing_timeout", "{name} ({ip}) tiempo de emparejamiento agotado"},
        {"log_pin_wrong", "{name} ({ip}) PIN incorrecto"},
        {"log_connected", "{name} ({ip}) conectado"},
        {"log_disconnected", "{name} desconectado"},
        {"log_view_started",
         "{name} ({ip}) visualización de pantalla iniciada · ancho {width} · calidad {quality}"},
        {"log_view_ended", "{name} ({ip}) visualización de pantalla finalizada"},
        {"log_view_denied",
         "{name} ({ip}) visualización de pantalla — sin permiso de grabación de pantalla"},
        {"linux_consent_warn",
         "⚠\uFE0E El control de entrada aún no está permitido — haz clic para que se vuelva a "
         "preguntar"},
        {"linux_consent_title", "El control de entrada necesita tu consentimiento"},
        {"linux_consent_body",
         "Tu escritorio pregunta en una ventana propia si Velora puede controlar el puntero y el "
         "teclado y compartir la pantalla.\n\n"
         "Permítelo allí y activa la opción de recordar la elección para que no se te pregunte en "
         "cada inicio.\n"
         "Si la ventana se rechazó o se cerró, elige Volver a preguntar. Mientras tanto, Velora "
         "sigue funcionando y los teléfonos siguen vinculados."},
        {"linux_consent_ask", "Volver a preguntar"},
        {"linux_consent_console",
         "El control de entrada necesita tu consentimiento: permítelo en la ventana que muestra tu "
         "escritorio y deja que recuerde la elección. Si se rechazó o se cerró, escribe consent "
         "para que se vuelva a preguntar."},
        {"linux_no_compositor",
         "Ningún compositor de Wayland responde: la entrada no llega a ninguna parte y la pantalla "
         "no se puede mostrar"},
        {"linux_no_screen_backend",
         "Este escritorio Wayland no ofrece ninguna captura de pantalla que Velora pueda usar: la "
         "pantalla no se puede mostrar"},
        {"linux_no_input_backend",
         "Este escritorio Wayland no ofrece ningún control de entrada que Velora pueda usar: la "
         "entrada no llega a ninguna parte"},
        {"linux_no_backend",
         "Este escritorio Wayland no ofrece ningún control de entrada ni captura de pantalla que "
         "Velora pueda usar: la entrada no llega a ninguna parte y la pantalla no se puede "
         "mostrar"},
    };
}

}  // namespace velora::strings
