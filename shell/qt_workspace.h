#pragma once

#include <memory>
#include <string_view>

#include "platform/desktop_session.h"
#include "platform/workspace.h"

namespace tallowin::platform {
class LineOutput;
}  // namespace tallowin::platform

namespace tallowin::shell {

class CaptureTool;

// Opens items through the desktop's own handler (QDesktopServices). An item
// that does not exist is refused quietly: the desktop would only complain
// on standard error (the screenshot tool's path exists on macOS alone).
// The capture tool is the platform's: Screenshot.app on macOS; on Linux the
// user's recorder, handed the rectangle (shell/recorders), reporting on the
// output given (standard output by default).
class QtWorkspace final : public platform::Workspace {
public:
    QtWorkspace();
    // The session is the one the window system was chosen for.
    QtWorkspace(platform::LineOutput& output, platform::DesktopSession session);
    ~QtWorkspace() override;
    QtWorkspace(const QtWorkspace&) = delete;
    QtWorkspace& operator=(const QtWorkspace&) = delete;
    QtWorkspace(QtWorkspace&&) = delete;
    QtWorkspace& operator=(QtWorkspace&&) = delete;

    bool openURL(const platform::FileURL& url) override;
    bool openCaptureTool(const platform::CaptureHandoff& handoff) override;

    // The --recorder option: "obs", "ssr" or "none" pins that recorder and
    // remembers it in Tallowin's settings file; "auto" forgets the pin (the
    // choice is then made from what runs and what is installed). False, with
    // nothing changed, for any other name or when the settings file cannot
    // be written. Accepted and without effect on macOS.
    bool pinRecorder(std::string_view name);
    // Whether pinRecorder knows the name, for the command line's own check.
    static bool knownRecorder(std::string_view name);

private:
    std::unique_ptr<platform::LineOutput> ownOutput_;
    std::unique_ptr<CaptureTool> tool_;
};

}  // namespace tallowin::shell
