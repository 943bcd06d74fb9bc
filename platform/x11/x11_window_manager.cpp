#include "platform/x11/x11_window_manager.h"

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <span>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"

namespace tallowin::x11 {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kGravityNorthWest = 1;
constexpr std::uint32_t kMovePosition = 0x3U << 8;  // x and y
constexpr std::uint32_t kMoveSize = 0xCU << 8;      // width and height
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

bool fitsIncrements(std::uint32_t size, std::int32_t base, std::int32_t increment) {
    if (increment <= 1) {
        return true;
    }
    const auto offset = static_cast<std::int64_t>(size) - base;
    return offset >= 0 && offset % increment == 0;
}

std::uint8_t kindOf(const xcb_generic_event_t& event) { return event.response_type & 0x7F; }

bool isPropertyChange(const xcb_generic_event_t& event, xcb_window_t window, xcb_atom_t atom) {
    if (kindOf(event) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    return notify.window == window && notify.atom == atom;
}

bool finiteCoordinate(double value) { return std::isfinite(value) && std::abs(value) <= kLargestCoordinate; }

// How many turns of the window manager in a row without a change make its
// answer final: one may pass before a change it decided is sent (awesome
// applies geometry at the end of its loop).
constexpr int kQuietTurns = 2;

// The one way we wait for the window manager: check, and while the check
// fails, let the window manager take a turn (handle what we sent) and check
// again. Turns in which nothing changed (isChange saw no event) mean its
// answer is final: a window manager that keeps refusing is not waited out.
// Ends at the deadline too. check gives nothing when the window is gone.
platform::WindowOutcome awaitWindowManager(X11Connection& connection, Clock::time_point deadline,
                                           const std::function<std::optional<bool>()>& check,
                                           const std::function<bool(const xcb_generic_event_t&)>& isChange) {
    for (int quietTurns = 0;;) {
        const auto holds = check();
        if (!connection.alive()) {
            return platform::WindowOutcome::disconnected;
        }
        if (!holds) {
            return platform::WindowOutcome::windowGone;
        }
        if (*holds) {
            return platform::WindowOutcome::done;
        }
        if (quietTurns == kQuietTurns) {
            return platform::WindowOutcome::notExact;
        }
        bool changed = false;
        const auto seen = [&](const xcb_generic_event_t& event) { changed = isChange(event) || changed; };
        if (Clock::now() >= deadline || !connection.awaitWindowManagerTurn(deadline, seen)) {
            return connection.alive() ? platform::WindowOutcome::notExact : platform::WindowOutcome::disconnected;
        }
        quietTurns = changed ? 0 : quietTurns + 1;
    }
}

}  // namespace

bool withdrawSizeIncrements(X11Connection& connection, xcb_window_t window, const std::optional<ClientSize>& size) {
    xcb_size_hints_t hints{};
    xcb_generic_error_t* rawError = nullptr;
    const auto cookie = xcb_icccm_get_wm_normal_hints(connection.xcb(), window);
    const bool read = xcb_icccm_get_wm_normal_hints_reply(connection.xcb(), cookie, &hints, &rawError) != 0;
    const XError error(rawError);
    if (!read) {
        if (error) {
            connection.log().record("GetProperty (WM_NORMAL_HINTS)", error.get());
        }
        return false;
    }
    if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) == 0) {
        return false;
    }
    const bool hasBase = (hints.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE) != 0;
    const std::int32_t baseWidth = hasBase ? hints.base_width : hints.min_width;
    const std::int32_t baseHeight = hasBase ? hints.base_height : hints.min_height;
    if (size && fitsIncrements(size->width, baseWidth, hints.width_inc) &&
        fitsIncrements(size->height, baseHeight, hints.height_inc)) {
        return false;
    }
    hints.flags &= ~static_cast<std::uint32_t>(XCB_ICCCM_SIZE_HINT_P_RESIZE_INC);
    return checkRequest(connection.log(), "ChangeProperty (WM_NORMAL_HINTS)", connection.xcb(),
                        xcb_icccm_set_wm_normal_hints_checked(connection.xcb(), window, &hints));
}

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

// Without a window manager the windows an application shows are the root's
// own children; menus and tooltips bypass management (override-redirect).
std::vector<xcb_window_t> WindowManager::topLevelWindows() {
    xcb_connection_t* xcb = connection_.xcb();
    const auto tree =
        awaitReply(connection_.log(), "QueryTree", xcb, xcb_query_tree_reply, xcb_query_tree(xcb, connection_.root()));
    if (!tree) {
        return {};
    }
    const std::span<const xcb_window_t> children(xcb_query_tree_children(tree.get()),
                                                 static_cast<std::size_t>(xcb_query_tree_children_length(tree.get())));
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(children.size());
    for (const xcb_window_t child : children) {
        cookies.push_back(xcb_get_window_attributes(xcb, child));
    }
    std::vector<xcb_window_t> shown;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const auto attributes =
            awaitReply(connection_.log(), "GetWindowAttributes", xcb, xcb_get_window_attributes_reply, cookies[i]);
        if (attributes && attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT &&
            attributes->map_state == XCB_MAP_STATE_VIEWABLE && attributes->override_redirect == 0) {
            shown.push_back(children[i]);
        }
    }
    return shown;
}

std::optional<ScreenState> WindowManager::screenState() {
    auto state = readScreenState(connection_);
    if (state) {
        windows_.setManaged(state->managed);
    }
    if (state && !state->managed) {
        state->stackingBottomToTop = topLevelWindows();
        if (state->stackingBottomToTop.empty() && connection_.alive() && !toldNothingToList_) {
            toldNothingToList_ = true;
            std::fputs(
                "tallowin: no EWMH window manager (the root has no _NET_CLIENT_LIST_STACKING) and no top-level "
                "window: nothing to list\n",
                stderr);
        }
    }
    return state;
}

std::optional<std::vector<platform::SystemWindow>> WindowManager::list(ScreenState* screen) {
    auto state = screenState();
    if (!state) {
        return std::nullopt;
    }
    currentDesktop_ = state->currentDesktop;
    windows_.keepOnly(state->stackingBottomToTop);
    const std::vector<xcb_window_t> frontToBack(state->stackingBottomToTop.rbegin(), state->stackingBottomToTop.rend());
    auto windows = windows_.listed(frontToBack, state->currentDesktop);
    if (!connection_.alive()) {
        return std::nullopt;
    }
    if (screen != nullptr) {
        *screen = std::move(*state);
    }
    return windows;
}

std::optional<ClientWindow> WindowManager::windowAsLastSeen(xcb_window_t id) {
    if (auto known = windows_.unchanged(id, currentDesktop_)) {
        return known;
    }
    return window(id);
}

std::optional<ClientWindow> WindowManager::window(xcb_window_t id) {
    // The round trip makes every earlier change reach the cache.
    connection_.sync();
    if (!connection_.alive()) {
        return std::nullopt;
    }
    auto windows = windows_.read({id}, currentDesktop_, false);
    if (windows.empty()) {
        return std::nullopt;
    }
    return std::move(windows.front());
}

bool WindowManager::supported(xcb_atom_t hint) {
    const auto reply = awaitProperty(
        connection_, requestProperty(connection_, connection_.root(), connection_.ewmh()._NET_SUPPORTED, kListLength));
    const auto atoms = cardinals(reply);
    return std::find(atoms.begin(), atoms.end(), hint) != atoms.end();
}

// Maximized and fullscreen windows ignore size requests under most window
// managers, and one that leaves the state later restores the old frame over
// ours: leave first, and wait until it is left.
bool WindowManager::leaveFullStates(xcb_window_t id, Clock::time_point deadline) {
    auto& ewmh = connection_.ewmh();
    const auto before = window(id);
    sendToRoot(connection_, "SendEvent (_NET_WM_STATE)", id, ewmh._NET_WM_STATE,
               {kStateRemove, ewmh._NET_WM_STATE_MAXIMIZED_VERT, ewmh._NET_WM_STATE_MAXIMIZED_HORZ, kSourcePager, 0});
    sendToRoot(connection_, "SendEvent (_NET_WM_STATE)", id, ewmh._NET_WM_STATE,
               {kStateRemove, ewmh._NET_WM_STATE_FULLSCREEN, 0, kSourcePager, 0});
    const auto left = awaitWindowManager(
        connection_, deadline,
        [&]() -> std::optional<bool> {
            const auto now = window(id);
            return now ? std::optional(!now->maximizedOrFullscreen) : std::nullopt;
        },
        [&](const xcb_generic_event_t& event) { return isPropertyChange(event, id, ewmh._NET_WM_STATE); });
    if (left != platform::WindowOutcome::done) {
        return false;
    }
    // The window manager may restore the old frame after the state is gone;
    // a move sent before that would be undone.
    awaitWindowManager(
        connection_, std::min(deadline, Clock::now() + kSettleAfterAnswer),
        [&]() -> std::optional<bool> {
            const auto now = window(id);
            return now ? std::optional(!before || !(now->frame == before->frame)) : std::nullopt;
        },
        [](const xcb_generic_event_t& event) { return kindOf(event) == XCB_CONFIGURE_NOTIFY; });
    return true;
}

platform::WindowOutcome WindowManager::place(xcb_window_t id, const Target& target) {
    if (!connection_.alive()) {
        return platform::WindowOutcome::disconnected;
    }
    const auto deadline = Clock::now() + kLateWindowManager;
    auto screen = screenState();
    if (!screen) {
        return platform::WindowOutcome::disconnected;
    }
    if (screen->managed) {
        workAreaFromStruts(connection_, *screen);
    }
    auto current = window(id);
    if (!current) {
        return connection_.alive() ? platform::WindowOutcome::windowGone : platform::WindowOutcome::disconnected;
    }
    FrameRect wanted = current->frame;
    std::optional<ClientSize> size;
    if (target.position) {
        wanted.x = std::max(std::round(target.position->first), static_cast<double>(screen->workAreaLeft));
        wanted.y = std::max(std::round(target.position->second), static_cast<double>(screen->workAreaTop));
        if (!finiteCoordinate(wanted.x) || !finiteCoordinate(wanted.y)) {
            return platform::WindowOutcome::badFrame;
        }
    }
    if (target.size) {
        size = clientSizeFor(target.size->first, target.size->second, current->extents, current->csdShadow);
        if (!size) {
            return platform::WindowOutcome::badFrame;
        }
        wanted.width = std::round(target.size->first);
        wanted.height = std::round(target.size->second);
    }
    Asked& asked = asked_[id];
    if (target.position) {
        asked.position = std::pair{wanted.x, wanted.y};
    }
    if (target.size) {
        asked.size = std::pair{wanted.width, wanted.height};
        asked.sizeReached = false;
    }
    const auto arrived = [&](const FrameRect& frame) {
        return (!target.position || (frame.x == wanted.x && frame.y == wanted.y)) &&
               (!target.size || (frame.width == wanted.width && frame.height == wanted.height));
    };
    if (arrived(current->frame) && !current->maximizedOrFullscreen) {
        asked.sizeReached = asked.sizeReached || target.size.has_value();
        return platform::WindowOutcome::done;
    }
    if (current->maximizedOrFullscreen && !leaveFullStates(id, deadline)) {
        return connection_.alive() ? platform::WindowOutcome::notExact : platform::WindowOutcome::disconnected;
    }
    const bool withdrawn = size && withdrawSizeIncrements(connection_, id, size);
    if (size) {
        // Leaving a state may have restored the old size with other extents.
        if (const auto now = window(id)) {
            size = clientSizeFor(wanted.width, wanted.height, now->extents, now->csdShadow).value_or(*size);
        }
    }

    const bool hinted = supported(connection_.ewmh()._NET_MOVERESIZE_WINDOW);
    const auto send = [&](std::int32_t x, std::int32_t y) {
        if (hinted) {
            const std::uint32_t fields = (target.position ? kMovePosition : 0) | (size ? kMoveSize : 0);
            return sendToRoot(connection_, "SendEvent (_NET_MOVERESIZE_WINDOW)", id,
                              connection_.ewmh()._NET_MOVERESIZE_WINDOW,
                              {kGravityNorthWest | fields | (kSourcePager << 12), static_cast<std::uint32_t>(x),
                               static_cast<std::uint32_t>(y), size ? size->width : 0, size ? size->height : 0});
        }
        std::vector<std::uint32_t> values;
        std::uint16_t mask = 0;
        if (target.position) {
            mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
            values.push_back(static_cast<std::uint32_t>(x));
            values.push_back(static_cast<std::uint32_t>(y));
        }
        if (size) {
            mask |= XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
            values.push_back(size->width);
            values.push_back(size->height);
        }
        return checkRequest(connection_.log(), "ConfigureWindow", connection_.xcb(),
                            xcb_configure_window_checked(connection_.xcb(), id, mask, values.data()));
    };
    // An application may take its old size back before the frame is read:
    // the size counts as reached once the client was told it has it.
    bool told = false;
    std::optional<FrameRect> landed;
    const auto await = [&] {
        return awaitWindowManager(
            connection_, deadline,
            [&]() -> std::optional<bool> {
                const auto now = window(id);
                landed = now ? std::optional(now->frame) : std::nullopt;
                return now ? std::optional(arrived(now->frame)) : std::nullopt;
            },
            [&](const xcb_generic_event_t& event) {
                if (kindOf(event) != XCB_CONFIGURE_NOTIFY) {
                    return false;
                }
                const auto& notify = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
                told = told ||
                       (size && notify.window == id && notify.width == size->width && notify.height == size->height);
                return true;
            });
    };
    const auto x = static_cast<std::int32_t>(wanted.x);
    const auto y = static_cast<std::int32_t>(wanted.y);
    if (!send(x, y)) {
        return connection_.alive() ? platform::WindowOutcome::windowGone : platform::WindowOutcome::disconnected;
    }
    platform::WindowOutcome outcome = await();
    // A window manager may take the position for another corner of the
    // window: the client's (a window of static gravity under a plain
    // configure request), or that of a client-side shadow it keeps on
    // screen. The frame then lands off by at most those margins: ask once
    // more with the offset taken off. And one may size by the increments it
    // read before they were withdrawn, taking the new hints only after that
    // request (awesome): once it settled, ask once more.
    if (outcome == platform::WindowOutcome::notExact && landed) {
        const double offsetX = target.position ? landed->x - wanted.x : 0;
        const double offsetY = target.position ? landed->y - wanted.y : 0;
        const auto within = [](double offset, std::uint32_t decoration, std::uint32_t shadow) {
            return std::abs(offset) <= static_cast<double>(decoration) + static_cast<double>(shadow);
        };
        const bool offset = (offsetX != 0 || offsetY != 0) &&
                            within(offsetX, current->extents.left, current->csdShadow.left) &&
                            within(offsetY, current->extents.top, current->csdShadow.top) &&
                            finiteCoordinate(wanted.x - offsetX) && finiteCoordinate(wanted.y - offsetY);
        const bool snapped = withdrawn && (landed->width != wanted.width || landed->height != wanted.height);
        if (snapped) {
            settle(id);  // it takes the new hints in its own time
        }
        if (offset || snapped) {
            if (!send(static_cast<std::int32_t>(wanted.x - (offset ? offsetX : 0)),
                      static_cast<std::int32_t>(wanted.y - (offset ? offsetY : 0)))) {
                return connection_.alive() ? platform::WindowOutcome::windowGone
                                           : platform::WindowOutcome::disconnected;
            }
            outcome = await();
        }
    }
    if (target.size && outcome != platform::WindowOutcome::disconnected &&
        outcome != platform::WindowOutcome::windowGone) {
        asked_[id].sizeReached = told || outcome == platform::WindowOutcome::done;
        settle(id);
    }
    return outcome;
}

void WindowManager::settle(xcb_window_t id) {
    const auto bound = Clock::now() + kSettleBound;
    const auto changed = [id](const xcb_generic_event_t& event) {
        return kindOf(event) == XCB_CONFIGURE_NOTIFY &&
               reinterpret_cast<const xcb_configure_notify_event_t&>(event).window == id;
    };
    while (connection_.alive() && Clock::now() < bound &&
           connection_.waitFor(changed, std::min(bound, Clock::now() + kSettledQuiet))) {
    }
}

std::string WindowManager::shortfall(xcb_window_t id) {
    const auto found = asked_.find(id);
    if (found == asked_.end()) {
        return {};
    }
    const Asked asked = found->second;
    asked_.erase(found);
    const auto now = window(id);
    auto screen = screenState();
    if (!now || !screen) {
        return {};
    }
    if (screen->managed) {
        workAreaFromStruts(connection_, *screen);
    }
    const FrameRect& frame = now->frame;
    std::vector<std::string> reasons;
    const auto text = [](double value) { return std::to_string(static_cast<std::int64_t>(value)); };
    if (asked.size && (frame.width != asked.size->first || frame.height != asked.size->second)) {
        reasons.push_back(sizeLimitReason(*now, *asked.size));
        if (reasons.back().empty()) {
            reasons.back() = asked.sizeReached ? "the application changed its size back"
                                               : "the window manager did not give it that size";
        }
    }
    if (asked.position && (frame.x != asked.position->first || frame.y != asked.position->second)) {
        reasons.push_back("the window manager did not move it to " + text(asked.position->first) + "," +
                          text(asked.position->second));
    }
    const auto left = static_cast<double>(screen->workAreaLeft);
    const auto top = static_cast<double>(screen->workAreaTop);
    const bool inside = frame.x >= left && frame.y >= top &&
                        frame.x + frame.width <= left + static_cast<double>(screen->workAreaWidth) &&
                        frame.y + frame.height <= top + static_cast<double>(screen->workAreaHeight);
    if (!inside && screen->workAreaWidth > 0 && screen->workAreaHeight > 0) {
        reasons.push_back("the work area is only " + std::to_string(screen->workAreaWidth) + "x" +
                          std::to_string(screen->workAreaHeight) + " at " + std::to_string(screen->workAreaLeft) + "," +
                          std::to_string(screen->workAreaTop));
    }
    std::string joined;
    for (const auto& reason : reasons) {
        joined += (joined.empty() ? "" : "; ") + reason;
    }
    return joined;
}

// The window's own size limits (WM_NORMAL_HINTS), in frame terms, when they
// forbid the asked size; empty otherwise.
std::string WindowManager::sizeLimitReason(const ClientWindow& window, std::pair<double, double> size) {
    xcb_size_hints_t hints{};
    const auto cookie = xcb_icccm_get_wm_normal_hints(connection_.xcb(), window.id);
    if (xcb_icccm_get_wm_normal_hints_reply(connection_.xcb(), cookie, &hints, nullptr) == 0) {
        return {};
    }
    // What the frame adds to the client: decorations, less a client-side shadow.
    const double addedWidth = window.frame.width - window.clientWidth;
    const double addedHeight = window.frame.height - window.clientHeight;
    const auto frameSize = [&](std::int32_t width, std::int32_t height) {
        return std::to_string(static_cast<std::int64_t>(width + addedWidth)) + "x" +
               std::to_string(static_cast<std::int64_t>(height + addedHeight));
    };
    if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE) != 0 && hints.max_width > 0 && hints.max_height > 0 &&
        (size.first > hints.max_width + addedWidth || size.second > hints.max_height + addedHeight)) {
        return "its size limits allow at most " + frameSize(hints.max_width, hints.max_height);
    }
    if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE) != 0 &&
        (size.first < hints.min_width + addedWidth || size.second < hints.min_height + addedHeight)) {
        return "its size limits need at least " + frameSize(hints.min_width, hints.min_height);
    }
    return {};
}

// Panels sit in a layer of their own above all normal windows: the top is
// the topmost window that is not one.
xcb_window_t WindowManager::topOfStacking() {
    const auto screen = screenState();
    if (!screen) {
        return XCB_WINDOW_NONE;
    }
    for (auto it = screen->stackingBottomToTop.rbegin(); it != screen->stackingBottomToTop.rend(); ++it) {
        auto known = windows_.unchanged(*it, screen->currentDesktop);
        if (!known) {
            auto windows = windows_.read({*it}, screen->currentDesktop, false);
            if (!windows.empty()) {
                known = std::move(windows.front());
            }
        }
        if (known && !known->dockType) {
            return *it;
        }
    }
    return XCB_WINDOW_NONE;
}

platform::WindowOutcome WindowManager::raise(xcb_window_t id) {
    if (!connection_.alive()) {
        return platform::WindowOutcome::disconnected;
    }
    if (!window(id)) {
        return connection_.alive() ? platform::WindowOutcome::windowGone : platform::WindowOutcome::disconnected;
    }
    const auto screen = readScreenState(connection_);
    if (screen && !screen->managed) {
        const std::uint32_t above = XCB_STACK_MODE_ABOVE;
        if (!checkRequest(connection_.log(), "ConfigureWindow", connection_.xcb(),
                          xcb_configure_window_checked(connection_.xcb(), id, XCB_CONFIG_WINDOW_STACK_MODE, &above))) {
            return connection_.alive() ? platform::WindowOutcome::windowGone : platform::WindowOutcome::disconnected;
        }
        return topOfStacking() == id ? platform::WindowOutcome::done : platform::WindowOutcome::notExact;
    }
    auto& ewmh = connection_.ewmh();
    const xcb_timestamp_t now = connection_.currentTime();
    const bool activated = sendToRoot(connection_, "SendEvent (_NET_ACTIVE_WINDOW)", id, ewmh._NET_ACTIVE_WINDOW,
                                      {kSourcePager, now, XCB_WINDOW_NONE, 0, 0});
    // Activation may be refused as focus stealing, and some clients never
    // take focus; restacking raises them all the same.
    const bool restacked = sendToRoot(connection_, "SendEvent (_NET_RESTACK_WINDOW)", id, ewmh._NET_RESTACK_WINDOW,
                                      {kSourcePager, XCB_WINDOW_NONE, kStackAbove, 0, 0});
    if (!activated && !restacked) {
        return connection_.alive() ? platform::WindowOutcome::windowGone : platform::WindowOutcome::disconnected;
    }
    // Judged by the frames' real order, not by _NET_CLIENT_LIST_STACKING,
    // which some window managers never reorder (fluxbox) or list top first
    // (jwm). Where the hints are not honoured in a while, a plain restack
    // request follows; the wait goes on to the full bound either way, since
    // a busy window manager may restack more than once.
    const xcb_window_t root = connection_.root();
    const xcb_atom_t stacking = ewmh._NET_CLIENT_LIST_STACKING;
    const auto deadline = Clock::now() + kLateWindowManager;
    const auto fallbackAt = Clock::now() + kSettleAfterAnswer;
    bool fellBack = false;
    bool settledOnTop = false;
    const auto stackingChanged = [&](const xcb_generic_event_t& event) {
        return kindOf(event) == XCB_CONFIGURE_NOTIFY || isPropertyChange(event, root, stacking);
    };
    for (;;) {
        const auto onTop = frameOnTop(id);
        if (!connection_.alive()) {
            return platform::WindowOutcome::disconnected;
        }
        if (!onTop) {
            return platform::WindowOutcome::windowGone;
        }
        // On top once is not enough: a window manager may give the focus,
        // and with it the top, back to another window a moment later
        // (fluxbox, for a client that takes no focus).
        if (*onTop && (settledOnTop || Clock::now() >= deadline)) {
            return platform::WindowOutcome::done;
        }
        if (*onTop) {
            settledOnTop = true;
            const auto quietUntil = std::min(deadline, Clock::now() + kSettledQuiet);
            while (connection_.alive() && connection_.waitFor(stackingChanged, quietUntil)) {
            }
            continue;
        }
        settledOnTop = false;
        if (Clock::now() >= deadline) {
            return platform::WindowOutcome::notExact;
        }
        if (!fellBack && Clock::now() >= fallbackAt) {
            fellBack = true;
            const std::uint32_t above = XCB_STACK_MODE_ABOVE;
            checkRequest(connection_.log(), "ConfigureWindow", connection_.xcb(),
                         xcb_configure_window_checked(connection_.xcb(), id, XCB_CONFIG_WINDOW_STACK_MODE, &above));
        }
        connection_.waitFor(stackingChanged, fellBack ? deadline : fallbackAt);
    }
}

bool WindowManager::isDock(xcb_window_t id, std::uint32_t desktop) {
    auto known = windows_.unchanged(id, desktop);
    if (!known) {
        auto windows = windows_.read({id}, desktop, false);
        if (!windows.empty()) {
            known = std::move(windows.front());
        }
    }
    return known && known->dockType;
}

// Whether the window's frame is the topmost viewable frame of a client that
// is no panel, in the server's own stacking of the root's children. Nothing
// when the window is gone.
std::optional<bool> WindowManager::frameOnTop(xcb_window_t id) {
    xcb_connection_t* xcb = connection_.xcb();
    const auto screen = screenState();
    if (!screen) {
        return std::nullopt;
    }
    // Each client's frame: its ancestor that is a child of the root, found
    // a level at a time for all clients at once.
    std::vector<std::pair<xcb_window_t, xcb_window_t>> climbing;  // client, window reached
    for (const xcb_window_t client : screen->stackingBottomToTop) {
        climbing.emplace_back(client, client);
    }
    std::map<xcb_window_t, xcb_window_t> clientOfFrame;
    for (int depth = 0; depth < 8 && !climbing.empty(); ++depth) {
        std::vector<xcb_query_tree_cookie_t> cookies;
        cookies.reserve(climbing.size());
        for (const auto& reached : climbing) {
            cookies.push_back(xcb_query_tree(xcb, reached.second));
        }
        std::vector<std::pair<xcb_window_t, xcb_window_t>> higher;
        for (std::size_t i = 0; i < climbing.size(); ++i) {
            const auto tree = awaitReply(connection_.log(), "QueryTree", xcb, xcb_query_tree_reply, cookies[i]);
            if (!tree) {
                continue;  // gone
            }
            if (tree->parent == connection_.root() || tree->parent == XCB_WINDOW_NONE) {
                clientOfFrame[climbing[i].second] = climbing[i].first;
            } else {
                higher.emplace_back(climbing[i].first, tree->parent);
            }
        }
        climbing = std::move(higher);
    }
    xcb_window_t ours = XCB_WINDOW_NONE;
    for (const auto& [frame, client] : clientOfFrame) {
        if (client == id) {
            ours = frame;
        }
    }
    const auto geometryOf = [&](xcb_window_t window) {
        return awaitReply(connection_.log(), "GetGeometry", xcb, xcb_get_geometry_reply, xcb_get_geometry(xcb, window));
    };
    if (ours == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    const auto ourGeometry = geometryOf(ours);
    if (!ourGeometry) {
        return std::nullopt;
    }
    // Only what overlaps the window hides it: a window manager's own bar
    // elsewhere on the screen does not.
    const auto overlaps = [&](const xcb_get_geometry_reply_t& other) {
        const auto& we = *ourGeometry;
        return other.x < we.x + we.width && we.x < other.x + other.width && other.y < we.y + we.height &&
               we.y < other.y + other.height;
    };
    const auto tree =
        awaitReply(connection_.log(), "QueryTree", xcb, xcb_query_tree_reply, xcb_query_tree(xcb, connection_.root()));
    if (!tree) {
        return std::nullopt;
    }
    const std::span<const xcb_window_t> bottomToTop(
        xcb_query_tree_children(tree.get()), static_cast<std::size_t>(xcb_query_tree_children_length(tree.get())));
    for (std::size_t above = bottomToTop.size(); above-- > 0;) {
        const xcb_window_t frame = bottomToTop[above];
        if (frame == ours) {
            return true;
        }
        const auto client = clientOfFrame.find(frame);
        if (client == clientOfFrame.end() || isDock(client->second, screen->currentDesktop)) {
            continue;
        }
        const auto attributes = awaitReply(connection_.log(), "GetWindowAttributes", xcb,
                                           xcb_get_window_attributes_reply, xcb_get_window_attributes(xcb, frame));
        const auto geometry = geometryOf(frame);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && geometry && overlaps(*geometry)) {
            return false;
        }
    }
    return false;
}

}  // namespace tallowin::x11
