#include "platform/x11/x11_frame_control.h"

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/x11/x11_connection.h"

namespace tallowin::x11 {

namespace {

using platform::AxError;

constexpr std::uint32_t kGravityNorthWest = 1;
constexpr std::uint32_t kMoveResizeAllFields = 0xFU << 8;
constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kStateRemove = 0;
constexpr std::uint32_t kStackAbove = 0;
constexpr double kLargestCoordinate = 32767.0;

bool sendToRoot(X11Connection& connection, std::string_view call, xcb_window_t window, xcb_atom_t type,
                const std::array<std::uint32_t, 5>& data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    for (std::size_t i = 0; i < data.size(); ++i) {
        message.data.data32[i] = data[i];
    }
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    return checkRequest(
        connection.log(), call, connection.xcb(),
        xcb_send_event_checked(connection.xcb(), 0, connection.root(), mask, reinterpret_cast<const char*>(&message)));
}

bool selectEvents(X11Connection& connection, xcb_window_t window, std::uint32_t mask) {
    return checkRequest(connection.log(), "ChangeWindowAttributes", connection.xcb(),
                        xcb_change_window_attributes_checked(connection.xcb(), window, XCB_CW_EVENT_MASK, &mask));
}

std::optional<ClientWindow> readOne(X11Connection& connection, xcb_window_t window) {
    auto screen = readScreenState(connection);
    if (!screen) {
        return std::nullopt;
    }
    auto windows = readClientWindows(connection, {window}, screen->currentDesktop);
    if (windows.empty()) {
        return std::nullopt;
    }
    return std::move(windows.front());
}

bool supported(X11Connection& connection, xcb_atom_t hint) {
    xcb_generic_error_t* error = nullptr;
    auto reply =
        takeReply(connection.log(), "GetProperty",
                  xcb_get_property_reply(connection.xcb(),
                                         xcb_get_property(connection.xcb(), 0, connection.root(),
                                                          connection.ewmh()._NET_SUPPORTED, XCB_ATOM_ATOM, 0, 4096),
                                         &error),
                  error);
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const auto count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, hint) != atoms + count;
}

// Maximized and fullscreen windows ignore size requests under most window managers.
void leaveMaximizedState(X11Connection& connection, xcb_window_t window) {
    auto& ewmh = connection.ewmh();
    sendToRoot(connection, "SendEvent (_NET_WM_STATE)", window, ewmh._NET_WM_STATE,
               {kStateRemove, ewmh._NET_WM_STATE_MAXIMIZED_VERT, ewmh._NET_WM_STATE_MAXIMIZED_HORZ, kSourcePager, 0});
    sendToRoot(connection, "SendEvent (_NET_WM_STATE)", window, ewmh._NET_WM_STATE,
               {kStateRemove, ewmh._NET_WM_STATE_FULLSCREEN, 0, kSourcePager, 0});
}

bool fitsIncrements(std::uint32_t size, std::int32_t base, std::int32_t increment) {
    if (increment <= 1) {
        return true;
    }
    const auto offset = static_cast<std::int64_t>(size) - base;
    return offset >= 0 && offset % increment == 0;
}

// Terminals size themselves in character cells; a size between cells can only
// be had by withdrawing the increments from the window's size hints.
void allowExactSize(X11Connection& connection, xcb_window_t window, const ClientSize& size) {
    xcb_size_hints_t hints{};
    xcb_generic_error_t* error = nullptr;
    const auto cookie = xcb_icccm_get_wm_normal_hints(connection.xcb(), window);
    if (xcb_icccm_get_wm_normal_hints_reply(connection.xcb(), cookie, &hints, &error) == 0) {
        connection.log().record("GetProperty (WM_NORMAL_HINTS)", error);
        XReply<xcb_generic_error_t> owned(error);
        return;
    }
    if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) == 0) {
        return;
    }
    const bool hasBase = (hints.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE) != 0;
    const std::int32_t baseWidth = hasBase ? hints.base_width : hints.min_width;
    const std::int32_t baseHeight = hasBase ? hints.base_height : hints.min_height;
    if (fitsIncrements(size.width, baseWidth, hints.width_inc) &&
        fitsIncrements(size.height, baseHeight, hints.height_inc)) {
        return;
    }
    hints.flags &= ~static_cast<std::uint32_t>(XCB_ICCCM_SIZE_HINT_P_RESIZE_INC);
    checkRequest(connection.log(), "ChangeProperty (WM_NORMAL_HINTS)", connection.xcb(),
                 xcb_icccm_set_wm_normal_hints_checked(connection.xcb(), window, &hints));
}

bool isConfigureNotifyOf(const xcb_generic_event_t& event, xcb_window_t window) {
    if ((event.response_type & 0x7F) != XCB_CONFIGURE_NOTIFY) {
        return false;
    }
    return reinterpret_cast<const xcb_configure_notify_event_t&>(event).window == window;
}

bool isStackingChange(const xcb_generic_event_t& event, xcb_atom_t stacking) {
    if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    return reinterpret_cast<const xcb_property_notify_event_t&>(event).atom == stacking;
}

AxError awaitFrame(X11Connection& connection, xcb_window_t window, const FrameRect& target) {
    const auto deadline = std::chrono::steady_clock::now() + kWindowManagerAnswerTimeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const bool answered =
            left.count() > 0 &&
            connection.waitForEvent(
                [&](const xcb_generic_event_t& event) { return isConfigureNotifyOf(event, window); }, left);
        const auto now = readOne(connection, window);
        if (!now) {
            return platform::AxError::invalidUIElement;
        }
        if (now->frame == target) {
            return platform::AxError::success;
        }
        if (!answered) {
            return platform::AxError::cannotComplete;
        }
    }
}

bool isOnTop(X11Connection& connection, xcb_window_t window) {
    const auto screen = readScreenState(connection);
    return screen &&
           topOfStacking(readClientWindows(connection, screen->stackingBottomToTop, screen->currentDesktop)) == window;
}

}  // namespace

std::optional<ClientSize> clientSizeFor(double frameWidth, double frameHeight, const FrameExtents& decorations,
                                        const FrameExtents& csdShadow) {
    if (!std::isfinite(frameWidth) || !std::isfinite(frameHeight)) {
        return std::nullopt;
    }
    const double width =
        std::round(frameWidth) - decorations.left - decorations.right + csdShadow.left + csdShadow.right;
    const double height =
        std::round(frameHeight) - decorations.top - decorations.bottom + csdShadow.top + csdShadow.bottom;
    if (width < 1 || height < 1 || width > kLargestCoordinate || height > kLargestCoordinate) {
        return std::nullopt;
    }
    return ClientSize{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

xcb_window_t topOfStacking(const std::vector<ClientWindow>& bottomToTop) {
    for (auto window = bottomToTop.rbegin(); window != bottomToTop.rend(); ++window) {
        if (!window->dockType) {
            return window->id;
        }
    }
    return XCB_WINDOW_NONE;
}

AxError placeFrame(X11Connection& connection, xcb_window_t window, FrameRect target) {
    if (!connection.alive()) {
        return platform::AxError::cannotComplete;
    }
    const auto screen = readScreenState(connection);
    const auto current = readOne(connection, window);
    if (!screen || !current) {
        return platform::AxError::invalidUIElement;
    }
    target.y = std::max(target.y, static_cast<double>(screen->workAreaTop));
    target.x = std::round(target.x);
    target.y = std::round(target.y);
    const auto size = clientSizeFor(target.width, target.height, current->extents, current->csdShadow);
    if (!size || !std::isfinite(target.x) || !std::isfinite(target.y) || std::abs(target.x) > kLargestCoordinate ||
        std::abs(target.y) > kLargestCoordinate) {
        return platform::AxError::illegalArgument;
    }
    target.width = std::round(target.width);
    target.height = std::round(target.height);
    if (current->frame == target) {
        return platform::AxError::success;
    }
    if (current->maximizedOrFullscreen) {
        leaveMaximizedState(connection, window);
    }
    allowExactSize(connection, window, *size);
    if (!selectEvents(connection, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY)) {
        return platform::AxError::invalidUIElement;
    }

    const auto x = static_cast<std::int32_t>(target.x);
    const auto y = static_cast<std::int32_t>(target.y);
    bool sent = false;
    if (supported(connection, connection.ewmh()._NET_MOVERESIZE_WINDOW)) {
        sent = sendToRoot(connection, "SendEvent (_NET_MOVERESIZE_WINDOW)", window,
                          connection.ewmh()._NET_MOVERESIZE_WINDOW,
                          {kGravityNorthWest | kMoveResizeAllFields | (kSourcePager << 12),
                           static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), size->width, size->height});
    } else {
        const std::array<std::uint32_t, 4> values{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                                  size->width, size->height};
        const std::uint16_t mask =
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
        sent = checkRequest(connection.log(), "ConfigureWindow", connection.xcb(),
                            xcb_configure_window_checked(connection.xcb(), window, mask, values.data()));
    }
    const AxError result = sent ? awaitFrame(connection, window, target) : platform::AxError::invalidUIElement;
    selectEvents(connection, window, XCB_EVENT_MASK_NO_EVENT);
    return result;
}

AxError raiseWindow(X11Connection& connection, xcb_window_t window) {
    if (!connection.alive()) {
        return platform::AxError::cannotComplete;
    }
    auto& ewmh = connection.ewmh();
    if (!readOne(connection, window)) {
        return platform::AxError::invalidUIElement;
    }
    if (!selectEvents(connection, connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        return platform::AxError::cannotComplete;
    }
    const xcb_timestamp_t now = connection.currentTime();
    const bool activated = sendToRoot(connection, "SendEvent (_NET_ACTIVE_WINDOW)", window, ewmh._NET_ACTIVE_WINDOW,
                                      {kSourcePager, now, XCB_WINDOW_NONE, 0, 0});
    // Activation may be refused as focus stealing, and some clients never
    // take focus; restacking raises them all the same.
    const bool restacked = sendToRoot(connection, "SendEvent (_NET_RESTACK_WINDOW)", window, ewmh._NET_RESTACK_WINDOW,
                                      {kSourcePager, XCB_WINDOW_NONE, kStackAbove, 0, 0});
    AxError result = platform::AxError::cannotComplete;
    if (activated || restacked) {
        const auto deadline = std::chrono::steady_clock::now() + kWindowManagerAnswerTimeout;
        for (;;) {
            if (isOnTop(connection, window)) {
                result = platform::AxError::success;
                break;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !connection.waitForEvent(
                                         [&](const xcb_generic_event_t& event) {
                                             return isStackingChange(event, ewmh._NET_CLIENT_LIST_STACKING);
                                         },
                                         left)) {
                if (isOnTop(connection, window)) {
                    result = platform::AxError::success;
                }
                break;
            }
        }
    }
    selectEvents(connection, connection.root(), XCB_EVENT_MASK_NO_EVENT);
    return result;
}

}  // namespace tallowin::x11
