#include "shell/capture_tool.h"

namespace tallowin::recorders {
class RecorderHandoff {};
}  // namespace tallowin::recorders

namespace tallowin::shell {

CaptureTool::CaptureTool(platform::Workspace& workspace, platform::LineOutput& output, platform::DesktopSession session)
    : workspace_(workspace), output_(output), session_(session) {}

CaptureTool::~CaptureTool() = default;

// Screenshot.app reads the stored selection itself.
bool CaptureTool::open(const platform::CaptureHandoff& handoff) { return workspace_.openURL(handoff.tool); }

bool CaptureTool::pin(std::string_view /*name*/) { return true; }

}  // namespace tallowin::shell
