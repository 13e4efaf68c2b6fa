#include "core/shell/PermissionFlow.h"

#include <utility>

#include "core/shell/L.h"

namespace velora {

PermissionFlow::PermissionFlow(Hooks hooks, MenuProfile profile, std::string language)
    : hooks_(std::move(hooks)), profile_(profile), language_(std::move(language)) {}

void PermissionFlow::launch() {
    lastPermission_ = hooks_.trusted();
    hooks_.every(kWatchInterval, [this] { check(); });
    if (!lastPermission_ && !needsConsent()) hooks_.later([this] { ask(); });
}

void PermissionFlow::check() {
    const bool now = hooks_.trusted();
    if (now == lastPermission_) return;
    lastPermission_ = now;
    hooks_.log(now ? kGainedLine : kLostLine);
    hooks_.rebuildMenu();
}

void PermissionFlow::clientsChanged(size_t clientCount) {
    if (clientCount > 0 && !needsConsent() && !hooks_.trusted()) ask();
}

void PermissionFlow::ask() {
    // Nothing is queued: the next trigger asks again.
    if (hooks_.promptShown() || asking_) return;
    asking_ = true;
    // The alert's modal loop may deliver further triggers; `asking_` turns them away.
    if (hooks_.runAlert(alertText()) == Answer::Help) {
        if (needsConsent()) {
            hooks_.askConsent();
        } else {
            hooks_.openHelp();
        }
    }
    asking_ = false;
}

void PermissionFlow::warningChosen() {
    if (needsConsent()) {
        ask();
    } else {
        hooks_.openHelp();
    }
}

PermissionFlow::AlertText PermissionFlow::alertText() const {
    auto text = [this](std::string_view key) { return L::lookup(STRINGS(), language_, key, {}); };
    if (profile_ == MenuProfile::Mac) {
        return {text("mac_ax_title"), text("mac_ax_body"), text("mac_open_settings"),
                text("mac_later")};
    }
    auto linuxText = [this](std::string_view key) {
        return L::lookup(LINUX_STRINGS(), language_, key, {});
    };
    if (needsConsent()) {
        return {linuxText("linux_consent_title"), linuxText("linux_consent_body"),
                linuxText("linux_consent_ask"), text("mac_later")};
    }
    return {linuxText("linux_ax_title"), linuxText("linux_ax_body"), linuxText("linux_ax_help"),
            text("mac_later")};
}

}  // namespace velora
