#pragma once

namespace tallowin::platform {
class AccessibilityServices;
class LineOutput;
class MainWindowSource;
class Preferences;
class ScreenCapturePermission;
class TimerFactory;
class WindowListSource;
class Workspace;
}  // namespace tallowin::platform

namespace tallowin {

// The platform services the controller reaches; each outlives the controller.
struct PlatformServices {
    platform::WindowListSource& windowList;
    platform::ScreenCapturePermission& screenCapture;
    platform::AccessibilityServices& accessibility;
    platform::TimerFactory& timers;
    platform::MainWindowSource& application;
    platform::Workspace& workspace;
    platform::Preferences& preferences;
    platform::LineOutput& output;
};

}  // namespace tallowin
