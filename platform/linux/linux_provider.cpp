#include <cstdlib>
#include <memory>
#include <string>

#include "platform/desktop_session.h"
#include "platform/kwin/kwin_window_system.h"
#include "platform/plist/plist_preferences.h"
#include "platform/provider.h"
#include "platform/sway/sway_window_system.h"
#include "platform/window_system_adapter.h"
#include "platform/x11/x11_platform.h"

namespace tallowin::platform {

namespace {

std::unique_ptr<Provider> openSway(const char* socketPath) {
    auto status = std::make_unique<StatusLines>();
    std::string error;
    auto sway = sway::SwayWindowSystem::connect(socketPath, *status, error);
    if (!sway) {
        return nullptr;
    }
    return std::make_unique<WindowSystemProvider>(
        std::move(status), std::move(sway),
        std::make_unique<plist::PlistPreferences>(plist::PlistPreferences::defaultFolder()));
}

std::unique_ptr<Provider> openKWin() {
    auto status = std::make_unique<StatusLines>();
    std::string error;
    auto kwin = kwin::KWinWindowSystem::connect(*status, error);
    if (!kwin) {
        return nullptr;
    }
    return std::make_unique<WindowSystemProvider>(
        std::move(status), std::move(kwin),
        std::make_unique<plist::PlistPreferences>(plist::PlistPreferences::defaultFolder()));
}

}  // namespace

bool nativeSessionBusHas(const char* name) { return kwin::onSessionBus(name); }

// The session decides; an unsupported Wayland desktop gets no provider, and
// the shell says why before asking for one.
std::unique_ptr<Provider> openNativeProvider(const char* displayName) {
    const Environment environment = [](const char* name) -> const char* { return std::getenv(name); };
    switch (desktopSession(displayName != nullptr, environment, nativeSessionBusHas)) {
        case DesktopSession::sway:
            return openSway(std::getenv("SWAYSOCK"));
        case DesktopSession::kwin:
            return openKWin();
        case DesktopSession::x11:
            return x11::X11Platform::connect(displayName);
        case DesktopSession::unsupportedWayland:
            return nullptr;
    }
    return nullptr;
}

}  // namespace tallowin::platform
