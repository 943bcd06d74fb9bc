#include "platform/x11/x11_process_ids.h"

#include <xcb/res.h>

#include <fstream>
#include <limits>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_text.h"

namespace tallowin::x11 {

std::optional<pid_t> pidFrom(std::uint32_t value) {
    if (value == 0 || value > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max())) {
        return std::nullopt;
    }
    return static_cast<pid_t>(value);
}

std::vector<std::optional<pid_t>> pidsFromServer(X11Connection& connection, std::span<const xcb_window_t> windows) {
    std::vector<std::optional<pid_t>> pids(windows.size());
    if (!connection.hasXRes() || windows.empty()) {
        return pids;
    }
    xcb_connection_t* xcb = connection.xcb();
    std::vector<xcb_res_query_client_ids_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        const xcb_res_client_id_spec_t wanted{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        cookies.push_back(xcb_res_query_client_ids(xcb, 1, &wanted));
    }
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        const auto reply =
            awaitReply(connection.log(), "ResQueryClientIds", xcb, xcb_res_query_client_ids_reply, cookies[i]);
        if (!reply) {
            continue;
        }
        for (auto ids = xcb_res_query_client_ids_ids_iterator(reply.get()); ids.rem > 0;
             xcb_res_client_id_value_next(&ids)) {
            // Each value opens with the client id it answers (its first member).
            const auto* answered = reinterpret_cast<const xcb_res_client_id_spec_t*>(ids.data);
            if ((answered->mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
                xcb_res_client_id_value_value_length(ids.data) >= 1) {
                pids[i] = pidFrom(*xcb_res_client_id_value_value(ids.data));
                break;
            }
        }
    }
    return pids;
}

std::optional<std::string> processName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!std::getline(comm, name) || name.empty()) {
        return std::nullopt;
    }
    return repairUtf8(name);
}

}  // namespace tallowin::x11
