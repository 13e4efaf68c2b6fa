#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_hi() {
    return {
        {"tray_none", "कोई डिवाइस कनेक्ट नहीं है"},
        {"tray_connected", "कनेक्ट हैं: {n}"},
        {"tray_addr_pending", "पता जाँचा जा रहा है…"},
        {"tray_addr", "इस PC का पता: {addr}"},
        {"tray_devices", "पेयर किए गए डिवाइस"},
        {"tray_power", "PC के पावर नियंत्रण की अनुमति दें"},
        {"tray_screen", "फ़ोन से स्क्रीन देखने की अनुमति दें"},
        {"tray_autostart", "Windows के साथ शुरू करें"},
        {"tray_help", "सहायता"},
        {"tray_quit", "बाहर निकलें"},
        {"tip_idle", "Velora — प्रतीक्षा में"},
        {"tip_connected", "Velora — {n} कनेक्ट हैं"},
        {"tip_viewing", "Velora — स्क्रीन देख रहे हैं: {names}"},
        {"balloon_running_title", "Velora चल रहा है"},
        {"balloon_running_body", "अब आपका फ़ोन इस PC ({addr}) को ढूँढ सकता है।"},
        {"balloon_viewing", "{name} यह स्क्रीन देख रहा है।"},
        {"devices_none", "अभी तक कोई नहीं"},
        {"device_forget", "{name} ({ip}) — डिस्कनेक्ट करें"},
        {"devices_forget_all", "सभी को डिस्कनेक्ट करें"},
        {"addr_unknown", "उपलब्ध नहीं"},
        {"pin_title", "Velora कनेक्शन अनुरोध"},
        {"pin_head", "{name} ({ip}) कनेक्ट करना चाहता है।"},
        {"pin_allow", "अनुमति दें"},
        {"pin_or", "या अपने फ़ोन पर यह नंबर डालें"},
        {"pin_foot", "अगर आप इस डिवाइस को नहीं पहचानते, तो यह विंडो बंद कर दें।"},
        {"device_default", "डिवाइस"},
        {"mac_addr", "इस Mac का पता: {addr}"},
        {"mac_power", "Mac के पावर नियंत्रण की अनुमति दें"},
        {"mac_login", "लॉगिन पर खोलें"},
        {"mac_viewing", "स्क्रीन देख रहे हैं: {names}"},
        {"mac_ax_warn", "⚠\uFE0E ऐक्सेसिबिलिटी अनुमति चाहिए — सेटिंग्ज़ खोलने के लिए क्लिक करें"},
        {"mac_ax_title", "ऐक्सेसिबिलिटी अनुमति आवश्यक है"},
        {"mac_ax_body",
         "अपने फ़ोन से इस Mac का माउस और कीबोर्ड चलाने के लिए यह अनुमति चालू करें।\n\n"
         "सिस्टम सेटिंग्ज़ › गोपनीयता और सुरक्षा › ऐक्सेसिबिलिटी — Velora चालू करें।\n"
         "यह तुरंत लागू हो जाती है। अगर पॉइंटर फिर भी नहीं हिलता, तो ऐप बंद करके दोबारा खोलें।"},
        {"mac_open_settings", "सेटिंग्ज़ खोलें"},
        {"mac_later", "बाद में"},
    };
}

Texts linuxTexts_hi() {
    return {
        {"linux_ax_warn", "⚠\uFE0E इनपुट नियंत्रण उपलब्ध नहीं है — सहायता के लिए क्लिक करें"},
        {"linux_ax_title", "इनपुट नियंत्रण उपलब्ध नहीं है"},
        {"linux_ax_body",
         "Velora पॉइंटर हिलाने और टाइप करने के लिए X11 के XTEST एक्सटेंशन का उपयोग करता है, जो यह सेशन उपलब्ध "
         "नहीं कराता।\n\n"
         "लॉग आउट करें, लॉगिन स्क्रीन पर X11 (Xorg) सेशन चुनें और Velora को फिर से शुरू करें।\n"
         "तब तक पेयरिंग और स्क्रीन देखना काम करते रहेंगे।"},
        {"linux_ax_help", "सहायता खोलें"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP पोर्ट {tcp} और UDP पोर्ट {udp} नहीं खोले जा सके — फ़ोन इस PC तक नहीं पहुँच सकते"},
        {"linux_control_closed", "⚠\uFE0E TCP पोर्ट {port} नहीं खोला जा सका — फ़ोन कनेक्ट नहीं हो सकते"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP पोर्ट {port} नहीं खोला जा सका — फ़ोन इस PC को नहीं ढूँढ सकते"},
        {"settings_damaged_title", "Velora की सेटिंग ठीक की गईं"},
        {"settings_damaged",
         "सेटिंग फ़ाइल खराब थी; उसकी एक प्रति {file} के नाम से रखी गई। डिफ़ॉल्ट पर लौटाया गया: {what}"},
        {"phone_menu", "फ़ोन कनेक्ट करें…"},
        {"phone_title", "फ़ोन कनेक्ट करें"},
        {"phone_howto", "यह पता अपने फ़ोन के ब्राउज़र में खोलें, या उसके कैमरे से कोड स्कैन करें।"},
        {"phone_named", "यह पता कंप्यूटर का नाम है: रीस्टार्ट या नेटवर्क बदलने के बाद भी यह वही रहता है।"},
        {"phone_numeric",
         "यह एक संख्यात्मक पता है: नेटवर्क द्वारा कंप्यूटर को नया पता दिए जाने पर यह बदल सकता है।"},
        {"phone_others", "इन पतों पर भी उपलब्ध:"},
        {"phone_none", "अभी कोई नेटवर्क पता नहीं है: इस कंप्यूटर को उसी नेटवर्क से जोड़ें जिससे आपका फ़ोन जुड़ा है।"},
        {"log_discovery_port_failed", "खोज पोर्ट नहीं खोला जा सका: {error}"},
        {"log_control_port_failed", "नियंत्रण पोर्ट नहीं खोला जा सका: {error}"},
        {"log_outside_refused", "बाहरी पते से कनेक्शन अस्वीकार: {ip}"},
        {"log_address_blocked", "{ip} PIN {count} बार गलत — {until} तक अवरुद्ध"},
        {"log_pairing_paused", "कुल {count} गलत PIN (अंतिम {ip}) — नई पेयरिंग {until} तक रुकी"},
        {"log_line_too_long", "{ip} पंक्ति बहुत लंबी"},
        {"log_bad_greeting", "{ip} अमान्य अभिवादन"},
        {"log_greeted", "{name} ({ip}) कनेक्ट हो रहा है · ऐप {version}"},
        {"log_pairing_request", "{name} ({ip}) पेयरिंग अनुरोध — PIN {pin} दिखाया गया"},
        {"log_pairing_timeout", "{name} ({ip}) पेयरिंग का समय समाप्त"},
        {"log_pin_wrong", "{name} ({ip}) गलत PIN"},
        {"log_connected", "{name} ({ip}) कनेक्ट हुआ"},
        {"log_disconnected", "{name} डिस्कनेक्ट हुआ"},
        {"log_view_started", "{name} ({ip}) स्क्रीन देखना शुरू · चौड़ाई {width} · गुणवत्ता {quality}"},
        {"log_view_ended", "{name} ({ip}) स्क्रीन देखना समाप्त"},
        {"log_view_denied", "{name} ({ip}) स्क्रीन देखना — स्क्रीन रिकॉर्डिंग की अनुमति नहीं"},
    };
}

}  // namespace velora::strings
