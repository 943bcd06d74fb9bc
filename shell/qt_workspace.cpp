#include "shell/qt_workspace.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <cstdlib>

#include "app/standard_output.h"
#include "shell/capture_tool.h"

namespace tallowin::shell {

// Without the session bus, as a default: KWin is not told from X11 then.
QtWorkspace::QtWorkspace() : ownOutput_(std::make_unique<StandardOutput>()) {
    const auto session =
        platform::desktopSession(false, [](const char* name) -> const char* { return std::getenv(name); });
    tool_ = std::make_unique<CaptureTool>(*this, *ownOutput_, session);
}

QtWorkspace::QtWorkspace(platform::LineOutput& output, platform::DesktopSession session)
    : tool_(std::make_unique<CaptureTool>(*this, output, session)) {}

QtWorkspace::~QtWorkspace() = default;

bool QtWorkspace::openURL(const platform::FileURL& url) {
    const auto path = QString::fromUtf8(url.path.data(), static_cast<qsizetype>(url.path.size()));
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtWorkspace::openCaptureTool(const platform::CaptureHandoff& handoff) { return tool_->open(handoff); }

bool QtWorkspace::pinRecorder(std::string_view name) { return knownRecorder(name) && tool_->pin(name); }

bool QtWorkspace::knownRecorder(std::string_view name) {
    return name == "obs" || name == "ssr" || name == "wf-recorder" || name == "none" || name == "auto";
}

}  // namespace tallowin::shell
