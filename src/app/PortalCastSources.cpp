#include "app/PortalCastSources.h"

#include <unistd.h>

#include "platform/pipewire/PipeWireScreenSource.h"

namespace velora {

PortalCastSources::PortalCastSources(
    std::function<std::optional<portal::PortalScreen>()> screen,
    std::function<Factory(const portal::PortalScreen&)> makeFactory)
    : screen_(std::move(screen)), makeFactory_(std::move(makeFactory)) {}

std::unique_ptr<ScreenSource> PortalCastSources::make() {
    const std::optional<portal::PortalScreen> screen = screen_();
    if (!screen) return nullptr;
    Factory factory;
    {
        std::lock_guard lock(mutex_);
        if (!factory_ || screen->cast != cast_) {
            cast_ = screen->cast;
            factory_ = makeFactory_(*screen);
        } else {
            // The cast's stream is open already; this descriptor is not needed.
            ::close(screen->pipewireFd);
        }
        factory = factory_;
    }
    return factory();
}

void usePortalScreen(Platform& platform, std::shared_ptr<portal::PortalSession> session) {
    auto sources = std::make_shared<PortalCastSources>(
        [session] { return session->screen(); },
        [](const portal::PortalScreen& screen) {
            return pipewire::screenSourceFactory(
                {screen.pipewireFd, screen.nodeId, screen.logicalSize});
        });
    platform.screenSource = [sources] { return sources->make(); };
    platform.screenPermission = [session] { return session->firstStream().has_value(); };
}

}  // namespace velora
