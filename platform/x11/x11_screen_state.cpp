#include "platform/x11/x11_screen_state.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"

namespace tallowin::x11 {

std::optional<ScreenState> readScreenState(X11Connection& connection) {
    if (!connection.alive()) {
        return std::nullopt;
    }
    auto& ewmh = connection.ewmh();
    const xcb_window_t root = connection.root();
    const auto stackingCookie = requestProperty(connection, root, ewmh._NET_CLIENT_LIST_STACKING, kListLength);
    const auto desktopCookie = requestProperty(connection, root, ewmh._NET_CURRENT_DESKTOP, 1);
    const auto workAreaCookie = requestProperty(connection, root, ewmh._NET_WORKAREA, 4 * 64);
    const auto stacking = awaitProperty(connection, stackingCookie);
    const auto desktop = awaitProperty(connection, desktopCookie);
    const auto workArea = awaitProperty(connection, workAreaCookie);
    if (!connection.alive()) {
        return std::nullopt;
    }

    ScreenState state;
    state.screenWidth = connection.screenWidth();
    state.workAreaWidth = connection.screenWidth();
    state.workAreaHeight = connection.screenHeight();
    state.managed = stacking && stacking->type != XCB_ATOM_NONE;
    const auto windows = cardinals(stacking);
    state.stackingBottomToTop.assign(windows.begin(), windows.end());
    if (const auto values = cardinals(desktop); !values.empty()) {
        state.currentDesktop = values[0];
    }
    const auto areas = cardinals(workArea);
    const std::size_t index = static_cast<std::size_t>(state.currentDesktop) * 4;
    const std::size_t chosen = areas.size() >= index + 4 ? index : 0;
    if (areas.size() >= chosen + 4) {
        state.workAreaLeft = areas[chosen];
        state.workAreaTop = areas[chosen + 1];
        state.workAreaWidth = areas[chosen + 2];
        state.workAreaHeight = areas[chosen + 3];
    }
    return state;
}

}  // namespace tallowin::x11
