// Renders the tray menu, the status window that stands in for it where there is no tray, the
// pairing window and the phone address window to PNG files for the
// documentation, with made-up phones and a simulated computer: velora-shots OUTPUT_FOLDER. Run it
// on any X display or with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/AppDelegate.h"
#include "app/PhoneWindow.h"
#include "app/PinWindow.h"
#include "core/shell/PhoneLink.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/sim/RecordingEventSink.h"
#include "platform/sim/RecordingLauncher.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"

namespace {

velora::Platform simulatedComputer() {
    auto system = std::make_shared<velora::sim::SimSystemInfo>();
    system->address = "192.168.1.20";
    velora::Platform platform;
    platform.events = std::make_shared<velora::sim::RecordingEventSink>();
    platform.keymap = std::make_shared<velora::linux_::LinuxKeymap>();
    platform.displays = std::make_shared<velora::sim::SimDisplays>();
    platform.launcher = std::make_shared<velora::sim::RecordingLauncher>();
    platform.system = system;
    platform.screenPermission = [] { return false; };
    return platform;
}

bool save(QWidget& widget, const QDir& folder, const char* name) {
    widget.adjustSize();
    const QString path = folder.filePath(name);
    const bool saved = widget.grab().save(path, "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write",
                 path.toLocal8Bit().constData());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velora-shots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(argv[1]);
    const auto settings = std::filesystem::temp_directory_path() / "velora-shots";
    std::filesystem::remove_all(settings);
    auto store = std::make_shared<velora::Store>(settings);
    store->pair("Mina's phone", "192.168.1.31");
    store->pair("Pixel 8", "192.168.1.44");

    velora::ShellOptions options;
    options.server.controlPort = 0;
    options.server.discoveryPort = 0;
    options.trayAvailable = [] { return false; };
    velora::AppDelegate shell(store, simulatedComputer(), options);
    shell.launch();

    velora::PinWindow pin("Pixel 8", "192.168.1.44", "482913", std::chrono::milliseconds(0));
    velora::PhoneWindow phone(
        velora::choosePhoneLink({"velora-pc", true, {"192.168.1.20", "fd00::20"}, 21998}));
    const bool ok = save(*shell.menu(), folder, "menu.png") &&
                    save(*shell.statusWindow(), folder, "status.png") &&
                    save(pin, folder, "pairing.png") && save(phone, folder, "phone.png");
    std::filesystem::remove_all(settings);
    return ok ? 0 : 1;
}
