// The tray shell: the status icon and its menu, the pairing prompt and the permission flow, wired
// to the control server. Everything here runs on the Qt main thread; the server's callbacks are
// queued onto it, except log lines, which are written at once.
#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainThreadQueue.h"
#include "app/PhoneWindow.h"
#include "app/PinWindow.h"
#include "app/StatusChannel.h"
#include "app/StatusWindow.h"
#include "core/net/NetServer.h"
#include "core/shell/MenuModel.h"
#include "core/shell/PermissionFlow.h"
#include "core/store/AutoStart.h"
#include "core/store/Store.h"

class QUrl;

namespace velora {

struct ShellOptions {
    ServerOptions server;
    AutoStartProfile autoStart;
    // Opens an address with the desktop's handler.
    std::function<bool(const QUrl&)> openUrl;
    // Shows the permission alert modally.
    std::function<PermissionFlow::Answer(const PermissionFlow::AlertText&)> runAlert;
    // How long a pairing prompt is on screen before Allow takes effect.
    std::chrono::milliseconds allowDelay{1000};
    // Where a second start asks this shell to show its status; none when empty.
    std::filesystem::path statusSocket;
    // Whether the desktop shows a system tray now; without one the status opens in a window.
    std::function<bool()> trayAvailable;

    ShellOptions();
};

class AppDelegate : public QObject {
    Q_OBJECT

public:
    AppDelegate(std::shared_ptr<Store> store, Platform platform, ShellOptions options = {});
    ~AppDelegate() override;

    // Shows the icon and menu, starts the server and the permission watch.
    void launch();

    // The menu and prompt as they stand, for tests and screenshots.
    QMenu* menu() const { return menu_; }
    PinWindow* pinWindow() const { return pinWindow_; }
    PhoneWindow* phoneWindow() const { return phoneWindow_; }
    StatusWindow* statusWindow() const { return statusWindow_; }
    QSystemTrayIcon& trayIcon() { return tray_; }
    NetServer& server() { return *server_; }
    const std::vector<std::string>& viewers() const { return viewers_; }

    void rebuildMenu();
    // Pops the status menu up where the pointer is; without a system tray, whose menu a panel
    // could show, opens the status window instead.
    void showStatus();

private:
    void wireServer();
    void render(QMenu* into, const std::vector<MenuEntry>& entries);
    void showPin(const QString& name, const QString& ip, const QString& pin,
                 std::function<void()> approve);
    void hidePin();
    void allowPressed();
    void viewer(const std::string& name, bool on);
    void perform(MenuAction action, const QString& token);
    void openAddress(const std::string& address);
    void showPhoneLink();
    void showStatusWindow();
    std::optional<std::string> localIP() const;
    PermissionFlow::Hooks permissionHooks();

    std::shared_ptr<Store> store_;
    Platform platform_;
    ShellOptions options_;
    std::unique_ptr<NetServer> server_;
    QSystemTrayIcon tray_;
    QPointer<QMenu> menu_;
    QPointer<PinWindow> pinWindow_;
    QPointer<PhoneWindow> phoneWindow_;
    QPointer<StatusWindow> statusWindow_;
    std::function<void()> approveHandler_;
    std::vector<std::string> viewers_;
    std::optional<TrayIcon> shownIcon_;
    PermissionFlow permission_;
    MainThreadQueue mainThread_;
    std::unique_ptr<StatusChannel> status_;
};

// Tooltip text that shows exactly as written, also where tooltips would read it as markup.
QString plainToolTip(const QString& text);

}  // namespace velora
