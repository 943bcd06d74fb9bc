#include "shell/capture_tool.h"

#include "shell/recorders/recorder_choice.h"
#include "shell/recorders/recorder_handoff.h"

namespace tallowin::shell {

CaptureTool::CaptureTool(platform::Workspace& workspace, platform::LineOutput& output, platform::DesktopSession session)
    : workspace_(workspace), output_(output), session_(session) {}

CaptureTool::~CaptureTool() = default;

bool CaptureTool::open(const platform::CaptureHandoff& handoff) {
    if (!handoff_) {
        handoff_ = std::make_unique<recorders::RecorderHandoff>(output_, session_);
    }
    handoff_->handOff(handoff);
    return true;
}

bool CaptureTool::pin(std::string_view name) {
    const auto recorder = recorders::recorderNamed(name);
    if (!recorder && name != "auto") {
        return false;
    }
    if (!handoff_) {
        handoff_ = std::make_unique<recorders::RecorderHandoff>(output_, session_);
    }
    handoff_->pin(recorder);
    return recorders::rememberRecorder(recorder);
}

}  // namespace tallowin::shell
