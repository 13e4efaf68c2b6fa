// The live view's screen sources from a desktop portal's screen cast, made once the person has
// agreed to it (the answer comes later, in the background).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Platform.h"
#include "platform/portal/PortalSession.h"

namespace velora {

// Keeps one source factory per cast, so that all viewers of a cast share its PipeWire stream;
// a new cast (a new consent after the desktop closed the old one) gets a new factory.
class PortalCastSources {
public:
    using Factory = std::function<std::unique_ptr<ScreenSource>()>;
    // The session's current cast, if any; the factory maker for a cast, which owns its fd.
    PortalCastSources(std::function<std::optional<portal::PortalScreen>()> screen,
                      std::function<Factory(const portal::PortalScreen&)> makeFactory);

    // A source of the current cast; none while there is no cast.
    std::unique_ptr<ScreenSource> make();

private:
    const std::function<std::optional<portal::PortalScreen>()> screen_;
    const std::function<Factory(const portal::PortalScreen&)> makeFactory_;
    std::mutex mutex_;
    uint64_t cast_ = 0;
    Factory factory_;
};

// The platform's screen from the portal session's cast: sources through PipeWire, and the
// permission true only while the session has a stream.
void usePortalScreen(Platform& platform, std::shared_ptr<portal::PortalSession> session);

}  // namespace velora
