#include "platform/x11/x11_screen_state.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

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
    } else if (state.managed) {
        workAreaFromStruts(connection, state);
    }
    return state;
}

// Some window managers publish no _NET_WORKAREA (awesome), others one that
// leaves out the panels' bands (fluxbox): each band a panel reserves, by its
// _NET_WM_STRUT_PARTIAL or else _NET_WM_STRUT (left, right, top, bottom), is
// kept out of the work area.
void workAreaFromStruts(X11Connection& connection, ScreenState& state) {
    auto& ewmh = connection.ewmh();
    std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> cookies;
    cookies.reserve(state.stackingBottomToTop.size());
    for (const xcb_window_t window : state.stackingBottomToTop) {
        cookies.emplace_back(requestProperty(connection, window, ewmh._NET_WM_STRUT_PARTIAL, 12),
                             requestProperty(connection, window, ewmh._NET_WM_STRUT, 4));
    }
    std::array<std::uint32_t, 4> band{};  // left, right, top, bottom
    for (const auto& [partialCookie, strutCookie] : cookies) {
        const auto partial = awaitProperty(connection, partialCookie);
        const auto strut = awaitProperty(connection, strutCookie);
        const auto values = cardinals(partial).size() >= 4 ? cardinals(partial) : cardinals(strut);
        for (std::size_t edge = 0; edge < band.size() && values.size() >= 4; ++edge) {
            band.at(edge) = std::max(band.at(edge), values[edge]);
        }
    }
    const std::int64_t left = std::max<std::int64_t>(state.workAreaLeft, band[0]);
    const std::int64_t top = std::max<std::int64_t>(state.workAreaTop, band[2]);
    const std::int64_t right =
        std::min<std::int64_t>(state.workAreaLeft + state.workAreaWidth, std::int64_t{state.screenWidth} - band[1]);
    const std::int64_t bottom = std::min<std::int64_t>(state.workAreaTop + state.workAreaHeight,
                                                       std::int64_t{connection.screenHeight()} - band[3]);
    if (right > left && bottom > top) {
        state.workAreaLeft = left;
        state.workAreaTop = top;
        state.workAreaWidth = right - left;
        state.workAreaHeight = bottom - top;
    }
}

}  // namespace tallowin::x11
