// One window-list snapshot of $DISPLAY as a whole process, printed as its
// entry count: what a refresh costs from a cold start, next to wmctrl -lpG.
#include <cstdio>

#include "platform/window_list_source.h"
#include "platform/window_system_adapter.h"
#include "platform/x11/x11_window_system.h"

int main() {
    auto x11 = tallowin::x11::openProvider();
    if (!x11) {
        std::fputs("no X server\n", stderr);
        return 1;
    }
    const auto list = x11->windowList().copyWindowInfo(
        tallowin::platform::kWindowListOnScreenOnly | tallowin::platform::kWindowListExcludeDesktopElements, 0);
    if (!list) {
        std::fputs("no window list\n", stderr);
        return 1;
    }
    std::printf("%zu\n", list->size());
    return 0;
}
