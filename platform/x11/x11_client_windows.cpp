#include "platform/x11/x11_client_windows.h"

#include <xcb/res.h>

#include <algorithm>
#include <limits>
#include <span>
#include <string_view>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_text.h"

namespace tallowin::x11 {

namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kListLength = 1U << 16;  // in 32-bit units
constexpr std::uint32_t kTextLength = 4096;

xcb_get_property_cookie_t requestProperty(xcb_connection_t* xcb, xcb_window_t window, xcb_atom_t property,
                                          std::uint32_t length) {
    return xcb_get_property(xcb, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, length);
}

using PropertyReply = XReply<xcb_get_property_reply_t>;

PropertyReply takeProperty(X11Connection& connection, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    return takeReply(connection.log(), "GetProperty", xcb_get_property_reply(connection.xcb(), cookie, &error), error);
}

std::span<const std::uint32_t> cardinals(const PropertyReply& reply) {
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto count = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    return {static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())), count};
}

std::string_view bytesOf(const PropertyReply& reply) {
    if (!reply || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

std::optional<FrameExtents> extentsOf(const PropertyReply& reply) {
    const auto values = cardinals(reply);
    if (values.size() < 4) {
        return std::nullopt;
    }
    return FrameExtents{values[0], values[1], values[2], values[3]};
}

std::optional<std::string> textOf(X11Connection& connection, const PropertyReply& reply) {
    if (!reply || reply->format != 8 || reply->type == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    TextEncoding encoding = TextEncoding::Unknown;
    if (reply->type == connection.ewmh().UTF8_STRING) {
        encoding = TextEncoding::Utf8;
    } else if (reply->type == XCB_ATOM_STRING) {
        encoding = TextEncoding::Latin1;
    } else if (reply->type == connection.atoms().compoundText) {
        encoding = TextEncoding::CompoundText;
    }
    return decodeTextProperty(encoding, bytesOf(reply));
}

// WM_CLASS is "instance\0class\0"; the class names the application.
std::optional<std::string> classPartOf(const PropertyReply& reply) {
    const std::string_view bytes = bytesOf(reply);
    const auto separator = bytes.find('\0');
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = bytes.substr(separator + 1);
    if (const auto end = rest.find('\0'); end != std::string_view::npos) {
        rest = rest.substr(0, end);
    }
    return latin1ToUtf8(rest);
}

std::optional<pid_t> pidFrom(std::uint32_t value) {
    if (value == 0 || value > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max())) {
        return std::nullopt;
    }
    return static_cast<pid_t>(value);
}

bool containsAtom(std::span<const std::uint32_t> atoms, xcb_atom_t atom) {
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

struct WindowCookies {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t position;
    xcb_get_property_cookie_t state;
    xcb_get_property_cookie_t desktop;
    xcb_get_property_cookie_t type;
    xcb_get_property_cookie_t pid;
    xcb_get_property_cookie_t wmClass;
    xcb_get_property_cookie_t netName;
    xcb_get_property_cookie_t wmName;
    xcb_get_property_cookie_t frameExtents;
    xcb_get_property_cookie_t gtkExtents;
    xcb_get_property_cookie_t opacity;
};

WindowCookies requestWindow(X11Connection& connection, xcb_window_t window) {
    xcb_connection_t* xcb = connection.xcb();
    auto& ewmh = connection.ewmh();
    return WindowCookies{
        xcb_get_window_attributes(xcb, window),
        xcb_get_geometry(xcb, window),
        xcb_translate_coordinates(xcb, window, connection.root(), 0, 0),
        requestProperty(xcb, window, ewmh._NET_WM_STATE, 64),
        requestProperty(xcb, window, ewmh._NET_WM_DESKTOP, 1),
        requestProperty(xcb, window, ewmh._NET_WM_WINDOW_TYPE, 64),
        requestProperty(xcb, window, ewmh._NET_WM_PID, 1),
        requestProperty(xcb, window, XCB_ATOM_WM_CLASS, kTextLength),
        requestProperty(xcb, window, ewmh._NET_WM_NAME, kTextLength),
        requestProperty(xcb, window, XCB_ATOM_WM_NAME, kTextLength),
        requestProperty(xcb, window, ewmh._NET_FRAME_EXTENTS, 4),
        requestProperty(xcb, window, connection.atoms().gtkFrameExtents, 4),
        requestProperty(xcb, window, connection.atoms().netWmWindowOpacity, 1),
    };
}

// Takes every reply of the window, also when an early one failed, so none is
// left in the connection's queue.
std::optional<ClientWindow> takeWindow(X11Connection& connection, xcb_window_t window, const WindowCookies& cookies,
                                       std::uint32_t currentDesktop) {
    xcb_connection_t* xcb = connection.xcb();
    auto& ewmh = connection.ewmh();
    XCallLog& log = connection.log();
    xcb_generic_error_t* error = nullptr;
    auto attributes =
        takeReply(log, "GetWindowAttributes", xcb_get_window_attributes_reply(xcb, cookies.attributes, &error), error);
    error = nullptr;
    auto geometry = takeReply(log, "GetGeometry", xcb_get_geometry_reply(xcb, cookies.geometry, &error), error);
    error = nullptr;
    auto position =
        takeReply(log, "TranslateCoordinates", xcb_translate_coordinates_reply(xcb, cookies.position, &error), error);
    auto state = takeProperty(connection, cookies.state);
    auto desktop = takeProperty(connection, cookies.desktop);
    auto type = takeProperty(connection, cookies.type);
    auto pid = takeProperty(connection, cookies.pid);
    auto wmClass = takeProperty(connection, cookies.wmClass);
    auto netName = takeProperty(connection, cookies.netName);
    auto wmName = takeProperty(connection, cookies.wmName);
    auto frameExtents = takeProperty(connection, cookies.frameExtents);
    auto gtkExtents = takeProperty(connection, cookies.gtkExtents);
    auto opacity = takeProperty(connection, cookies.opacity);
    if (!attributes || !geometry || !position) {
        return std::nullopt;
    }

    ClientWindow client;
    client.id = window;
    if (const auto values = cardinals(pid); !values.empty()) {
        client.pid = pidFrom(values[0]);
    }
    client.ownerName = classPartOf(wmClass);
    client.name = textOf(connection, netName);
    if (!client.name) {
        client.name = textOf(connection, wmName);
    }
    if (const auto values = cardinals(opacity); !values.empty()) {
        client.alpha = static_cast<double>(values[0]) / static_cast<double>(0xFFFFFFFFU);
    }
    client.extents = extentsOf(frameExtents).value_or(FrameExtents{});
    client.csdShadow = extentsOf(gtkExtents).value_or(FrameExtents{});
    client.clientWidth = geometry->width;
    client.clientHeight = geometry->height;
    client.frame = outerFrame(position->dst_x, position->dst_y, geometry->width, geometry->height, client.extents,
                              client.csdShadow);

    const auto states = cardinals(state);
    const bool hidden = containsAtom(states, ewmh._NET_WM_STATE_HIDDEN);
    client.maximizedOrFullscreen = containsAtom(states, ewmh._NET_WM_STATE_MAXIMIZED_VERT) ||
                                   containsAtom(states, ewmh._NET_WM_STATE_MAXIMIZED_HORZ) ||
                                   containsAtom(states, ewmh._NET_WM_STATE_FULLSCREEN);
    const auto desktops = cardinals(desktop);
    const bool onDesktop = desktops.empty() || desktops[0] == kAllDesktops || desktops[0] == currentDesktop;
    client.onScreen = attributes->map_state == XCB_MAP_STATE_VIEWABLE && !hidden && onDesktop;
    client.desktopType = containsAtom(cardinals(type), ewmh._NET_WM_WINDOW_TYPE_DESKTOP);
    client.dockType = containsAtom(cardinals(type), ewmh._NET_WM_WINDOW_TYPE_DOCK);
    return client;
}

// Classic Xt clients set no _NET_WM_PID; the server knows the pid of local
// clients through the X-Resource extension.
void fillPidsFromXRes(X11Connection& connection, std::vector<ClientWindow>& windows) {
    if (!connection.hasXRes()) {
        return;
    }
    xcb_connection_t* xcb = connection.xcb();
    std::vector<std::pair<ClientWindow*, xcb_res_query_client_ids_cookie_t>> pending;
    for (auto& window : windows) {
        if (!window.pid) {
            const xcb_res_client_id_spec_t clientSpec{window.id, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            pending.emplace_back(&window, xcb_res_query_client_ids(xcb, 1, &clientSpec));
        }
    }
    for (auto& [window, cookie] : pending) {
        xcb_generic_error_t* error = nullptr;
        auto reply = takeReply(connection.log(), "ResQueryClientIds",
                               xcb_res_query_client_ids_reply(xcb, cookie, &error), error);
        if (!reply) {
            continue;
        }
        for (auto ids = xcb_res_query_client_ids_ids_iterator(reply.get()); ids.rem > 0;
             xcb_res_client_id_value_next(&ids)) {
            const auto& [clientId, valueLength] = *ids.data;
            if ((clientId.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
                xcb_res_client_id_value_value_length(ids.data) >= 1) {
                window->pid = pidFrom(*xcb_res_client_id_value_value(ids.data));
                break;
            }
        }
    }
}

}  // namespace

FrameRect outerFrame(std::int32_t clientRootX, std::int32_t clientRootY, std::uint16_t clientWidth,
                     std::uint16_t clientHeight, const FrameExtents& decorations, const FrameExtents& csdShadow) {
    const double left = static_cast<double>(decorations.left) - static_cast<double>(csdShadow.left);
    const double top = static_cast<double>(decorations.top) - static_cast<double>(csdShadow.top);
    const double horizontal = static_cast<double>(decorations.left) + static_cast<double>(decorations.right) -
                              static_cast<double>(csdShadow.left) - static_cast<double>(csdShadow.right);
    const double vertical = static_cast<double>(decorations.top) + static_cast<double>(decorations.bottom) -
                            static_cast<double>(csdShadow.top) - static_cast<double>(csdShadow.bottom);
    return FrameRect{static_cast<double>(clientRootX) - left, static_cast<double>(clientRootY) - top,
                     std::max(0.0, static_cast<double>(clientWidth) + horizontal),
                     std::max(0.0, static_cast<double>(clientHeight) + vertical)};
}

std::optional<ScreenState> readScreenState(X11Connection& connection) {
    if (!connection.alive()) {
        return std::nullopt;
    }
    xcb_connection_t* xcb = connection.xcb();
    auto& ewmh = connection.ewmh();
    const xcb_window_t root = connection.root();
    const auto stackingCookie = requestProperty(xcb, root, ewmh._NET_CLIENT_LIST_STACKING, kListLength);
    const auto desktopCookie = requestProperty(xcb, root, ewmh._NET_CURRENT_DESKTOP, 1);
    const auto workAreaCookie = requestProperty(xcb, root, ewmh._NET_WORKAREA, 4 * 64);
    auto stacking = takeProperty(connection, stackingCookie);
    auto desktop = takeProperty(connection, desktopCookie);
    auto workArea = takeProperty(connection, workAreaCookie);
    if (!connection.alive()) {
        return std::nullopt;
    }

    ScreenState state;
    state.screenWidth = connection.screenWidth();
    const auto windows = cardinals(stacking);
    state.stackingBottomToTop.assign(windows.begin(), windows.end());
    if (const auto values = cardinals(desktop); !values.empty()) {
        state.currentDesktop = values[0];
    }
    const auto areas = cardinals(workArea);
    const std::size_t index = static_cast<std::size_t>(state.currentDesktop) * 4;
    if (areas.size() >= index + 4) {
        state.workAreaTop = areas[index + 1];
    } else if (areas.size() >= 4) {
        state.workAreaTop = areas[1];
    }
    return state;
}

std::vector<ClientWindow> readClientWindows(X11Connection& connection, const std::vector<xcb_window_t>& ids,
                                            std::uint32_t currentDesktop) {
    std::vector<WindowCookies> cookies;
    cookies.reserve(ids.size());
    for (const xcb_window_t id : ids) {
        cookies.push_back(requestWindow(connection, id));
    }
    std::vector<ClientWindow> windows;
    windows.reserve(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (auto window = takeWindow(connection, ids[i], cookies[i], currentDesktop)) {
            windows.push_back(std::move(*window));
        }
    }
    fillPidsFromXRes(connection, windows);
    return windows;
}

}  // namespace tallowin::x11
