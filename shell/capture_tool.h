#pragma once

#include <memory>
#include <string_view>

#include "platform/desktop_session.h"
#include "platform/workspace.h"

namespace tallowin::platform {
class LineOutput;
}  // namespace tallowin::platform

namespace tallowin::recorders {
class RecorderHandoff;
}  // namespace tallowin::recorders

namespace tallowin::shell {

// The platform's capture tool behind QtWorkspace::openCaptureTool, one
// source file per platform (capture_tool_linux.cpp, capture_tool_macos.cpp).
class CaptureTool {
public:
    // The session decides which recorders can see the screen.
    CaptureTool(platform::Workspace& workspace, platform::LineOutput& output, platform::DesktopSession session);
    ~CaptureTool();
    CaptureTool(const CaptureTool&) = delete;
    CaptureTool& operator=(const CaptureTool&) = delete;
    CaptureTool(CaptureTool&&) = delete;
    CaptureTool& operator=(CaptureTool&&) = delete;

    bool open(const platform::CaptureHandoff& handoff);
    bool pin(std::string_view name);

    // The handoff under way on Linux (null elsewhere, and before the first).
    [[nodiscard]] recorders::RecorderHandoff* recorderHandoff() const { return handoff_.get(); }

private:
    // Each platform uses one of these.
    [[maybe_unused]] platform::Workspace& workspace_;
    [[maybe_unused]] platform::LineOutput& output_;
    [[maybe_unused]] platform::DesktopSession session_;
    std::unique_ptr<recorders::RecorderHandoff> handoff_;
};

}  // namespace tallowin::shell
