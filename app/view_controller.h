#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/platform_services.h"
#include "discovery/visible_window.h"
#include "platform/value.h"
#include "platform/workspace.h"

namespace tallowin::platform {
class AXElement;
class ListControl;
class RepeatingTimer;
class TextControl;
}  // namespace tallowin::platform

namespace tallowin {

// The controller of the main view: holds all shared state and every
// operation on it. Runs on the main thread only.
class ViewController {
public:
    static constexpr double kTimerIntervalSeconds = 5.0;
    static constexpr std::int64_t kInitialMenubarHeight = 24;

    explicit ViewController(PlatformServices services);
    // Invalidates the controller's timers, so none can call into a freed one.
    ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // Outlets: weak; the view hierarchy owns the controls.
    [[nodiscard]] std::shared_ptr<platform::ListControl> windowListComboBox() const;
    void setWindowListComboBox(std::weak_ptr<platform::ListControl> control);
    [[nodiscard]] std::shared_ptr<platform::ListControl> resolutionComboBox() const;
    void setResolutionComboBox(std::weak_ptr<platform::ListControl> control);
    [[nodiscard]] std::shared_ptr<platform::TextControl> message() const;
    void setMessage(std::weak_ptr<platform::TextControl> control);

    void viewDidLoad();
    void checkAccessibility();
    void fetchAndUpdateWindows();
    void viewDidDisappear();
    void windowSelectionChanged(const platform::ListControl& sender);
    void handlePlaceButtonClick();

    [[nodiscard]] const std::vector<VisibleWindow>& visibleWindows() const { return visibleWindows_; }
    [[nodiscard]] std::optional<std::uint32_t> selectedWindowId() const { return selectedWindowId_; }
    [[nodiscard]] std::int64_t menubarHeight() const { return menubarHeight_; }

    // Steps of the operations above, callable on their own.
    void updateWindowListComboBox();
    bool ensureScreenRecordingPermission();
    void setupAccessibilityMonitoring();
    void fetchVisibleWindows();
    void updateMenubarHeight(const platform::WindowList& snapshot);
    void placeWindow(const VisibleWindow& window, double width, double height);
    void bringWindowToFront(const platform::AXElement& window);
    // At the origin the window was given, when it could be read back;
    // otherwise at X 0, Y menubarHeight.
    void saveCaptureSelection(std::int64_t width, std::int64_t height,
                              std::optional<std::pair<double, double>> placedAt = std::nullopt);
    void minimizeMainWindow();
    void openScreenshotTool();

private:
    void startWindowsUpdateTimer();

    PlatformServices platform_;

    std::weak_ptr<platform::ListControl> windowListComboBox_;
    std::weak_ptr<platform::ListControl> resolutionComboBox_;
    std::weak_ptr<platform::TextControl> message_;
    std::vector<VisibleWindow> visibleWindows_;
    std::unique_ptr<platform::RepeatingTimer> windowsUpdateTimer_;
    std::unique_ptr<platform::RepeatingTimer> accessibilityCheckTimer_;
    std::optional<std::uint32_t> selectedWindowId_;
    std::int64_t menubarHeight_ = kInitialMenubarHeight;
    // What the last saveCaptureSelection stored, until openScreenshotTool
    // hands it over with the window placed there.
    std::optional<platform::CaptureRectangle> captureSelection_;
    std::uint32_t placedWindowNumber_ = 0;
};

}  // namespace tallowin
