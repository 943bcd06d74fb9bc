#pragma once

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace tallowin::recorders {

// The stacking of the desktop's client windows, through the X connection of
// the Qt application (none on other platforms, or offscreen: then every
// question is answered "no" and nothing is raised).
class WindowStack {
public:
    WindowStack();

    [[nodiscard]] bool available() const { return connection_ != nullptr; }

    // Whether a window of one of those processes is stacked above the
    // placed window (_NET_CLIENT_LIST_STACKING, _NET_WM_PID).
    [[nodiscard]] bool coveredBy(std::uint32_t placed, const std::vector<pid_t>& owners) const;

    // Whether any window of those processes is listed.
    [[nodiscard]] bool hasWindowOf(const std::vector<pid_t>& owners) const;

    // Raises and activates the placed window again (_NET_ACTIVE_WINDOW, as a pager).
    void raise(std::uint32_t placed) const;

private:
    void* connection_ = nullptr;  // xcb_connection_t, owned by Qt
    std::uint32_t root_ = 0;
};

}  // namespace tallowin::recorders
