#include "platform/window_system.h"

#include <algorithm>
#include <utility>

namespace tallowin::platform {

WindowReading WindowSystem::windowNow(std::uint32_t id) {
    auto seen = snapshot();
    if (!seen) {
        return {WindowOutcome::disconnected, std::nullopt};
    }
    const auto found = std::ranges::find(seen->windows, id, &SystemWindow::id);
    if (found == seen->windows.end()) {
        return {WindowOutcome::windowGone, std::nullopt};
    }
    return {WindowOutcome::done, std::move(*found)};
}

}  // namespace tallowin::platform
