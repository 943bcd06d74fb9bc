#include "shell/qt_workspace.h"

#include <QDesktopServices>
#include <QUrl>

namespace tallowin::shell {

bool QtWorkspace::openURL(const platform::FileURL& url) {
    const auto path = QString::fromUtf8(url.path.data(), static_cast<qsizetype>(url.path.size()));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace tallowin::shell
