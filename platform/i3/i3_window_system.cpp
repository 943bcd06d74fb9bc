#include "platform/i3/i3_window_system.h"

#include <xcb/xcb_ewmh.h>

#include <utility>
#include <vector>

#include "platform/x11/x11_call.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_process_ids.h"
#include "platform/x11/x11_window_manager.h"

namespace tallowin::i3 {

std::string socketOnRoot(x11::X11Connection& display) {
    constexpr std::string_view kName = "I3_SOCKET_PATH";
    auto atom =
        x11::awaitReply(display.log(), "InternAtom (I3_SOCKET_PATH)", display.xcb(), xcb_intern_atom_reply,
                        xcb_intern_atom(display.xcb(), 1, static_cast<std::uint16_t>(kName.size()), kName.data()));
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return {};
    }
    auto path = x11::awaitReply(
        display.log(), "GetProperty (I3_SOCKET_PATH)", display.xcb(), xcb_get_property_reply,
        xcb_get_property(display.xcb(), 0, display.root(), atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024));
    if (!path || path->format != 8) {
        return {};
    }
    const auto* text = static_cast<const char*>(xcb_get_property_value(path.get()));
    return {text, static_cast<std::size_t>(xcb_get_property_value_length(path.get()))};
}

I3Dialect::I3Dialect(std::unique_ptr<x11::X11Connection> display) : display_(std::move(display)) {}

I3Dialect::~I3Dialect() = default;

// The tree has no pids: _NET_WM_PID, else the X server's record of the client,
// all asked at once.
std::optional<sway::SwayTree> I3Dialect::parse(std::string_view json) {
    auto tree = sway::parseI3Tree(json);
    if (!tree || tree->views.empty()) {
        return tree;
    }
    xcb_ewmh_connection_t& ewmh = display_->ewmh();
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(tree->views.size());
    for (const sway::TreeView& view : tree->views) {
        cookies.push_back(xcb_ewmh_get_wm_pid(&ewmh, view.window.id));
    }
    std::vector<xcb_window_t> unknown;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        std::uint32_t pid = 0;
        if (xcb_ewmh_get_wm_pid_reply(&ewmh, cookies[i], &pid, nullptr) != 0) {
            tree->views[i].window.pid = x11::pidFrom(pid);
        }
        if (!tree->views[i].window.pid) {
            unknown.push_back(tree->views[i].window.id);
        }
    }
    if (!unknown.empty() && display_->hasXRes()) {
        const auto pids = x11::pidsFromServer(*display_, unknown);
        for (std::size_t i = 0, next = 0; i < tree->views.size() && next < unknown.size(); ++i) {
            if (tree->views[i].window.id == unknown[next]) {
                tree->views[i].window.pid = pids[next++];
            }
        }
    }
    return tree;
}

// i3 sizes a floating X11 client in whole increments (an xterm's character
// cells): without them in its size hints, any frame can be exact. The round
// trip puts the change before the commands that follow over the socket.
void I3Dialect::beforeFrame(std::uint32_t window) { x11::withdrawSizeIncrements(*display_, window, std::nullopt); }

std::unique_ptr<sway::SwayWindowSystem> connectI3(const char* displayName, const char* socketPath,
                                                  platform::LineOutput& status) {
    auto display = x11::X11Connection::open(displayName);
    if (!display) {
        return nullptr;
    }
    // An I3SOCK left over from an earlier session does not hide the running i3.
    std::string error;
    std::unique_ptr<sway::I3IpcSocket> socket;
    std::string path = socketPath != nullptr ? socketPath : "";
    if (!path.empty()) {
        socket = sway::I3IpcSocket::connect(path, error);
    }
    if (!socket) {
        path = socketOnRoot(*display);
        socket = path.empty() ? nullptr : sway::I3IpcSocket::connect(path, error);
    }
    if (!socket) {
        return nullptr;
    }
    return std::make_unique<sway::SwayWindowSystem>(path, status, std::move(socket),
                                                    std::make_unique<I3Dialect>(std::move(display)));
}

}  // namespace tallowin::i3
