#include "app/AppDelegate.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "core/shell/L.h"
#include "core/shell/SettingsNotice.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initTrayResources() {
    Q_INIT_RESOURCE(tray);
}

namespace velora {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QIcon iconFor(TrayIcon icon) {
    return QIcon(icon == TrayIcon::Eye ? ":/velora/icons/eye.svg" : ":/velora/icons/pointer.svg");
}

PermissionFlow::Answer runAlertBox(const PermissionFlow::AlertText& text) {
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle("Velora");
    box.setTextFormat(Qt::PlainText);
    box.setText(q(text.title));
    box.setInformativeText(q(text.body));
    QPushButton* help = box.addButton(q(text.helpButton), QMessageBox::AcceptRole);
    box.addButton(q(text.laterButton), QMessageBox::RejectRole);
    box.setDefaultButton(help);
    box.exec();
    return box.clickedButton() == help ? PermissionFlow::Answer::Help
                                       : PermissionFlow::Answer::Later;
}

}  // namespace

ShellOptions::ShellOptions()
    : openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      runAlert(runAlertBox),
      trayAvailable([] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {}

QString plainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    return "<qt>" + text.toHtmlEscaped() + "</qt>";
}

AppDelegate::AppDelegate(std::shared_ptr<Store> store, Platform platform, ShellOptions options)
    : store_(std::move(store)),
      platform_(std::move(platform)),
      options_(std::move(options)),
      permission_(permissionHooks(), MenuProfile::Linux, L::lang()) {
    initTrayResources();
}

// The server goes first, so that no callback runs into a half-destroyed shell.
AppDelegate::~AppDelegate() {
    server_.reset();
    delete pinWindow_.data();
    delete phoneWindow_.data();
    delete statusWindow_.data();
    delete menu_;
}

void AppDelegate::launch() {
    rebuildMenu();
    // A left click opens the menu too, as most trays do for an icon that has nothing else.
    connect(&tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger && menu_) menu_->popup(QCursor::pos());
            });
    tray_.show();
    if (store_->damage()) {
        const SettingsNotice notice = settingsNotice(*store_->damage(), L::lang());
        tray_.showMessage(q(notice.title), q(notice.body), QSystemTrayIcon::Warning);
    }
    if (!options_.statusSocket.empty()) {
        status_ = std::make_unique<StatusChannel>(options_.statusSocket, [this] { showStatus(); });
    }
    server_ = std::make_unique<NetServer>(store_, platform_, options_.server);
    wireServer();
    server_->start();
    // The status line says which ports could not be opened.
    rebuildMenu();
    if (!options_.trayAvailable()) showStatusWindow();
    permission_.launch();
}

void AppDelegate::wireServer() {
    // Run on the main thread in the order the server raised them. The server is destroyed before
    // the queue, and tasks still queued then are dropped.
    server_->onPinShow = [this](const std::string& name, const std::string& ip,
                                const std::string& pin, std::function<void()> approve) {
        mainThread_.post([this, name, ip, pin, approve = std::move(approve)] {
            showPin(q(name), q(ip), q(pin), approve);
        });
    };
    server_->onPinHide = [this] { mainThread_.post([this] { hidePin(); }); };
    server_->onClientsChanged = [this] {
        mainThread_.post([this] {
            rebuildMenu();
            permission_.clientsChanged(server_->clients().size());
        });
    };
    server_->onLog = [this](const LogEvent& event) { store_->log(event.text()); };
    server_->onScreenViewer = [this](const std::string& name, bool on) {
        mainThread_.post([this, name, on] { viewer(name, on); });
    };
}

void AppDelegate::rebuildMenu() {
    MenuInputs in;
    in.language = L::lang();
    in.clientCount = server_ ? server_->clients().size() : 0;
    in.viewers = viewers_;
    in.trusted = platform_.events && platform_.events->trusted();
    in.consent = static_cast<bool>(platform_.askConsent);
    in.devices = store_->devices();
    in.allowPower = store_->allowPower();
    in.allowScreen = store_->allowScreen();
    in.launchAtLogin = AutoStart::isOn(options_.autoStart);
    in.localAddress = localIP();
    if (server_ && !server_->controlPort()) in.closedControlPort = options_.server.controlPort;
    if (server_ && !server_->discoveryPort())
        in.closedDiscoveryPort = options_.server.discoveryPort;
    const StatusMenu model = buildStatusMenu(in);

    auto* menu = new QMenu();
    render(menu, model.entries);
    // The old menu may be the one whose action is running now; it goes once that returns.
    QMenu* old = menu_;
    tray_.setContextMenu(menu);
    menu_ = menu;
    if (old) old->deleteLater();
    tray_.setToolTip(plainToolTip(q(model.tooltip)));
    if (!shownIcon_ || *shownIcon_ != model.icon) {
        tray_.setIcon(iconFor(model.icon));
        shownIcon_ = model.icon;
    }
    if (statusWindow_) {
        statusWindow_->setEntries(model.entries);
        statusWindow_->setWindowIcon(iconFor(model.icon));
    }
}

void AppDelegate::showStatus() {
    if (!options_.trayAvailable()) {
        showStatusWindow();
        return;
    }
    if (!menu_) return;
    menu_->popup(QCursor::pos());
    menu_->activateWindow();
}

// The window stays for the life of the shell once made; closing it only hides it. It is shown
// afresh each time: one minimized or unmapped behind Qt's back still counts as visible, and
// show() alone would leave it off the screen.
void AppDelegate::showStatusWindow() {
    if (!statusWindow_) {
        statusWindow_ = new StatusWindow(
            [this](MenuAction action, const QString& token) { perform(action, token); });
        rebuildMenu();
    }
    statusWindow_->hide();
    statusWindow_->showNormal();
    statusWindow_->raise();
    statusWindow_->activateWindow();
}

void AppDelegate::render(QMenu* into, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            into->addSeparator();
            continue;
        }
        QAction* action = into->addAction(q(entry.title));
        action->setEnabled(entry.enabled);
        action->setCheckable(isToggle(entry.action));
        action->setChecked(entry.checked);
        if (!entry.keyEquivalent.empty())
            action->setShortcut(QKeySequence("Ctrl+" + q(entry.keyEquivalent).toUpper()));
        const QString token = entry.token ? q(*entry.token) : QString();
        if (entry.token) action->setData(token);
        if (entry.action != MenuAction::None) {
            connect(action, &QAction::triggered, this,
                    [this, what = entry.action, token] { perform(what, token); });
        }
        if (!entry.submenu.empty()) {
            auto* submenu = new QMenu(into);
            render(submenu, entry.submenu);
            action->setMenu(submenu);
        }
    }
}

void AppDelegate::perform(MenuAction action, const QString& token) {
    switch (action) {
        case MenuAction::TogglePower:
            store_->setAllowPower(!store_->allowPower());
            break;
        case MenuAction::ToggleScreen:
            store_->setAllowScreen(!store_->allowScreen());
            break;
        case MenuAction::ToggleAutoStart:
            AutoStart::set(options_.autoStart, !AutoStart::isOn(options_.autoStart),
                           *platform_.launcher);
            break;
        case MenuAction::ForgetDevice:
            store_->forget(token.toStdString());
            break;
        case MenuAction::ForgetAll:
            store_->forgetAll();
            break;
        case MenuAction::OpenPermissionHelp:
            permission_.warningChosen();
            return;
        case MenuAction::ConnectPhone:
            showPhoneLink();
            return;
        case MenuAction::OpenHelp:
            openAddress(L::helpURL());
            return;
        case MenuAction::Quit:
            QCoreApplication::quit();
            return;
        case MenuAction::None:
            return;
    }
    rebuildMenu();
}

void AppDelegate::openAddress(const std::string& address) {
    const QUrl url(q(address), QUrl::StrictMode);
    if (url.isValid()) options_.openUrl(url);
}

// The addresses are looked up afresh each time: the network may have changed since the last.
void AppDelegate::showPhoneLink() {
    const uint16_t port = server_ ? server_->controlPort() : 0;
    const PhoneLink link =
        platform_.system && port != 0 ? currentPhoneLink(*platform_.system, port) : PhoneLink{};
    if (phoneWindow_) phoneWindow_->close();
    phoneWindow_ = new PhoneWindow(link);
    phoneWindow_->show();
    phoneWindow_->raise();
    phoneWindow_->activateWindow();
}

std::optional<std::string> AppDelegate::localIP() const {
    return platform_.system ? platform_.system->localAddress() : std::nullopt;
}

void AppDelegate::showPin(const QString& name, const QString& ip, const QString& pin,
                          std::function<void()> approve) {
    hidePin();
    auto* window = new PinWindow(name, ip, pin, options_.allowDelay);
    connect(window, &PinWindow::allowed, this, &AppDelegate::allowPressed);
    approveHandler_ = std::move(approve);
    window->show();
    window->raise();
    window->activateWindow();
    QApplication::beep();
    pinWindow_ = window;
}

void AppDelegate::hidePin() {
    if (!pinWindow_) return;
    pinWindow_->close();
    pinWindow_->deleteLater();
    pinWindow_ = nullptr;
}

void AppDelegate::allowPressed() {
    // The approval itself is posted onto the server thread by the server's own handler.
    if (approveHandler_) approveHandler_();
    hidePin();
}

void AppDelegate::viewer(const std::string& name, bool on) {
    if (on) {
        viewers_.push_back(name);
    } else if (auto it = std::find(viewers_.begin(), viewers_.end(), name); it != viewers_.end()) {
        viewers_.erase(it);
    }
    rebuildMenu();
}

PermissionFlow::Hooks AppDelegate::permissionHooks() {
    PermissionFlow::Hooks hooks;
    hooks.trusted = [this] { return platform_.events && platform_.events->trusted(); };
    hooks.promptShown = [this] { return !pinWindow_.isNull(); };
    hooks.runAlert = [this](const PermissionFlow::AlertText& text) {
        return options_.runAlert(text);
    };
    // Input on X11 cannot be granted from a settings pane; the help page explains the session.
    hooks.openHelp = [this] { openAddress(L::helpURL()); };
    hooks.askConsent = platform_.askConsent;
    hooks.log = [this](const std::string& line) { store_->log(line); };
    hooks.rebuildMenu = [this] { rebuildMenu(); };
    hooks.later = [this](std::function<void()> fn) { QTimer::singleShot(0, this, std::move(fn)); };
    hooks.every = [this](std::chrono::milliseconds interval, std::function<void()> fn) {
        auto* timer = new QTimer(this);
        timer->setInterval(interval);
        connect(timer, &QTimer::timeout, this, std::move(fn));
        timer->start();
    };
    return hooks;
}

}  // namespace velora
