#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_ja() {
    return {
        {"tray_none", "接続中のデバイスはありません"},
        {"tray_connected", "接続中: {n}"},
        {"tray_addr_pending", "アドレスを確認中…"},
        {"tray_addr", "この PC のアドレス: {addr}"},
        {"tray_devices", "ペアリング済みのデバイス"},
        {"tray_power", "PC の電源操作を許可"},
        {"tray_screen", "スマートフォンからの画面表示を許可"},
        {"tray_autostart", "Windows と同時に起動"},
        {"tray_help", "ヘルプ"},
        {"tray_quit", "終了"},
        {"tip_idle", "Velora — 待機中"},
        {"tip_connected", "Velora — {n} 台接続中"},
        {"tip_viewing", "Velora — 画面を表示中: {names}"},
        {"balloon_running_title", "Velora は実行中です"},
        {"balloon_running_body",
         "スマートフォンからこの PC ({addr}) を見つけられるようになりました。"},
        {"balloon_viewing", "{name} がこの画面を表示しています。"},
        {"devices_none", "まだありません"},
        {"device_forget", "{name} ({ip}) — 接続を解除"},
        {"devices_forget_all", "すべての接続を解除"},
        {"addr_unknown", "取得できません"},
        {"pin_title", "Velora 接続リクエスト"},
        {"pin_head", "{name} ({ip}) が接続を求めています。"},
        {"pin_allow", "許可"},
        {"pin_or", "またはスマートフォンでこの番号を入力してください"},
        {"pin_foot", "このデバイスに心当たりがない場合は、このウインドウを閉じてください。"},
        {"device_default", "デバイス"},
        {"mac_addr", "この Mac のアドレス: {addr}"},
        {"mac_power", "Mac の電源操作を許可"},
        {"mac_login", "ログイン時に開く"},
        {"mac_viewing", "画面を表示中: {names}"},
        {"mac_ax_warn", "⚠\uFE0E アクセシビリティの許可が必要です — クリックして設定を開く"},
        {"mac_ax_title", "アクセシビリティの許可が必要です"},
        {"mac_ax_body",
         "スマートフォンからこの Mac "
         "のマウスとキーボードを操作するには、この許可をオンにしてください。\n\n"
         "システム設定 › プライバシーとセキュリティ › アクセシビリティ — Velora をオンにします。\n"
         "設定はすぐに反映されます。それでもポインタが動かない場合は、アプリを終了してもう一度開い"
         "てください。"},
        {"mac_open_settings", "設定を開く"},
        {"mac_later", "後で"},
    };
}

Texts linuxTexts_ja() {
    return {
        {"linux_ax_warn", "⚠\uFE0E 入力操作を利用できません — クリックしてヘルプを表示"},
        {"linux_ax_title", "入力操作を利用できません"},
        {"linux_ax_body",
         "Velora は X11 の XTEST "
         "拡張機能を使ってポインタを動かし文字を入力しますが、このセッションではこの拡張機能を利用"
         "できません。\n\n"
         "ログアウトし、ログイン画面で X11 (Xorg) セッションを選んでから、Velora "
         "をもう一度起動してください。\n"
         "その間も、ペアリングと画面表示は引き続き利用できます。"},
        {"linux_ax_help", "ヘルプを開く"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP ポート {tcp} と UDP ポート {udp} を開けませんでした — スマートフォンからこの "
         "PC に接続できません"},
        {"linux_control_closed",
         "⚠\uFE0E TCP ポート {port} を開けませんでした — スマートフォンから接続できません"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP ポート {port} を開けませんでした — スマートフォンからこの PC "
         "を見つけられません"},
        {"settings_damaged_title", "Velora の設定を修復しました"},
        {"settings_damaged",
         "設定ファイルが壊れていました。コピーを {file} として保存しました。初期値に戻した項目: "
         "{what}"},
        {"phone_menu", "スマートフォンを接続…"},
        {"phone_title", "スマートフォンを接続"},
        {"phone_howto",
         "スマートフォンのブラウザでこのアドレスを開くか、カメラでコードを読み取ってください。"},
        {"phone_named",
         "このアドレスはコンピュータの名前です。再起動やネットワークの変更後も変わりません。"},
        {"phone_numeric",
         "これは数字のアドレスです。ネットワークから新しいアドレスが割り当てられると変わることがあ"
         "ります。"},
        {"phone_others", "次のアドレスでも接続できます:"},
        {"phone_none",
         "ネットワークアドレスがまだありません。このコンピュータをスマートフォンと同じネットワーク"
         "に接続してください。"},
        {"log_discovery_port_failed", "検出ポートを開けませんでした: {error}"},
        {"log_control_port_failed", "制御ポートを開けませんでした: {error}"},
        {"log_outside_refused", "外部アドレスからの接続を拒否: {ip}"},
        {"log_address_blocked", "{ip} PIN不一致 {count}回 — {until}までブロック"},
        {"log_pairing_paused",
         "PIN不一致 累計{count}回 (最後 {ip}) — {until}まで新しいペアリングを保留"},
        {"log_line_too_long", "{ip} 行が長すぎます"},
        {"log_bad_greeting", "{ip} 不正な挨拶"},
        {"log_greeted", "{name} ({ip}) 接続中 · アプリ {version}"},
        {"log_pairing_request", "{name} ({ip}) ペアリング要求 — PIN {pin} を表示"},
        {"log_pairing_timeout", "{name} ({ip}) ペアリングがタイムアウト"},
        {"log_pin_wrong", "{name} ({ip}) PIN不一致"},
        {"log_connected", "{name} ({ip}) 接続しました"},
        {"log_disconnected", "{name} 切断しました"},
        {"log_view_started", "{name} ({ip}) 画面表示を開始 · 幅 {width} · 画質 {quality}"},
        {"log_view_ended", "{name} ({ip}) 画面表示を終了"},
        {"log_view_denied", "{name} ({ip}) 画面表示 — 画面収録の権限がありません"},
        {"linux_consent_warn",
         "⚠\uFE0E 入力操作はまだ許可されていません — クリックするともう一度確認されます"},
        {"linux_consent_title", "入力操作には同意が必要です"},
        {"linux_consent_body",
         "デスクトップが専用のウィンドウで、Velora "
         "にポインタとキーボードの操作と画面の共有を許可するかどうかを尋ねます。\n\n"
         "そこで許可し、選択を記憶する設定をオンにすると、起動のたびに尋ねられることはありません。"
         "\n"
         "ウィンドウで拒否した場合や閉じた場合は、「もう一度確認」を選んでください。その間も "
         "Velora は動作を続け、スマートフォンのペアリングもそのままです。"},
        {"linux_consent_ask", "もう一度確認"},
        {"linux_consent_console",
         "入力操作には同意が必要です: "
         "デスクトップが表示するウィンドウで許可し、選択を記憶させてください。拒否した場合や閉じた"
         "場合は、consent と入力するともう一度確認されます。"},
        {"linux_no_compositor",
         "Wayland コンポジタが応答しません: 入力はどこにも届かず、画面を表示できません"},
        {"linux_no_screen_backend",
         "この Wayland デスクトップには Velora が使える画面キャプチャがありません: "
         "画面を表示できません"},
        {"linux_no_input_backend",
         "この Wayland デスクトップには Velora が使える入力操作の仕組みがありません: "
         "入力はどこにも届きません"},
        {"linux_no_backend",
         "この Wayland デスクトップには Velora "
         "が使える入力操作の仕組みも画面キャプチャもありません: "
         "入力はどこにも届かず、画面を表示できません"},
    };
}

}  // namespace velora::strings
