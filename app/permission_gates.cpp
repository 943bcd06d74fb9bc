#include "app/view_controller.h"

#include "platform/accessibility.h"
#include "platform/line_output.h"
#include "platform/provider.h"
#include "platform/repeating_timer.h"
#include "platform/screen_capture_permission.h"
#include "platform/text_control.h"

namespace tallowin {

bool ViewController::ensureScreenRecordingPermission() {
    if (platform_.system.screenCapture().preflightScreenCaptureAccess()) {
        return true;
    }
    const bool granted = platform_.system.screenCapture().requestScreenCaptureAccess();
    platform_.output.writeLine(granted ? "Screen recording granted, thank you." : "Not granted! Bye-bye...");
    return granted;
}

void ViewController::setupAccessibilityMonitoring() {
    if (platform_.system.accessibility().isProcessTrustedWithOptions(true)) {
        if (auto text = message()) {
            text->setStringValue("");
        }
        fetchVisibleWindows();
        updateWindowListComboBox();
        startWindowsUpdateTimer();
        return;
    }
    if (auto text = message()) {
        text->setStringValue("Accessibility Permission not granted");
    }
    accessibilityCheckTimer_ = platform_.timers.scheduledTimer(kTimerIntervalSeconds, [this] { checkAccessibility(); });
}

void ViewController::checkAccessibility() {
    if (!platform_.system.accessibility().isProcessTrustedWithOptions(false)) {
        return;
    }
    if (accessibilityCheckTimer_) {
        accessibilityCheckTimer_->invalidate();
        accessibilityCheckTimer_.reset();
    }
    if (auto text = message()) {
        text->setStringValue("");
    }
    fetchVisibleWindows();
    updateWindowListComboBox();
    startWindowsUpdateTimer();
}

void ViewController::fetchAndUpdateWindows() {
    fetchVisibleWindows();
    updateWindowListComboBox();
}

void ViewController::startWindowsUpdateTimer() {
    windowsUpdateTimer_ = platform_.timers.scheduledTimer(kTimerIntervalSeconds, [this] { fetchAndUpdateWindows(); });
}

}  // namespace tallowin
