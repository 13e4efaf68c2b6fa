// Vietnamese texts of the localization table.
#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_vi() {
    return {
        {"tray_none", "Không có thiết bị nào được kết nối"},
        {"tray_connected", "Đã kết nối: {n}"},
        {"tray_addr_pending", "Đang kiểm tra địa chỉ…"},
        {"tray_addr", "Địa chỉ của PC này: {addr}"},
        {"tray_devices", "Thiết bị đã ghép đôi"},
        {"tray_power", "Cho phép điều khiển nguồn PC"},
        {"tray_screen", "Cho phép xem màn hình từ điện thoại"},
        {"tray_autostart", "Khởi động cùng Windows"},
        {"tray_help", "Trợ giúp"},
        {"tray_quit", "Thoát"},
        {"tip_idle", "Velora — đang chờ"},
        {"tip_connected", "Velora — {n} đã kết nối"},
        {"tip_viewing", "Velora — màn hình đang được xem bởi: {names}"},
        {"balloon_running_title", "Velora đang chạy"},
        {"balloon_running_body", "Giờ điện thoại của bạn có thể tìm thấy PC này ({addr})."},
        {"balloon_viewing", "{name} đang xem màn hình này."},
        {"devices_none", "Chưa có"},
        {"device_forget", "{name} ({ip}) — Ngắt kết nối"},
        {"devices_forget_all", "Ngắt kết nối tất cả"},
        {"addr_unknown", "Không khả dụng"},
        {"pin_title", "Yêu cầu kết nối Velora"},
        {"pin_head", "{name} ({ip}) muốn kết nối."},
        {"pin_allow", "Cho phép"},
        {"pin_or", "Hoặc nhập số này trên điện thoại của bạn"},
        {"pin_foot", "Nếu bạn không nhận ra thiết bị này, hãy đóng cửa sổ này."},
        {"device_default", "Thiết bị"},
        {"mac_addr", "Địa chỉ của máy Mac này: {addr}"},
        {"mac_power", "Cho phép điều khiển nguồn máy Mac"},
        {"mac_login", "Mở khi đăng nhập"},
        {"mac_viewing", "Đang xem màn hình: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Cần quyền Trợ năng — bấm để mở cài đặt"},
        {"mac_ax_title", "Yêu cầu quyền Trợ năng"},
        {"mac_ax_body",
         "Để điện thoại của bạn có thể điều khiển chuột và bàn phím của máy Mac này, hãy bật quyền "
         "này.\n\n"
         "Cài đặt hệ thống › Quyền riêng tư & Bảo mật › Trợ năng — bật Velora.\n"
         "Thay đổi có hiệu lực ngay. Nếu con trỏ vẫn không di chuyển, hãy thoát ứng dụng rồi mở "
         "lại."},
        {"mac_open_settings", "Mở Cài đặt"},
        {"mac_later", "Để sau"},
    };
}

Texts linuxTexts_vi() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Không thể điều khiển nhập liệu — bấm để xem trợ giúp"},
        {"linux_ax_title", "Không thể điều khiển nhập liệu"},
        {"linux_ax_body",
         "Velora di chuyển con trỏ và gõ phím qua phần mở rộng X11 XTEST, nhưng phiên này không "
         "cung cấp phần mở rộng đó.\n\n"
         "Hãy đăng xuất, chọn phiên X11 (Xorg) ở màn hình đăng nhập rồi khởi động lại Velora.\n"
         "Trong lúc đó, việc ghép đôi và xem màn hình vẫn hoạt động bình thường."},
        {"linux_ax_help", "Mở Trợ giúp"},
        {"linux_ports_closed",
         "⚠\uFE0E Không thể mở cổng TCP {tcp} và cổng UDP {udp} — điện thoại không thể kết nối tới "
         "PC này"},
        {"linux_control_closed",
         "⚠\uFE0E Không thể mở cổng TCP {port} — điện thoại không thể kết nối"},
        {"linux_discovery_closed",
         "⚠\uFE0E Không thể mở cổng UDP {port} — điện thoại không thể tìm thấy PC này"},
        {"settings_damaged_title", "Đã sửa cài đặt Velora"},
        {"settings_damaged",
         "Tệp cài đặt bị hỏng; một bản sao được giữ lại là {file}. Đã đặt lại: {what}"},
        {"phone_menu", "Kết nối điện thoại…"},
        {"phone_title", "Kết nối điện thoại"},
        {"phone_howto",
         "Mở địa chỉ này trong trình duyệt của điện thoại, hoặc quét mã bằng camera của điện "
         "thoại."},
        {"phone_named",
         "Địa chỉ này là tên máy tính: nó không đổi sau khi khởi động lại hoặc đổi mạng."},
        {"phone_numeric",
         "Đây là địa chỉ dạng số: nó có thể thay đổi khi mạng cấp cho máy tính một địa chỉ mới."},
        {"phone_others", "Cũng truy cập được tại:"},
        {"phone_none",
         "Chưa có địa chỉ mạng: hãy kết nối máy tính này vào cùng mạng với điện thoại của bạn."},
        {"log_discovery_port_failed", "Không mở được cổng khám phá: {error}"},
        {"log_control_port_failed", "Không mở được cổng điều khiển: {error}"},
        {"log_outside_refused", "Đã từ chối kết nối từ địa chỉ bên ngoài: {ip}"},
        {"log_address_blocked", "{ip} sai PIN {count} lần — bị chặn đến {until}"},
        {"log_pairing_paused",
         "Tổng cộng {count} lần sai PIN (gần nhất {ip}) — ghép nối mới tạm dừng đến {until}"},
        {"log_line_too_long", "{ip} dòng quá dài"},
        {"log_bad_greeting", "{ip} lời chào không hợp lệ"},
        {"log_greeted", "{name} ({ip}) đang kết nối · ứng dụng {version}"},
        {"log_pairing_request", "{name} ({ip}) yêu cầu ghép nối — đã hiện PIN {pin}"},
        {"log_pairing_timeout", "{name} ({ip}) hết thời gian ghép nối"},
        {"log_pin_wrong", "{name} ({ip}) sai PIN"},
        {"log_connected", "{name} ({ip}) đã kết nối"},
        {"log_disconnected", "{name} đã ngắt kết nối"},
        {"log_view_started",
         "{name} ({ip}) bắt đầu xem màn hình · rộng {width} · chất lượng {quality}"},
        {"log_view_ended", "{name} ({ip}) kết thúc xem màn hình"},
        {"log_view_denied", "{name} ({ip}) xem màn hình — không có quyền ghi màn hình"},
        {"linux_consent_warn", "⚠\uFE0E Chưa cho phép điều khiển nhập liệu — nhấp để được hỏi lại"},
        {"linux_consent_title", "Điều khiển nhập liệu cần sự đồng ý của bạn"},
        {"linux_consent_body",
         "Màn hình nền của bạn hỏi trong một cửa sổ riêng xem Velora có được điều khiển con trỏ, "
         "bàn phím và chia sẻ màn hình hay không.\n\n"
         "Hãy cho phép ở đó và bật tùy chọn ghi nhớ lựa chọn để không bị hỏi mỗi lần khởi động.\n"
         "Nếu cửa sổ đó đã bị từ chối hoặc bị đóng, hãy chọn Hỏi lại. Trong lúc đó Velora vẫn chạy "
         "và điện thoại vẫn được ghép đôi."},
        {"linux_consent_ask", "Hỏi lại"},
        {"linux_consent_console",
         "Điều khiển nhập liệu cần sự đồng ý của bạn: hãy cho phép trong cửa sổ mà màn hình nền "
         "hiển thị và để nó ghi nhớ lựa chọn. Nếu đã bị từ chối hoặc bị đóng, hãy gõ consent để "
         "được hỏi lại."},
        {"linux_no_compositor",
         "Không có trình tổng hợp Wayland nào phản hồi: nhập liệu không đến được đâu và không thể "
         "hiển thị màn hình"},
        {"linux_no_screen_backend",
         "Màn hình nền Wayland này không cung cấp tính năng chụp màn hình mà Velora dùng được: "
         "không thể hiển thị màn hình"},
        {"linux_no_input_backend",
         "Màn hình nền Wayland này không cung cấp tính năng điều khiển nhập liệu mà Velora dùng "
         "được: nhập liệu không đến được đâu"},
        {"linux_no_backend",
         "Màn hình nền Wayland này không cung cấp tính năng điều khiển nhập liệu hay chụp màn hình "
         "mà Velora dùng được: nhập liệu không đến được đâu và không thể hiển thị màn hình"},
    };
}

}  // namespace velora::strings
