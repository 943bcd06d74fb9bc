#include "app/view_controller.h"

#include "discovery/menubar_probe.h"
#include "discovery/window_snapshot.h"
#include "platform/provider.h"

namespace tallowin {

void ViewController::fetchVisibleWindows() {
    auto snapshot = takeWindowSnapshot(platform_.system.windowList());
    if (!snapshot) {
        return;
    }
    updateMenubarHeight(*snapshot);
    visibleWindows_ = visibleWindowsFrom(*snapshot);
}

void ViewController::updateMenubarHeight(const platform::WindowList& snapshot) {
    probeMenubarHeight(snapshot, menubarHeight_, platform_.output);
}

}  // namespace tallowin
