#include "shell/recorders/window_stack.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace tallowin::recorders {

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* asConnection(void* connection) { return static_cast<xcb_connection_t*>(connection); }

xcb_atom_t atom(xcb_connection_t* connection, std::string_view name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<std::uint32_t> cardinals(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                     xcb_atom_t type) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1U << 16U), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

bool ownedBy(xcb_connection_t* connection, xcb_window_t window, const std::vector<pid_t>& owners) {
    const auto pid = cardinals(connection, window, atom(connection, "_NET_WM_PID"), XCB_ATOM_CARDINAL);
    return !pid.empty() && std::find(owners.begin(), owners.end(), static_cast<pid_t>(pid[0])) != owners.end();
}

}  // namespace

WindowStack::WindowStack() {
    auto* application = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (application == nullptr || application->connection() == nullptr) {
        return;
    }
    connection_ = application->connection();
    const xcb_setup_t* setup = xcb_get_setup(asConnection(connection_));
    root_ = xcb_setup_roots_iterator(setup).data->root;
}

bool WindowStack::coveredBy(std::uint32_t placed, const std::vector<pid_t>& owners) const {
    if (connection_ == nullptr) {
        return false;
    }
    auto* connection = asConnection(connection_);
    const auto stacking = cardinals(connection, root_, atom(connection, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    const auto at = std::find(stacking.begin(), stacking.end(), placed);
    if (at == stacking.end()) {
        return false;
    }
    return std::any_of(std::next(at), stacking.end(),
                       [&](std::uint32_t above) { return ownedBy(connection, above, owners); });
}

bool WindowStack::hasWindowOf(const std::vector<pid_t>& owners) const {
    if (connection_ == nullptr) {
        return false;
    }
    auto* connection = asConnection(connection_);
    const auto clients = cardinals(connection, root_, atom(connection, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    return std::any_of(clients.begin(), clients.end(),
                       [&](std::uint32_t client) { return ownedBy(connection, client, owners); });
}

void WindowStack::raise(std::uint32_t placed) const {
    if (connection_ == nullptr) {
        return;
    }
    auto* connection = asConnection(connection_);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = placed;
    event.type = atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2;  // a pager's request: window managers honour it
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

}  // namespace tallowin::recorders
