#include "app/SessionKind.h"

namespace velora {

SessionKind sessionKind(const SessionFacts& facts) {
    if (facts.forceX11) return SessionKind::X11;
    if (facts.sessionType == "wayland" || facts.compositorAnswers) return SessionKind::Wayland;
    return SessionKind::X11;
}

}  // namespace velora
