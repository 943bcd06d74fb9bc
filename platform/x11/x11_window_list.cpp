#include "platform/x11/x11_window_list.h"

#include <algorithm>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_live_connection.h"
#include "platform/x11/x11_window_manager.h"

namespace tallowin::x11 {

namespace {

using platform::Value;

constexpr platform::WindowListOption kSupportedOptions =
    platform::kWindowListOnScreenOnly | platform::kWindowListExcludeDesktopElements;

Value boundsOf(double x, double y, double width, double height) {
    return Value::dictionary({{"X", Value::floating(x)},
                              {"Y", Value::floating(y)},
                              {"Width", Value::floating(width)},
                              {"Height", Value::floating(height)}});
}

}  // namespace

std::optional<std::vector<ClientWindow>> listClientWindows(WindowManager& windowManager,
                                                           platform::WindowListOption options, ScreenState* screen) {
    // Ordering relative to a window (above, below, including) has no
    // counterpart here; an empty answer would look like a real one.
    if ((options & ~kSupportedOptions) != 0) {
        return std::nullopt;
    }
    return windowManager.list((options & platform::kWindowListOnScreenOnly) != 0,
                              (options & platform::kWindowListExcludeDesktopElements) != 0, screen);
}

Value windowEntry(const ClientWindow& window) {
    Value::Entries entries;
    entries.emplace_back(platform::kWindowNumberKey, Value::integer(window.id));
    if (window.pid) {
        entries.emplace_back(platform::kWindowOwnerPIDKey, Value::integer(*window.pid));
    }
    if (window.ownerName) {
        entries.emplace_back(platform::kWindowOwnerNameKey, Value::text(*window.ownerName));
    }
    if (window.name) {
        entries.emplace_back(platform::kWindowNameKey, Value::text(*window.name));
    }
    entries.emplace_back(platform::kWindowBoundsKey,
                         boundsOf(window.frame.x, window.frame.y, window.frame.width, window.frame.height));
    if (window.alpha) {
        entries.emplace_back(platform::kWindowAlphaKey, Value::floating(*window.alpha));
    }
    return Value::dictionary(std::move(entries));
}

Value menubarEntry(const ScreenState& screen, xcb_window_t root) {
    return Value::dictionary({
        {platform::kWindowNumberKey, Value::integer(root)},
        {platform::kWindowOwnerNameKey, Value::text(std::string(platform::kWindowServerOwnerName))},
        {platform::kWindowNameKey, Value::text(std::string(platform::kMenubarWindowName))},
        {platform::kWindowBoundsKey, boundsOf(0, 0, screen.screenWidth, static_cast<double>(screen.workAreaTop))},
    });
}

std::optional<platform::WindowList> X11WindowList::copyWindowInfo(platform::WindowListOption options,
                                                                  std::uint32_t relativeToWindow) {
    if (options == platform::kWindowListOptionIncludingWindow) {
        // That one window as it is now, read past the cache's last events.
        bool connected = true;
        const auto window = live_.retried([&](WindowManager& windowManager) {
            auto now = windowManager.window(relativeToWindow);
            connected = windowManager.connection().alive();
            return now;
        });
        if (!connected) {
            return std::nullopt;
        }
        platform::WindowList list;
        if (window) {
            list.push_back(windowEntry(*window));
        }
        return list;
    }
    // The relative window matters otherwise only to the ordering options refused above.
    ScreenState screen;
    xcb_window_t root = XCB_WINDOW_NONE;
    auto windows = live_.retried([&](WindowManager& windowManager) {
        root = windowManager.connection().root();
        return listClientWindows(windowManager, options, &screen);
    });
    if (!windows) {
        return std::nullopt;
    }
    platform::WindowList list;
    list.reserve(windows->size() + 1);
    list.push_back(menubarEntry(screen, root));
    for (const auto& window : *windows) {
        list.push_back(windowEntry(window));
    }
    return list;
}

}  // namespace tallowin::x11
