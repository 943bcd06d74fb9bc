#include "shell/unsupported_desktop.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstring>
#include <utility>

#include "shell/qt_arguments.h"

namespace tallowin::shell {

namespace {

// Whether a compositor answers on the socket WAYLAND_DISPLAY names, as
// libwayland-client finds it.
bool waylandAnswers(const platform::Environment& environment) {
    const std::string display = environment("WAYLAND_DISPLAY");
    std::string path = display;
    if (!display.starts_with('/')) {
        if (!platform::isSet(environment, "XDG_RUNTIME_DIR")) {
            return false;
        }
        path = std::string(environment("XDG_RUNTIME_DIR")) + "/" + display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    // Closed before anything could be started, so no close-on-exec flag,
    // which macOS's socket() would not take anyway.
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket < 0) {
        return false;
    }
    const bool answered = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(socket);
    return answered;
}

}  // namespace

int showUnsupportedDesktop(const std::string& text, std::vector<std::string> qtArguments,
                           const platform::Environment& environment) {
    if (!waylandAnswers(environment)) {
        return 1;
    }
    // The socket just answered; an X display, which Qt might prefer, may not.
    if (!platform::isSet(environment, "QT_QPA_PLATFORM")) {
        qtArguments.insert(qtArguments.begin() + (qtArguments.empty() ? 0 : 1), {"-platform", "wayland"});
    }
    QtArguments arguments(std::move(qtArguments));
    QApplication application(arguments.argc(), arguments.argv());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tallowin"), QString::fromStdString(text), QMessageBox::Close);
    box.exec();
    return 1;
}

}  // namespace tallowin::shell
