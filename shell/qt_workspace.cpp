#include "shell/qt_workspace.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tallowin::shell {

bool QtWorkspace::openURL(const platform::FileURL& url) {
    const auto path = QString::fromUtf8(url.path.data(), static_cast<qsizetype>(url.path.size()));
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace tallowin::shell
