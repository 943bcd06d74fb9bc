#include <cstdlib>
#include <memory>
#include <string>

#include "platform/desktop_session.h"
#include "platform/i3/i3_window_system.h"
#include "platform/kwin/kwin_window_system.h"
#include "platform/plist/plist_preferences.h"
#include "platform/provider.h"
#include "platform/sway/sway_window_system.h"
#include "platform/window_system_adapter.h"
#include "platform/x11/x11_window_system.h"

namespace tallowin::platform {

namespace {

// Every window system keeps the capture rectangle where the X11 provider does.
std::unique_ptr<Provider> provide(std::unique_ptr<StatusLines> status, std::unique_ptr<WindowSystem> system) {
    return std::make_unique<WindowSystemProvider>(
        std::move(status), std::move(system),
        std::make_unique<plist::PlistPreferences>(plist::PlistPreferences::defaultFolder()));
}

std::unique_ptr<Provider> openSway(const char* socketPath) {
    auto status = std::make_unique<StatusLines>();
    std::string error;
    auto sway = sway::SwayWindowSystem::connect(socketPath, *status, error);
    return sway ? provide(std::move(status), std::move(sway)) : nullptr;
}

std::unique_ptr<Provider> openKWin() {
    auto status = std::make_unique<StatusLines>();
    std::string error;
    auto kwin = kwin::KWinWindowSystem::connect(*status, error);
    return kwin ? provide(std::move(status), std::move(kwin)) : nullptr;
}

// i3 manages the display when it answers at socketPath or where the root
// window names; otherwise plain X11 does.
std::unique_ptr<Provider> openX11(const char* displayName, const char* socketPath) {
    auto status = std::make_unique<StatusLines>();
    if (auto i3 = i3::connectI3(displayName, socketPath, *status)) {
        return provide(std::move(status), std::move(i3));
    }
    return x11::openProvider(displayName);
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
        case DesktopSession::i3:
            return openX11(displayName, std::getenv("I3SOCK"));
        case DesktopSession::x11:
            return openX11(displayName, nullptr);
        case DesktopSession::unsupportedWayland:
            return nullptr;
    }
    return nullptr;
}

}  // namespace tallowin::platform
