#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "../unit/shell/QrReader.h"
#include "../unit/store/FileTestSupport.h"
#include "app/AppDelegate.h"
#include "app/PhoneWindow.h"
#include "app/PinWindow.h"
#include "app/StatusWindow.h"
#include "core/shell/L.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/sim/RecordingEventSink.h"
#include "platform/sim/RecordingLauncher.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"

namespace velora {
namespace {

using testing_support::TempFolder;

// Runs `fn` on a thread of its own, as the server raises its callbacks, and waits for it.
template <typename Fn>
void fromServerThread(Fn fn) {
    std::thread(fn).join();
}

std::vector<QString> texts(const QMenu* menu) {
    std::vector<QString> out;
    for (const QAction* action : menu->actions())
        out.push_back(action->isSeparator() ? "---" : action->text());
    return out;
}

QAction* actionTitled(const QMenu* menu, const QString& title) {
    for (QAction* action : menu->actions()) {
        if (action->text() == title) return action;
        if (action->menu()) {
            if (QAction* inner = actionTitled(action->menu(), title)) return inner;
        }
    }
    return nullptr;
}

// A paired phone on the control port: greets with its token and stays connected.
class PhoneConnection {
public:
    PhoneConnection(uint16_t port, const std::string& token) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const std::string hello = "HELLO Phone " + token + " 1.0\n";
        EXPECT_EQ(::send(fd_, hello.data(), hello.size(), 0), static_cast<ssize_t>(hello.size()));
    }
    ~PhoneConnection() { ::close(fd_); }

private:
    int fd_ = -1;
};

testing_support::GreyPicture greyPicture(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    testing_support::GreyPicture picture{grey.width(), grey.height(), {}};
    for (int y = 0; y < grey.height(); ++y)
        picture.pixels.insert(picture.pixels.end(), grey.constScanLine(y),
                              grey.constScanLine(y) + grey.width());
    return picture;
}

QString labelText(const QWidget* window, const char* name) {
    const auto* label = window->findChild<QLabel*>(name);
    return label ? label->text() : "(no label " + QString(name) + ")";
}

bool showsIcon(const QSystemTrayIcon& tray, const QString& resource) {
    const QImage expected = QIcon(resource).pixmap(32).toImage();
    EXPECT_FALSE(expected.isNull()) << "icon resource " << resource.toStdString();
    return !expected.isNull() && tray.icon().pixmap(32).toImage() == expected;
}

class TrayShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_shared<Store>(folder.path / "config");
        events->trust = true;
        system->address = "192.168.1.20";
        platform.events = events;
        platform.keymap = std::make_shared<linux_::LinuxKeymap>();
        platform.displays = std::make_shared<sim::SimDisplays>();
        platform.launcher = launcher;
        platform.system = system;
        platform.screenPermission = [] { return false; };
        options.server.controlPort = 0;
        options.server.discoveryPort = 0;
        options.autoStart = linuxAutoStartProfile(folder.path / "xdg", "/opt/velora/velora");
        options.allowDelay = std::chrono::milliseconds(0);
        options.openUrl = [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        };
        options.runAlert = [this](const PermissionFlow::AlertText& text) {
            ++alerts;
            alertTitles.push_back(text.title);
            return answer;
        };
        options.trayAvailable = [this] { return tray; };
        shell = std::make_unique<AppDelegate>(store, platform, options);
    }

    void TearDown() override { shell.reset(); }

    TempFolder folder;
    std::shared_ptr<Store> store;
    std::shared_ptr<sim::RecordingEventSink> events = std::make_shared<sim::RecordingEventSink>();
    std::shared_ptr<sim::SimSystemInfo> system = std::make_shared<sim::SimSystemInfo>();
    std::shared_ptr<sim::RecordingLauncher> launcher = std::make_shared<sim::RecordingLauncher>();
    Platform platform;
    ShellOptions options;
    std::vector<QUrl> opened;
    int alerts = 0;
    std::vector<std::string> alertTitles;
    PermissionFlow::Answer answer = PermissionFlow::Answer::Later;
    bool tray = true;
    std::unique_ptr<AppDelegate> shell;
};

TEST_F(TrayShellTest, MenuIsRenderedFromTheModelAndItsActionsWork) {
    store->pair("Ann's & Bob's", "10.0.0.5");
    shell->launch();
    QMenu* menu = shell->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(shell->trayIcon().contextMenu(), menu);
    EXPECT_EQ(texts(menu), (std::vector<QString>{
                               "Velora", "No device connected", "This PC's address: 192.168.1.20",
                               "---", QString::fromUtf8("Connect a phone\u2026"), "Paired devices",
                               "Allow PC power control", "Allow screen viewing from phone",
                               "Open at Login", "---", "Help", "Quit"}));
    EXPECT_FALSE(menu->actions()[1]->isEnabled());
    EXPECT_EQ(menu->actions()[11]->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(shell->trayIcon().toolTip(), QString::fromUtf8("Velora \u2014 waiting"));

    // A phone's "&" shows as itself rather than underlining the next letter.
    QMenu* devices = menu->actions()[5]->menu();
    ASSERT_NE(devices, nullptr);
    QAction* forget = devices->actions()[0];
    EXPECT_EQ(forget->text(), QString::fromUtf8("Ann's && Bob's (10.0.0.5) \u2014 Disconnect"));

    QAction* power = actionTitled(menu, "Allow PC power control");
    ASSERT_TRUE(power && power->isCheckable() && power->isChecked());
    power->trigger();
    EXPECT_FALSE(store->allowPower());
    EXPECT_NE(shell->menu(), menu) << "the menu is rebuilt after a switch";
    EXPECT_FALSE(actionTitled(shell->menu(), "Allow PC power control")->isChecked());

    actionTitled(shell->menu(), "Open at Login")->trigger();
    EXPECT_TRUE(std::filesystem::exists(folder.path / "xdg" / "autostart" / "velora.desktop"));
    EXPECT_TRUE(actionTitled(shell->menu(), "Open at Login")->isChecked());

    actionTitled(shell->menu(), QString::fromUtf8("Ann's && Bob's (10.0.0.5) \u2014 Disconnect"))
        ->trigger();
    EXPECT_TRUE(store->devices().empty());
    EXPECT_EQ(texts(shell->menu()->actions()[5]->menu()), std::vector<QString>{"None yet"});

    actionTitled(shell->menu(), "Help")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString().toStdString(), L::helpURL());
}

TEST(TrayShellPorts, AControlPortHeldByAnotherProgramIsSaidInTheMenu) {
    TempFolder folder;
    const int holder = ::socket(AF_INET6, SOCK_STREAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_any;
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(holder, 1), 0);
    ASSERT_EQ(::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const uint16_t held = ntohs(address.sin6_port);

    Platform platform;
    platform.events = std::make_shared<sim::RecordingEventSink>();
    platform.keymap = std::make_shared<linux_::LinuxKeymap>();
    platform.displays = std::make_shared<sim::SimDisplays>();
    platform.launcher = std::make_shared<sim::RecordingLauncher>();
    auto system = std::make_shared<sim::SimSystemInfo>();
    system->address = "192.168.1.20";
    platform.system = system;
    platform.screenPermission = [] { return false; };
    ShellOptions options;
    options.server.controlPort = held;
    options.server.discoveryPort = 0;
    options.runAlert = [](const PermissionFlow::AlertText&) {
        return PermissionFlow::Answer::Later;
    };
    AppDelegate shell(std::make_shared<Store>(folder.path / "config"), platform, options);
    shell.launch();
    EXPECT_EQ(texts(shell.menu())[3].toStdString(),
              "\u26A0\uFE0E TCP port " + std::to_string(held) +
                  " could not be opened \u2014 phones cannot connect");
    EXPECT_EQ(texts(shell.menu())[4], "---");
    ::close(holder);
}

TEST_F(TrayShellTest, CallbacksFromTheServerThreadRunOnTheMainThread) {
    shell->launch();
    QMenu* before = shell->menu();
    fromServerThread([this] { shell->server().onClientsChanged(); });
    EXPECT_EQ(shell->menu(), before) << "the rebuild must wait for the main thread";
    QTRY_VERIFY(shell->menu() != before);
    EXPECT_EQ(shell->menu()->thread(), QThread::currentThread());

    fromServerThread([this] {
        shell->server().onScreenViewer("A", true);
        shell->server().onScreenViewer("<b>B</b>", true);
        shell->server().onScreenViewer("A", true);
        shell->server().onScreenViewer("A", false);
        shell->server().onScreenViewer("nobody", false);
    });
    QTRY_COMPARE(shell->viewers().size(), 2u);
    EXPECT_EQ(shell->viewers(), (std::vector<std::string>{"<b>B</b>", "A"}));
    EXPECT_EQ(shell->menu()->actions()[3]->text(), "Viewing screen: <b>B</b>, A");
    // Tooltips may be read as markup; a phone's name must still show as written.
    QTextDocument tip;
    tip.setHtml(shell->trayIcon().toolTip());
    EXPECT_EQ(tip.toPlainText(), QString::fromUtf8("Velora \u2014 screen viewed by: <b>B</b>, A"));

    EXPECT_TRUE(showsIcon(shell->trayIcon(), ":/velora/icons/eye.svg"));
    fromServerThread([this] {
        shell->server().onScreenViewer("A", false);
        shell->server().onScreenViewer("<b>B</b>", false);
    });
    QTRY_VERIFY(shell->viewers().empty());
    EXPECT_TRUE(showsIcon(shell->trayIcon(), ":/velora/icons/pointer.svg"));

    // Log lines are written at once, on the calling thread.
    fromServerThread([this] {
        shell->server().onLog({.kind = LogKind::Disconnected, .name = "Phone from the server"});
    });
    EXPECT_NE(testing_support::readFile(store->logPath()).find("Phone from the server 연결 해제"),
              std::string::npos);
}

TEST_F(TrayShellTest, PairingWindowShowsPhoneTextAsPlainTextAndReturnAllows) {
    shell->launch();
    std::atomic<int> approved{0};
    const std::string name = "<b>Eve</b><img src=x> {ip}\rx";
    fromServerThread(
        [&] { shell->server().onPinShow(name, "10.0.0.7", "123456", [&] { ++approved; }); });
    QTRY_VERIFY(shell->pinWindow() != nullptr);
    PinWindow* window = shell->pinWindow();
    EXPECT_EQ(window->thread(), QThread::currentThread());
    EXPECT_EQ(window->size(), QSize(400, 290));
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->windowTitle(), "Velora connection request");

    const auto labels = window->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 4);
    for (const QLabel* label : labels) EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(labels[0]->text().replace('\n', ' '),
              "<b>Eve</b><img src=x> {ip}?x (10.0.0.7) wants to connect.");
    EXPECT_EQ(labels[2]->text(), "123456");

    window->activateWindow();
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(approved.load(), 1);
    EXPECT_EQ(shell->pinWindow(), nullptr);
}

TEST_F(TrayShellTest, ASecondPromptReplacesTheFirstAndOnlyItIsApproved) {
    shell->launch();
    std::atomic<int> first{0}, second{0};
    fromServerThread([&] {
        shell->server().onPinShow("One", "10.0.0.1", "111111", [&] { ++first; });
        // The first pairing ends and the next one's prompt follows at once.
        shell->server().onPinHide();
        shell->server().onPinShow("Two", "10.0.0.2", "222222", [&] { ++second; });
    });
    QTRY_VERIFY(shell->pinWindow() != nullptr &&
                shell->pinWindow()->findChildren<QLabel*>()[2]->text() == "222222");
    QTest::qWait(50);
    ASSERT_NE(shell->pinWindow(), nullptr) << "the second prompt stays on screen";
    const auto windows = QApplication::topLevelWidgets();
    EXPECT_EQ(
        std::count_if(windows.begin(), windows.end(),
                      [](QWidget* w) { return qobject_cast<PinWindow*>(w) && w->isVisible(); }),
        1);
    shell->pinWindow()->allowButton()->click();
    EXPECT_EQ(first.load(), 0);
    EXPECT_EQ(second.load(), 1);
}

// Neither a click nor Return approves a prompt that has just come up; once it has been up for
// the delay, both do.
TEST(PinWindowDelay, AllowWorksOnlyAfterThePromptHasBeenUp) {
    int allowed = 0;
    PinWindow early("Two", "10.0.0.2", "222222", std::chrono::hours(1));
    QObject::connect(&early, &PinWindow::allowed, [&] { ++allowed; });
    early.show();
    early.activateWindow();
    QTest::keyClick(&early, Qt::Key_Return);
    early.allowButton()->click();
    EXPECT_EQ(allowed, 0);
    EXPECT_FALSE(early.allowButton()->isEnabled());

    PinWindow later("Two", "10.0.0.2", "222222", std::chrono::milliseconds(20));
    QObject::connect(&later, &PinWindow::allowed, [&] { ++allowed; });
    later.show();
    later.activateWindow();
    QTRY_VERIFY(later.allowButton()->isEnabled());
    QTest::keyClick(&later, Qt::Key_Return);
    EXPECT_EQ(allowed, 1);
}

TEST_F(TrayShellTest, ClosedPromptHoldsThePermissionAlertBackUntilHidden) {
    events->trust = false;
    shell->launch();
    QTRY_COMPARE(alerts, 1);  // right after launch
    EXPECT_NE(actionTitled(shell->menu(),
                           QString::fromUtf8("\u26A0\uFE0E Input control unavailable \u2014 "
                                             "click for help")),
              nullptr);

    fromServerThread([this] { shell->server().onPinShow("P", "10.0.0.3", "333333", [] {}); });
    QTRY_VERIFY(shell->pinWindow() != nullptr);
    shell->pinWindow()->close();
    ASSERT_NE(shell->pinWindow(), nullptr) << "closing only hides the prompt";

    // A paired phone connects while the prompt is closed but not ended: no alert yet.
    PhoneConnection first(shell->server().controlPort(), store->pair("First", "127.0.0.1"));
    QTRY_VERIFY(actionTitled(shell->menu(), "Connected: 1") != nullptr);
    QTest::qWait(50);
    EXPECT_EQ(alerts, 1);

    fromServerThread([this] { shell->server().onPinHide(); });
    QTRY_VERIFY(shell->pinWindow() == nullptr);
    PhoneConnection second(shell->server().controlPort(), store->pair("Second", "127.0.0.1"));
    QTRY_COMPARE(alerts, 2);
}

TEST_F(TrayShellTest, ConnectAPhoneShowsTheAddressItsKindAndACodeThatReadsAsIt) {
    system->host = "Velora-PC";
    system->addresses = {"192.168.1.20", "fd00::20"};
    shell->launch();
    const std::string port = std::to_string(shell->server().controlPort());
    const auto url = [&](const std::string& host) { return "http://" + host + ":" + port + "/"; };
    struct Case {
        std::set<std::string> ownNames;
        std::string url;
        QString kind;
        std::string others;
    };
    const Case cases[] = {
        {{"velora-pc.local"},
         url("velora-pc.local"),
         "This address is the computer's name: it stays the same after a restart or a network "
         "change.",
         url("192.168.1.20") + "\n" + url("[fd00::20]")},
        {{},
         url("192.168.1.20"),
         "This is a numeric address: it may change when the network gives the computer a new one.",
         url("[fd00::20]")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        system->ownNames = c.ownNames;
        actionTitled(shell->menu(), QString::fromUtf8("Connect a phone\u2026"))->trigger();
        QTRY_VERIFY(shell->phoneWindow() && shell->phoneWindow()->isVisible());
        PhoneWindow* window = shell->phoneWindow();
        EXPECT_EQ(window->windowTitle(), "Connect a phone");
        EXPECT_EQ(labelText(window, "url").toStdString(), c.url);
        EXPECT_TRUE(window->findChild<QLabel*>("url")->textInteractionFlags() &
                    Qt::TextSelectableByMouse);
        EXPECT_EQ(labelText(window, "kind"), c.kind);
        EXPECT_EQ(labelText(window, "howto"),
                  "Open this address in your phone's browser, or scan the code with its camera.");
        EXPECT_EQ(labelText(window, "others").toStdString(), c.others);

        // The window as shown holds a code that reads as the address.
        EXPECT_EQ(testing_support::readQrCodes(greyPicture(window->grab().toImage())),
                  std::vector<std::string>{c.url});
        // Crisp: whole pixels per module, pure black and white.
        const QImage code = window->findChild<QLabel*>("code")->pixmap().toImage();
        const int span = QrCode::encode(c.url)->size() + 2 * QrCode::kQuietZone;
        EXPECT_EQ(code.size(), QSize(span, span) * PhoneWindow::kModulePixels);
        const auto grey = greyPicture(code).pixels;
        EXPECT_TRUE(
            std::all_of(grey.begin(), grey.end(), [](uint8_t v) { return v == 0 || v == 255; }));

        const auto windows = QApplication::topLevelWidgets();
        EXPECT_EQ(std::count_if(
                      windows.begin(), windows.end(),
                      [](QWidget* w) { return qobject_cast<PhoneWindow*>(w) && w->isVisible(); }),
                  1)
            << "a second choice replaces the window";
    }
}

TEST_F(TrayShellTest, ConnectAPhoneWithoutANetworkAddressSaysSo) {
    system->addresses = {"127.0.0.1", "203.0.113.9"};
    shell->launch();
    actionTitled(shell->menu(), QString::fromUtf8("Connect a phone\u2026"))->trigger();
    QTRY_VERIFY(shell->phoneWindow() != nullptr);
    EXPECT_EQ(labelText(shell->phoneWindow(), "none"),
              "No network address yet: connect this computer to the same network as your phone.");
    EXPECT_EQ(shell->phoneWindow()->findChild<QLabel*>("code"), nullptr);
    EXPECT_EQ(shell->phoneWindow()->findChild<QLabel*>("url"), nullptr);
}

TEST(PinWindowText, LongNamesWrapWithinTheTextWidth) {
    const QString longName(120, QChar('W'));
    PinWindow window(longName, "10.0.0.8", "654321", std::chrono::milliseconds(0));
    const QLabel* head = window.findChildren<QLabel*>()[0];
    EXPECT_GT(head->text().count('\n'), 0);
    for (const QString& line : head->text().split('\n'))
        EXPECT_LE(head->fontMetrics().horizontalAdvance(line), PinWindow::kTextWidth)
            << line.toStdString();
    // Only line breaks change: spaces at a break make way for it, nothing else is lost.
    const auto squeezed = [](QString text) { return text.remove('\n').remove(' '); };
    EXPECT_EQ(squeezed(head->text()), squeezed(longName + " (10.0.0.8) wants to connect."));
}

}  // namespace
}  // namespace velora

namespace velora {
namespace {

// What the status window shows now, in order: "label:", "button:", "check:" or "[x]" for a
// checked box, "group:" for a submenu's frame. Content being replaced is hidden, so only the
// current entries count.
std::vector<QString> windowContent(const QWidget* window) {
    std::vector<QString> out;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) continue;
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            out.push_back((box->isChecked() ? "[x]" : "check:") + box->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            out.push_back("button:" + button->text());
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            out.push_back("label:" + label->text());
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            out.push_back("group:" + group->title());
        }
    }
    return out;
}

QAbstractButton* buttonTitled(const QWidget* window, const QString& text) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window) && button->text() == text) return button;
    }
    return nullptr;
}

bool showsLine(const QWidget* window, const QString& line) {
    const auto content = windowContent(window);
    return std::find(content.begin(), content.end(), line) != content.end();
}

TEST_F(TrayShellTest, WithoutATrayTheStatusOpensInAWindowWhoseEntriesWork) {
    tray = false;
    store->pair("Ann's & Bob's", "10.0.0.5");
    shell->launch();
    StatusWindow* window = shell->statusWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(
        windowContent(window),
        (std::vector<QString>{
            "label:Velora", "label:No device connected", "label:This PC's address: 192.168.1.20",
            QString::fromUtf8("button:Connect a phone\u2026"), "group:Paired devices",
            QString::fromUtf8("button:Ann's && Bob's (10.0.0.5) \u2014 "
                              "Disconnect"),
            "button:Disconnect all", "[x]Allow PC power control",
            "[x]Allow screen viewing from phone", "check:Open at Login", "button:Help",
            "button:Quit"}));

    buttonTitled(window, "Allow PC power control")->click();
    EXPECT_FALSE(store->allowPower());
    EXPECT_TRUE(showsLine(window, "check:Allow PC power control")) << "rebuilt from the store";
    buttonTitled(window, "Open at Login")->click();
    EXPECT_TRUE(std::filesystem::exists(folder.path / "xdg" / "autostart" / "velora.desktop"));

    buttonTitled(window, QString::fromUtf8("Ann's && Bob's (10.0.0.5) \u2014 Disconnect"))->click();
    EXPECT_TRUE(store->devices().empty());
    EXPECT_TRUE(showsLine(window, "label:None yet"));

    buttonTitled(window, QString::fromUtf8("Connect a phone\u2026"))->click();
    EXPECT_NE(shell->phoneWindow(), nullptr);
    buttonTitled(window, "Help")->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString().toStdString(), L::helpURL());
    // Buttons replaced by a rebuild go once their click has returned.
    const auto content = windowContent(window);
    const auto controls = std::count_if(content.begin(), content.end(), [](const QString& line) {
        return !line.startsWith("label:") && !line.startsWith("group:");
    });
    QTRY_COMPARE(window->findChildren<QAbstractButton*>().size(), controls);
}

TEST_F(TrayShellTest, TheStatusWindowFollowsTheServerAndASecondStartShowsItAgain) {
    tray = false;
    options.statusSocket = folder.path / "status.sock";
    shell = std::make_unique<AppDelegate>(store, platform, options);
    shell->launch();
    QPointer<StatusWindow> window = shell->statusWindow();
    ASSERT_NE(window, nullptr);

    fromServerThread([this] { shell->server().onScreenViewer("Pad & Co", true); });
    QTRY_VERIFY(showsLine(window, "label:Viewing screen: Pad & Co"));

    window->close();
    EXPECT_FALSE(window->isVisible());
    ASSERT_FALSE(window.isNull()) << "closing only hides the window";
    ASSERT_TRUE(StatusChannel::request(options.statusSocket));
    QTRY_VERIFY(window->isVisible());
    EXPECT_EQ(shell->statusWindow(), window.data());
}

TEST_F(TrayShellTest, WithATrayThereIsNoStatusWindow) {
    shell->launch();
    EXPECT_EQ(shell->statusWindow(), nullptr);
}

TEST_F(TrayShellTest, ConsentIsAskedAgainOnlyFromTheWarningEntry) {
    int consentAsked = 0;
    events->trust = false;
    tray = false;
    platform.askConsent = [&consentAsked] { ++consentAsked; };
    shell = std::make_unique<AppDelegate>(store, platform, options);
    shell->launch();
    StatusWindow* window = shell->statusWindow();
    ASSERT_NE(window, nullptr);
    const QString warning = QString::fromUtf8(
        "\u26A0\uFE0E Input control not allowed yet \u2014 click to be asked again");
    ASSERT_NE(buttonTitled(window, warning), nullptr);
    EXPECT_NE(actionTitled(shell->menu(), warning), nullptr);

    // A phone connects: the desktop's dialog may still be up, so nothing comes over it.
    PhoneConnection phone(shell->server().controlPort(), store->pair("Phone", "127.0.0.1"));
    QTRY_VERIFY(showsLine(window, "label:Connected: 1"));
    QCoreApplication::processEvents();
    EXPECT_EQ(alerts, 0);

    buttonTitled(window, warning)->click();
    EXPECT_EQ(alertTitles, std::vector<std::string>{"Input control needs your consent"});
    EXPECT_EQ(consentAsked, 0) << "Later asks nothing";
    answer = PermissionFlow::Answer::Help;
    actionTitled(shell->menu(), warning)->trigger();
    EXPECT_EQ(consentAsked, 1);
    EXPECT_TRUE(opened.empty());

    events->trust = true;
    shell->rebuildMenu();
    EXPECT_EQ(buttonTitled(window, warning), nullptr);
}

}  // namespace
}  // namespace velora
