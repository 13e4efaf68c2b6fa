// Watches whether input posted for the phone reaches the system, and guides the user when it does
// not: the menu's warning item follows the state, each change is logged once, and an alert comes
// up right after launch and whenever the clients change while one is connected.
// Where input waits for the desktop's own consent dialog, that dialog is the prompt: the flow
// never puts an alert over it nor asks again by itself. The warning item then opens the alert,
// whose first button has the desktop ask again.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "core/shell/MenuModel.h"

namespace velora {

class PermissionFlow {
public:
    enum class Answer { Help, Later };

    struct AlertText {
        std::string title;
        std::string body;
        std::string helpButton;  // the first, default button
        std::string laterButton;
        bool operator==(const AlertText&) const = default;
    };

    // What the flow needs from the shell; all of it is called on the shell's thread.
    struct Hooks {
        std::function<bool()> trusted;
        // True while a pairing prompt is present; the alert waits for it to be gone.
        std::function<bool()> promptShown;
        // Shows the alert modally and returns the answer.
        std::function<Answer(const AlertText&)> runAlert;
        // Opens the place where the user can fix it: the system's settings or the help page.
        std::function<void()> openHelp;
        // Has the desktop show its consent dialog again; empty where input needs no consent.
        std::function<void()> askConsent;
        std::function<void(const std::string&)> log;
        std::function<void()> rebuildMenu;
        // Runs the function once, after the current event has been handled.
        std::function<void(std::function<void()>)> later;
        // Runs the function repeatedly at the interval, for the life of the shell.
        std::function<void(std::chrono::milliseconds, std::function<void()>)> every;
    };

    static constexpr std::chrono::milliseconds kWatchInterval{3000};
    static constexpr const char* kGainedLine = "손쉬운 사용 권한 켜짐";
    static constexpr const char* kLostLine = "손쉬운 사용 권한 꺼짐";

    PermissionFlow(Hooks hooks, MenuProfile profile, std::string language);

    // Reads the state, starts the watch, and asks once launch is done when input is not allowed
    // (not where the desktop's consent dialog is asking already).
    void launch();
    // After the client roster changed: asks when someone is connected and input is not allowed
    // (never where the desktop asks for consent: only the person asks it again).
    void clientsChanged(size_t clientCount);
    // Shows the alert unless a pairing prompt or another alert is up.
    void ask();
    // The menu's warning item: straight to the help without the alert; where the desktop asks
    // for consent, the alert that explains its dialog and offers to ask again.
    void warningChosen();

    AlertText alertText() const;
    bool needsConsent() const { return static_cast<bool>(hooks_.askConsent); }
    bool lastSeen() const { return lastPermission_; }
    bool asking() const { return asking_; }

private:
    void check();

    Hooks hooks_;
    MenuProfile profile_;
    std::string language_;
    bool lastPermission_ = false;
    bool asking_ = false;
};

}  // namespace velora
