#include "platform/x11/x11_window_system.h"

#include <utility>

#include "platform/plist/plist_preferences.h"
#include "platform/status_lines.h"
#include "platform/window_system_adapter.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_live_connection.h"
#include "platform/x11/x11_window_manager.h"

namespace tallowin::x11 {

using platform::WindowOutcome;

X11WindowSystem::X11WindowSystem(std::unique_ptr<LiveConnection> live) : live_(std::move(live)) {}

X11WindowSystem::~X11WindowSystem() = default;

std::optional<platform::WindowSystemSnapshot> X11WindowSystem::snapshot() {
    ScreenState screen;
    auto windows = live_->retried([&](WindowManager& windowManager) { return windowManager.list(&screen); });
    if (!windows) {
        return std::nullopt;
    }
    platform::WindowSystemSnapshot seen{std::move(*windows), {}};
    seen.placementArea = {static_cast<double>(screen.workAreaLeft), static_cast<double>(screen.workAreaTop),
                          static_cast<double>(screen.workAreaWidth), static_cast<double>(screen.workAreaHeight)};
    return seen;
}

platform::WindowReading X11WindowSystem::windowNow(std::uint32_t id) {
    bool connected = true;
    auto window = live_->retried([&](WindowManager& windowManager) {
        auto now = windowManager.window(id);
        connected = windowManager.connection().alive();
        return now;
    });
    if (!window) {
        return {connected ? WindowOutcome::windowGone : WindowOutcome::disconnected, std::nullopt};
    }
    return {WindowOutcome::done, systemWindow(std::move(*window))};
}

WindowOutcome X11WindowSystem::setFrame(std::uint32_t window, const platform::WindowFrame& frame) {
    return live_->retried([&](WindowManager& windowManager) {
        const auto seen = windowManager.windowAsLastSeen(window);
        WindowManager::Target target;
        if (!seen || seen->frame.x != frame.x || seen->frame.y != frame.y) {
            target.position = std::pair{frame.x, frame.y};
        }
        if (!seen || seen->frame.width != frame.width || seen->frame.height != frame.height || !target.position) {
            target.size = std::pair{frame.width, frame.height};
        }
        return windowManager.place(window, target);
    });
}

WindowOutcome X11WindowSystem::raise(std::uint32_t window) {
    return live_->retried([&](WindowManager& windowManager) { return windowManager.raise(window); });
}

std::string X11WindowSystem::shortfall(std::uint32_t window) {
    return live_->retried([&](WindowManager& windowManager) { return windowManager.shortfall(window); });
}

std::unique_ptr<platform::WindowSystemProvider> openProvider(const char* displayName) {
    auto live = LiveConnection::open(displayName);
    if (!live) {
        return nullptr;
    }
    return std::make_unique<platform::WindowSystemProvider>(
        std::make_unique<platform::StatusLines>(), std::make_unique<X11WindowSystem>(std::move(live)),
        std::make_unique<plist::PlistPreferences>(plist::PlistPreferences::defaultFolder()));
}

}  // namespace tallowin::x11
