#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tallowin::x11 {

class X11Connection;

// A pid from a window property; nothing for 0 or a value no pid can have.
std::optional<pid_t> pidFrom(std::uint32_t value);

// The pid of the client that created each window, as the server knows it
// through the X-Resource extension (local clients only); nothing where it
// cannot tell. Classic Xt clients set no _NET_WM_PID.
std::vector<std::optional<pid_t>> pidsFromServer(X11Connection& connection, std::span<const xcb_window_t> windows);

// The process's own name (/proc/PID/comm), or nothing.
std::optional<std::string> processName(pid_t pid);

}  // namespace tallowin::x11
