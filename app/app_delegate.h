#pragma once

namespace tallowin {

// Answers the questions the application framework asks of the program.
class AppDelegate {
public:
    AppDelegate() = default;

    void applicationDidFinishLaunching() {}
    void applicationWillTerminate() {}
    [[nodiscard]] bool applicationSupportsSecureRestorableState() const { return true; }
    // Closing the main window quits the application.
    [[nodiscard]] bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
};

}  // namespace tallowin
