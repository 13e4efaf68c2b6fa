#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_ar() {
    return {
        {"tray_none", "لا يوجد جهاز متصل"},
        {"tray_connected", "الأجهزة المتصلة: {n}"},
        {"tray_addr_pending", "جارٍ التحقق من العنوان…"},
        {"tray_addr", "عنوان هذا الكمبيوتر: {addr}"},
        {"tray_devices", "الأجهزة المقترنة"},
        {"tray_power", "السماح بالتحكم في طاقة الكمبيوتر"},
        {"tray_screen", "السماح بعرض الشاشة من الهاتف"},
        {"tray_autostart", "التشغيل مع Windows"},
        {"tray_help", "المساعدة"},
        {"tray_quit", "إنهاء"},
        {"tip_idle", "Velora — في الانتظار"},
        {"tip_connected", "Velora — الأجهزة المتصلة: {n}"},
        {"tip_viewing", "Velora — يشاهد الشاشة: {names}"},
        {"balloon_running_title", "Velora قيد التشغيل"},
        {"balloon_running_body", "يمكن لهاتفك الآن العثور على هذا الكمبيوتر ({addr})."},
        {"balloon_viewing", "{name} يشاهد هذه الشاشة."},
        {"devices_none", "لا يوجد بعد"},
        {"device_forget", "{name} ({ip}) — قطع الاتصال"},
        {"devices_forget_all", "قطع الاتصال بالكل"},
        {"addr_unknown", "غير متاح"},
        {"pin_title", "طلب اتصال من Velora"},
        {"pin_head", "{name} ({ip}) يطلب الاتصال."},
        {"pin_allow", "سماح"},
        {"pin_or", "أو أدخل هذا الرقم على هاتفك"},
        {"pin_foot", "إذا لم تتعرّف على هذا الجهاز، فأغلق هذه النافذة."},
        {"device_default", "جهاز"},
        {"mac_addr", "عنوان جهاز Mac هذا: {addr}"},
        {"mac_power", "السماح بالتحكم في طاقة جهاز Mac"},
        {"mac_login", "الفتح عند تسجيل الدخول"},
        {"mac_viewing", "يشاهد الشاشة: {names}"},
        {"mac_ax_warn", "⚠\uFE0E يلزم إذن تسهيلات الاستخدام — انقر لفتح الإعدادات"},
        {"mac_ax_title", "إذن تسهيلات الاستخدام مطلوب"},
        {"mac_ax_body",
         "لكي يتمكن هاتفك من تحريك الماوس واستخدام لوحة المفاتيح في جهاز Mac هذا، شغّل هذا "
         "الإذن.\n\n"
         "إعدادات النظام › الخصوصية والأمن › تسهيلات الاستخدام — شغّل Velora.\n"
         "يسري التغيير فورًا. إذا ظل المؤشر لا يتحرك، فأنهِ التطبيق ثم افتحه مرة أخرى."},
        {"mac_open_settings", "فتح الإعدادات"},
        {"mac_later", "لاحقًا"},
    };
}

Texts linuxTexts_ar() {
    return {
        {"linux_ax_warn", "⚠\uFE0E التحكم في الإدخال غير متاح — انقر للحصول على المساعدة"},
        {"linux_ax_title", "التحكم في الإدخال غير متاح"},
        {"linux_ax_body",
         "يحرّك Velora المؤشر ويكتب عبر امتداد XTEST في X11، وهذه الجلسة لا توفّره.\n\n"
         "سجّل الخروج، واختر جلسة X11 (Xorg) في شاشة تسجيل الدخول، ثم شغّل Velora مرة أخرى.\n"
         "يستمر الاقتران وعرض الشاشة في العمل خلال ذلك."},
        {"linux_ax_help", "فتح المساعدة"},
        {"linux_ports_closed",
         "⚠\uFE0E تعذّر فتح منفذ TCP {tcp} ومنفذ UDP {udp} — لا يمكن للهواتف الوصول إلى هذا "
         "الكمبيوتر"},
        {"linux_control_closed", "⚠\uFE0E تعذّر فتح منفذ TCP {port} — لا يمكن للهواتف الاتصال"},
        {"linux_discovery_closed",
         "⚠\uFE0E تعذّر فتح منفذ UDP {port} — لا يمكن للهواتف العثور على هذا الكمبيوتر"},
        {"settings_damaged_title", "تم إصلاح إعدادات Velora"},
        {"settings_damaged",
         "كان ملف الإعدادات تالفًا، وحُفظت نسخة منه باسم {file}. ما أُعيد إلى الوضع الافتراضي: "
         "{what}"},
        {"phone_menu", "توصيل هاتف…"},
        {"phone_title", "توصيل هاتف"},
        {"phone_howto", "افتح هذا العنوان في متصفح هاتفك، أو امسح الرمز بكاميرته."},
        {"phone_named",
         "هذا العنوان هو اسم الكمبيوتر: يبقى كما هو بعد إعادة التشغيل أو تغيّر الشبكة."},
        {"phone_numeric", "هذا عنوان رقمي: قد يتغيّر عندما تمنح الشبكة الكمبيوتر عنوانًا جديدًا."},
        {"phone_others", "يمكن الوصول إليه أيضًا على:"},
        {"phone_none",
         "لا يوجد عنوان شبكة بعد: صِل هذا الكمبيوتر بالشبكة نفسها التي يتصل بها هاتفك."},
        {"log_discovery_port_failed", "تعذر فتح منفذ الاكتشاف: {error}"},
        {"log_control_port_failed", "تعذر فتح منفذ التحكم: {error}"},
        {"log_outside_refused", "رُفض اتصال من عنوان خارجي: {ip}"},
        {"log_address_blocked", "{ip} رمز PIN خاطئ {count} مرات — محظور حتى {until}"},
        {"log_pairing_paused",
         "{count} رموز PIN خاطئة إجمالًا (آخرها {ip}) — الاقترانات الجديدة معلّقة حتى {until}"},
        {"log_line_too_long", "{ip} سطر طويل جدًا"},
        {"log_bad_greeting", "{ip} تحية غير صالحة"},
        {"log_greeted", "{name} ({ip}) يتصل · التطبيق {version}"},
        {"log_pairing_request", "{name} ({ip}) طلب اقتران — عُرض رمز PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) انتهت مهلة الاقتران"},
        {"log_pin_wrong", "{name} ({ip}) رمز PIN خاطئ"},
        {"log_connected", "{name} ({ip}) متصل"},
        {"log_disconnected", "{name} قُطع الاتصال"},
        {"log_view_started", "{name} ({ip}) بدأ عرض الشاشة · العرض {width} · الجودة {quality}"},
        {"log_view_ended", "{name} ({ip}) انتهى عرض الشاشة"},
        {"log_view_denied", "{name} ({ip}) عرض الشاشة — لا يوجد إذن تسجيل الشاشة"},
        {"linux_consent_warn", "⚠\uFE0E لم يُسمح بالتحكم في الإدخال بعد — انقر ليُطلب منك مجددًا"},
        {"linux_consent_title", "التحكم في الإدخال يحتاج إلى موافقتك"},
        {"linux_consent_body",
         "يسألك سطح المكتب في نافذة خاصة به هل يُسمح لـ Velora بالتحكم في المؤشر ولوحة المفاتيح "
         "ومشاركة الشاشة.\n\n"
         "اسمح بذلك هناك، وفعّل تذكّر الاختيار حتى لا تُسأل عند كل تشغيل.\n"
         "إذا رُفضت النافذة أو أُغلقت، فاختر «اسأل مجددًا». يستمر Velora في العمل خلال ذلك وتبقى "
         "الهواتف مقترنة."},
        {"linux_consent_ask", "اسأل مجددًا"},
        {"linux_consent_console",
         "التحكم في الإدخال يحتاج إلى موافقتك: اسمح به في النافذة التي يعرضها سطح المكتب، ودعه "
         "يتذكر الاختيار. إذا رُفض أو أُغلقت النافذة، فاكتب consent ليُطلب منك مجددًا."},
        {"linux_no_compositor",
         "لا يستجيب أي مُركِّب Wayland: لا يصل الإدخال إلى أي مكان ولا يمكن عرض الشاشة"},
        {"linux_no_screen_backend",
         "لا يوفّر سطح مكتب Wayland هذا التقاطًا للشاشة يمكن لـ Velora استخدامه: لا يمكن عرض الشاشة"},
        {"linux_no_input_backend",
         "لا يوفّر سطح مكتب Wayland هذا تحكمًا في الإدخال يمكن لـ Velora استخدامه: لا يصل الإدخال "
         "إلى أي مكان"},
        {"linux_no_backend",
         "لا يوفّر سطح مكتب Wayland هذا تحكمًا في الإدخال ولا التقاطًا للشاشة يمكن لـ Velora "
         "استخدامهما: لا يصل الإدخال إلى أي مكان ولا يمكن عرض الشاشة"},
    };
}

}  // namespace velora::strings
