#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_he() {
    return {
        {"tray_none", "אין מכשיר מחובר"},
        {"tray_connected", "מחוברים: {n}"},
        {"tray_addr_pending", "הכתובת נבדקת…"},
        {"tray_addr", "הכתובת של המחשב הזה: {addr}"},
        {"tray_devices", "מכשירים מצומדים"},
        {"tray_power", "לאפשר שליטה בכיבוי ובהפעלה של המחשב"},
        {"tray_screen", "לאפשר צפייה במסך מהטלפון"},
        {"tray_autostart", "הפעלה עם Windows"},
        {"tray_help", "עזרה"},
        {"tray_quit", "יציאה"},
        {"tip_idle", "Velora — בהמתנה"},
        {"tip_connected", "Velora — מחוברים: {n}"},
        {"tip_viewing", "Velora — צופים במסך: {names}"},
        {"balloon_running_title", "Velora פועלת"},
        {"balloon_running_body", "הטלפון שלך יכול עכשיו למצוא את המחשב הזה ({addr})."},
        {"balloon_viewing", "{name} צופה במסך הזה."},
        {"devices_none", "אין עדיין"},
        {"device_forget", "{name} ({ip}) — ניתוק"},
        {"devices_forget_all", "לנתק הכול"},
        {"addr_unknown", "לא זמינה"},
        {"pin_title", "בקשת חיבור ל-Velora"},
        {"pin_head", "{name} ({ip}) מבקש להתחבר."},
        {"pin_allow", "לאפשר"},
        {"pin_or", "או להזין את המספר הזה בטלפון"},
        {"pin_foot", "אם המכשיר הזה לא מוכר לך, יש לסגור את החלון הזה."},
        {"device_default", "מכשיר"},
        {"mac_addr", "הכתובת של ה-Mac הזה: {addr}"},
        {"mac_power", "לאפשר שליטה בכיבוי ובהפעלה של ה-Mac"},
        {"mac_login", "פתיחה בהתחברות"},
        {"mac_viewing", "צופים במסך: {names}"},
        {"mac_ax_warn", "⚠\uFE0E נדרשת הרשאת נגישות — יש ללחוץ כדי לפתוח את ההגדרות"},
        {"mac_ax_title", "נדרשת הרשאת נגישות"},
        {"mac_ax_body",
         "כדי שהטלפון שלך יוכל להזיז את העכבר ולהשתמש במקלדת של ה-Mac הזה, יש להפעיל את ההרשאה "
         "הזו.\n\n"
         "הגדרות המערכת › פרטיות ואבטחה › נגישות — יש להפעיל את Velora.\n"
         "השינוי נכנס לתוקף מיד. אם הסמן עדיין לא זז, יש לצאת מהאפליקציה ולפתוח אותה מחדש."},
        {"mac_open_settings", "פתיחת ההגדרות"},
        {"mac_later", "אחר כך"},
    };
}

Texts linuxTexts_he() {
    return {
        {"linux_ax_warn", "⚠\uFE0E השליטה בקלט אינה זמינה — יש ללחוץ לקבלת עזרה"},
        {"linux_ax_title", "השליטה בקלט אינה זמינה"},
        {"linux_ax_body",
         "Velora מזיזה את הסמן ומקלידה באמצעות ההרחבה XTEST של X11, שהסשן הזה לא מציע.\n\n"
         "יש להתנתק, לבחור סשן X11 (Xorg) במסך הכניסה ולהפעיל את Velora מחדש.\n"
         "בינתיים הצימוד והצפייה במסך ממשיכים לעבוד."},
        {"linux_ax_help", "פתיחת העזרה"},
        {"linux_ports_closed",
         "⚠\uFE0E לא ניתן לפתוח את פורט TCP {tcp} ואת פורט UDP {udp} — טלפונים לא יכולים להגיע "
         "למחשב הזה"},
        {"linux_control_closed",
         "⚠\uFE0E לא ניתן לפתוח את פורט TCP {port} — טלפונים לא יכולים להתחבר"},
        {"linux_discovery_closed",
         "⚠\uFE0E לא ניתן לפתוח את פורט UDP {port} — טלפונים לא יכולים למצוא את המחשב הזה"},
        {"settings_damaged_title", "הגדרות Velora תוקנו"},
        {"settings_damaged",
         "קובץ ההגדרות היה פגום; עותק נשמר בשם {file}. אופס לברירת המחדל: {what}"},
        {"phone_menu", "חיבור טלפון…"},
        {"phone_title", "חיבור טלפון"},
        {"phone_howto", "יש לפתוח את הכתובת הזו בדפדפן של הטלפון, או לסרוק את הקוד במצלמה שלו."},
        {"phone_named", "הכתובת הזו היא שם המחשב: היא נשארת זהה אחרי הפעלה מחדש או החלפת רשת."},
        {"phone_numeric", "זוהי כתובת מספרית: היא עשויה להשתנות כשהרשת מקצה למחשב כתובת חדשה."},
        {"phone_others", "זמין גם בכתובות:"},
        {"phone_none", "עדיין אין כתובת רשת: יש לחבר את המחשב הזה לאותה רשת שאליה מחובר הטלפון."},
        {"log_discovery_port_failed", "לא ניתן לפתוח את פורט הגילוי: {error}"},
        {"log_control_port_failed", "לא ניתן לפתוח את פורט הבקרה: {error}"},
        {"log_outside_refused", "חיבור מכתובת חיצונית נדחה: {ip}"},
        {"log_address_blocked", "{ip} קוד PIN שגוי {count} פעמים — חסום עד {until}"},
        {"log_pairing_paused",
         "{count} קודי PIN שגויים בסך הכול (אחרון {ip}) — צימודים חדשים ממתינים עד {until}"},
        {"log_line_too_long", "{ip} שורה ארוכה מדי"},
        {"log_bad_greeting", "{ip} ברכה לא חוקית"},
        {"log_greeted", "{name} ({ip}) מתחבר · אפליקציה {version}"},
        {"log_pairing_request", "{name} ({ip}) בקשת צימוד — מוצג PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) תם הזמן לצימוד"},
        {"log_pin_wrong", "{name} ({ip}) PIN שגוי"},
        {"log_connected", "{name} ({ip}) מחובר"},
        {"log_disconnected", "{name} התנתק"},
        {"log_view_started", "{name} ({ip}) צפייה במסך החלה · רוחב {width} · איכות {quality}"},
        {"log_view_ended", "{name} ({ip}) צפייה במסך הסתיימה"},
        {"log_view_denied", "{name} ({ip}) צפייה במסך — אין הרשאת הקלטת מסך"},
        {"linux_consent_warn",
         "⚠\uFE0E השליטה בקלט עדיין לא אושרה — יש ללחוץ כדי לקבל את הבקשה שוב"},
        {"linux_consent_title", "השליטה בקלט דורשת את הסכמתך"},
        {"linux_consent_body",
         "שולחן העבודה שואל בחלון משלו אם Velora רשאית לשלוט בסמן ובמקלדת ולשתף את המסך.\n\n"
         "יש לאשר זאת שם ולהפעיל את זכירת הבחירה, כדי שהשאלה לא תחזור בכל הפעלה.\n"
         "אם החלון נדחה או נסגר, יש לבחור ב„לשאול שוב”. בינתיים Velora ממשיכה לפעול והטלפונים "
         "נשארים מצומדים."},
        {"linux_consent_ask", "לשאול שוב"},
        {"linux_consent_console",
         "השליטה בקלט דורשת את הסכמתך: יש לאשר אותה בחלון ששולחן העבודה מציג ולתת לו לזכור את "
         "הבחירה. אם הבקשה נדחתה או שהחלון נסגר, יש להקליד consent כדי לקבל את הבקשה שוב."},
        {"linux_no_compositor",
         "אף מרכיב Wayland אינו עונה: הקלט לא מגיע לשום מקום ואי אפשר להציג את המסך"},
        {"linux_no_screen_backend",
         "שולחן העבודה הזה של Wayland אינו מציע לכידת מסך ש‑Velora יכולה להשתמש בה: אי אפשר להציג "
         "את המסך"},
        {"linux_no_input_backend",
         "שולחן העבודה הזה של Wayland אינו מציע שליטה בקלט ש‑Velora יכולה להשתמש בה: הקלט לא מגיע "
         "לשום מקום"},
        {"linux_no_backend",
         "שולחן העבודה הזה של Wayland אינו מציע שליטה בקלט או לכידת מסך ש‑Velora יכולה להשתמש בהן: "
         "הקלט לא מגיע לשום מקום ואי אפשר להציג את המסך"},
    };
}

}  // namespace velora::strings
