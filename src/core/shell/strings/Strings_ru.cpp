// Russian texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_ru() {
    return {
        {"tray_none", "Нет подключённых устройств"},
        {"tray_connected", "Подключено: {n}"},
        {"tray_addr_pending", "Проверка адреса…"},
        {"tray_addr", "Адрес этого ПК: {addr}"},
        {"tray_devices", "Сопряжённые устройства"},
        {"tray_power", "Разрешить управление питанием ПК"},
        {"tray_screen", "Разрешить просмотр экрана с телефона"},
        {"tray_autostart", "Запускать вместе с Windows"},
        {"tray_help", "Справка"},
        {"tray_quit", "Выход"},
        {"tip_idle", "Velora — ожидание"},
        {"tip_connected", "Velora — подключено: {n}"},
        {"tip_viewing", "Velora — экран просматривают: {names}"},
        {"balloon_running_title", "Velora запущена"},
        {"balloon_running_body", "Теперь телефон может найти этот ПК ({addr})."},
        {"balloon_viewing", "{name} просматривает этот экран."},
        {"devices_none", "Пока нет"},
        {"device_forget", "{name} ({ip}) — Отключить"},
        {"devices_forget_all", "Отключить все"},
        {"addr_unknown", "Недоступен"},
        {"pin_title", "Запрос на подключение к Velora"},
        {"pin_head", "{name} ({ip}) хочет подключиться."},
        {"pin_allow", "Разрешить"},
        {"pin_or", "Или введите этот код на телефоне"},
        {"pin_foot", "Если вы не узнаёте это устройство, закройте это окно."},
        {"device_default", "Устройство"},
        {"mac_addr", "Адрес этого Mac: {addr}"},
        {"mac_power", "Разрешить управление питанием Mac"},
        {"mac_login", "Открывать при входе"},
        {"mac_viewing", "Просмотр экрана: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Нужно разрешение универсального доступа — нажмите, чтобы открыть настройки"},
        {"mac_ax_title", "Требуется разрешение универсального доступа"},
        {"mac_ax_body",
         "Чтобы телефон мог управлять мышью и клавиатурой этого Mac, включите это разрешение.\n\n"
         "Системные настройки › Конфиденциальность и безопасность › Универсальный доступ — "
         "включите Velora.\n"
         "Изменение вступает в силу сразу. Если указатель всё ещё не двигается, завершите "
         "приложение и откройте его снова."},
        {"mac_open_settings", "Открыть настройки"},
        {"mac_later", "Позже"},
    };
}

Texts linuxTexts_ru() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Управление вводом недоступно — нажмите, чтобы открыть справку"},
        {"linux_ax_title", "Управление вводом недоступно"},
        {"linux_ax_body",
         "Velora перемещает указатель и вводит текст через расширение X11 XTEST, которое этот "
         "сеанс не предоставляет.\n\n"
         "Выйдите из системы, выберите сеанс X11 (Xorg) на экране входа и снова запустите Velora.\n"
         "Сопряжение и просмотр экрана тем временем продолжают работать."},
        {"linux_ax_help", "Открыть справку"},
        {"linux_ports_closed",
         "⚠\uFE0E Не удалось открыть порт TCP {tcp} и порт UDP {udp} — телефоны не могут "
         "подключиться к этому ПК"},
        {"linux_control_closed",
         "⚠\uFE0E Не удалось открыть порт TCP {port} — телефоны не могут подключиться"},
        {"linux_discovery_closed",
         "⚠\uFE0E Не удалось открыть порт UDP {port} — телефоны не могут найти этот ПК"},
        {"settings_damaged_title", "Настройки Velora восстановлены"},
        {"settings_damaged",
         "Файл настроек был повреждён; копия сохранена как {file}. Сброшено: {what}"},
        {"log_discovery_port_failed", "Не удалось открыть порт обнаружения: {error}"},
        {"log_control_port_failed", "Не удалось открыть порт управления: {error}"},
        {"log_outside_refused", "Отклонено подключение с внешнего адреса: {ip}"},
        {"log_address_blocked", "{ip} неверный PIN {count} раз — заблокирован до {until}"},
        {"log_pairing_paused",
         "Всего неверных PIN: {count} (последний {ip}) — новые сопряжения ждут до {until}"},
        {"log_line_too_long", "{ip} слишком длинная строка"},
        {"log_bad_greeting", "{ip} неверное приветствие"},
        {"log_greeted", "{name} ({ip}) подключается · приложение {version}"},
        {"log_pairing_request", "{name} ({ip}) запрос сопряжения — показан PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) время сопряжения истекло"},
        {"log_pin_wrong", "{name} ({ip}) неверный PIN"},
        {"log_connected", "{name} ({ip}) подключено"},
        {"log_disconnected", "{name} отключено"},
        {"log_view_started",
         "{name} ({ip}) просмотр экрана начат · ширина {width} · качество {quality}"},
        {"log_view_ended", "{name} ({ip}) просмотр экрана завершён"},
        {"log_view_denied", "{name} ({ip}) просмотр экрана — нет разрешения на запись экрана"},
    };
}

}  // namespace velora::strings
