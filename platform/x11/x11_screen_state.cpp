#include "platform/x11/x11_screen_state.h"

#include <xcb/randr.h>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"

namespace tallowin::x11 {

namespace {

struct Area {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

// The primary monitor, else the first one listed; nothing without monitors.
std::optional<Area> primaryMonitor(X11Connection& connection, xcb_randr_get_monitors_cookie_t cookie) {
    const auto monitors =
        awaitReply(connection.log(), "RRGetMonitors", connection.xcb(), xcb_randr_get_monitors_reply, cookie);
    if (!monitors) {
        return std::nullopt;
    }
    std::optional<Area> chosen;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem > 0;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t& monitor = *it.data;
        if (!chosen || monitor.primary != 0) {
            chosen = Area{monitor.x, monitor.y, std::int64_t{monitor.x} + monitor.width,
                          std::int64_t{monitor.y} + monitor.height};
        }
        if (monitor.primary != 0) {
            break;
        }
    }
    return chosen;
}

// Windows are placed on the primary monitor, inside the work area where the
// two meet; the coordinates stay the root's.
void keepToMonitor(ScreenState& state, const Area& monitor) {
    const std::int64_t left = std::max(state.workAreaLeft, monitor.left);
    const std::int64_t top = std::max(state.workAreaTop, monitor.top);
    const std::int64_t right = std::min(state.workAreaLeft + state.workAreaWidth, monitor.right);
    const std::int64_t bottom = std::min(state.workAreaTop + state.workAreaHeight, monitor.bottom);
    const bool meet = right > left && bottom > top;
    state.workAreaLeft = meet ? left : monitor.left;
    state.workAreaTop = meet ? top : monitor.top;
    state.workAreaWidth = meet ? right - left : monitor.right - monitor.left;
    state.workAreaHeight = meet ? bottom - top : monitor.bottom - monitor.top;
}

}  // namespace

std::optional<ScreenState> readScreenState(X11Connection& connection) {
    if (!connection.alive()) {
        return std::nullopt;
    }
    auto& ewmh = connection.ewmh();
    const xcb_window_t root = connection.root();
    const auto stackingCookie = requestProperty(connection, root, ewmh._NET_CLIENT_LIST_STACKING, kListLength);
    const auto desktopCookie = requestProperty(connection, root, ewmh._NET_CURRENT_DESKTOP, 1);
    const auto workAreaCookie = requestProperty(connection, root, ewmh._NET_WORKAREA, 4 * 64);
    std::optional<xcb_randr_get_monitors_cookie_t> monitorsCookie;
    if (connection.hasMonitors()) {
        monitorsCookie = xcb_randr_get_monitors(connection.xcb(), root, 1);
    }
    const auto stacking = awaitProperty(connection, stackingCookie);
    const auto desktop = awaitProperty(connection, desktopCookie);
    const auto workArea = awaitProperty(connection, workAreaCookie);
    std::optional<Area> monitor;
    if (monitorsCookie) {
        monitor = primaryMonitor(connection, *monitorsCookie);
    }
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
    if (monitor) {
        keepToMonitor(state, *monitor);
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
    // A partial strut reserves its band only along its span (another
    // monitor's panel does not touch this area).
    const std::array<std::pair<std::int64_t, std::int64_t>, 4> alongEdge{
        std::pair{state.workAreaTop, state.workAreaTop + state.workAreaHeight},
        std::pair{state.workAreaTop, state.workAreaTop + state.workAreaHeight},
        std::pair{state.workAreaLeft, state.workAreaLeft + state.workAreaWidth},
        std::pair{state.workAreaLeft, state.workAreaLeft + state.workAreaWidth}};
    std::array<std::uint32_t, 4> band{};  // left, right, top, bottom
    for (const auto& [partialCookie, strutCookie] : cookies) {
        const auto partialReply = awaitProperty(connection, partialCookie);
        const auto strut = awaitProperty(connection, strutCookie);
        const auto partial = cardinals(partialReply);
        const bool spanned = partial.size() >= 12;
        const auto values = partial.size() >= 4 ? partial : cardinals(strut);
        for (std::size_t edge = 0; edge < band.size() && values.size() >= 4; ++edge) {
            const auto [from, to] = alongEdge.at(edge);
            if (!spanned || (partial[4 + 2 * edge] < to && std::int64_t{partial[5 + 2 * edge]} >= from)) {
                band.at(edge) = std::max(band.at(edge), values[edge]);
            }
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
