// Ukrainian texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_uk() {
    return {
        {"tray_none", "Немає підключених пристроїв"},
        {"tray_connected", "Підключено: {n}"},
        {"tray_addr_pending", "Перевірка адреси…"},
        {"tray_addr", "Адреса цього ПК: {addr}"},
        {"tray_devices", "Сполучені пристрої"},
        {"tray_power", "Дозволити керування живленням ПК"},
        {"tray_screen", "Дозволити перегляд екрана з телефона"},
        {"tray_autostart", "Запускати разом з Windows"},
        {"tray_help", "Довідка"},
        {"tray_quit", "Вийти"},
        {"tip_idle", "Velora — очікування"},
        {"tip_connected", "Velora — підключено: {n}"},
        {"tip_viewing", "Velora — екран переглядають: {names}"},
        {"balloon_running_title", "Velora працює"},
        {"balloon_running_body", "Тепер телефон може знайти цей ПК ({addr})."},
        {"balloon_viewing", "{name} переглядає цей екран."},
        {"devices_none", "Поки немає"},
        {"device_forget", "{name} ({ip}) — Відключити"},
        {"devices_forget_all", "Відключити всі"},
        {"addr_unknown", "Недоступна"},
        {"pin_title", "Запит на підключення до Velora"},
        {"pin_head", "{name} ({ip}) хоче підключитися."},
        {"pin_allow", "Дозволити"},
        {"pin_or", "Або введіть цей код на телефоні"},
        {"pin_foot", "Якщо ви не впізнаєте цей пристрій, закрийте це вікно."},
        {"device_default", "Пристрій"},
        {"mac_addr", "Адреса цього Mac: {addr}"},
        {"mac_power", "Дозволити керування живленням Mac"},
        {"mac_login", "Відкривати під час входу"},
        {"mac_viewing", "Екран переглядають: {names}"},
        {"mac_ax_warn",
         "⚠\uFE0E Потрібен дозвіл на доступність — клацніть, щоб відкрити параметри"},
        {"mac_ax_title", "Потрібен дозвіл на доступність"},
        {"mac_ax_body",
         "Щоб телефон міг керувати мишею та клавіатурою цього Mac, увімкніть цей дозвіл.\n\n"
         "Системні параметри › Приватність і безпека › Доступність — увімкніть Velora.\n"
         "Зміна діє одразу. Якщо вказівник досі не рухається, закрийте програму й відкрийте її "
         "знову."},
        {"mac_open_settings", "Відкрити параметри"},
        {"mac_later", "Пізніше"},
    };
}

Texts linuxTexts_uk() {
    return {
        {"linux_ax_warn",
         "⚠\uFE0E Керування введенням недоступне — клацніть, щоб відкрити довідку"},
        {"linux_ax_title", "Керування введенням недоступне"},
        {"linux_ax_body",
         "Velora рухає вказівник і вводить текст через розширення X11 XTEST, якого цей сеанс не "
         "надає.\n\n"
         "Вийдіть із системи, виберіть сеанс X11 (Xorg) на екрані входу та знову запустіть "
         "Velora.\n"
         "Сполучення пристроїв і перегляд екрана тим часом працюють далі."},
        {"linux_ax_help", "Відкрити довідку"},
        {"linux_ports_closed",
         "⚠\uFE0E Не вдалося відкрити порт TCP {tcp} і порт UDP {udp} — телефони не можуть "
         "під'єднатися до цього ПК"},
        {"linux_control_closed",
         "⚠\uFE0E Не вдалося відкрити порт TCP {port} — телефони не можуть під'єднатися"},
        {"linux_discovery_closed",
         "⚠\uFE0E Не вдалося відкрити порт UDP {port} — телефони не можуть знайти цей ПК"},
        {"settings_damaged_title", "Налаштування Velora відновлено"},
        {"settings_damaged",
         "Файл налаштувань був пошкоджений; копію збережено як {file}. Скинуто: {what}"},
        {"phone_menu", "Під’єднати телефон…"},
        {"phone_title", "Під’єднати телефон"},
        {"phone_howto",
         "Відкрийте цю адресу в браузері телефона або відскануйте код його камерою."},
        {"phone_named",
         "Ця адреса — ім’я комп’ютера: вона не змінюється після перезапуску чи зміни мережі."},
        {"phone_numeric",
         "Це числова адреса: вона може змінитися, коли мережа видасть комп’ютеру нову."},
        {"phone_others", "Також доступний за адресами:"},
        {"phone_none",
         "Мережевої адреси ще немає: під’єднайте цей комп’ютер до тієї ж мережі, що й телефон."},
        {"log_discovery_port_failed", "Не вдалося відкрити порт виявлення: {error}"},
        {"log_control_port_failed", "Не вдалося відкрити порт керування: {error}"},
        {"log_outside_refused", "Відхилено з'єднання із зовнішньої адреси: {ip}"},
        {"log_address_blocked", "{ip} неправильний PIN {count} разів — заблоковано до {until}"},
        {"log_pairing_paused",
         "Усього неправильних PIN: {count} (останній {ip}) — нові з'єднання чекають до {until}"},
        {"log_line_too_long", "{ip} задовгий рядок"},
        {"log_bad_greeting", "{ip} неправильне привітання"},
        {"log_greeted", "{name} ({ip}) підключається · застосунок {version}"},
        {"log_pairing_request", "{name} ({ip}) запит на з'єднання — показано PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) час з'єднання вичерпано"},
        {"log_pin_wrong", "{name} ({ip}) неправильний PIN"},
        {"log_connected", "{name} ({ip}) підключено"},
        {"log_disconnected", "{name} від'єднано"},
        {"log_view_started",
         "{name} ({ip}) перегляд екрана розпочато · ширина {width} · якість {quality}"},
        {"log_view_ended", "{name} ({ip}) перегляд екрана завершено"},
        {"log_view_denied", "{name} ({ip}) перегляд екрана — немає дозволу на запис екрана"},
    };
}

}  // namespace velora::strings
