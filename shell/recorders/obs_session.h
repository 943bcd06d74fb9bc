#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWebSocket>

#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "platform/workspace.h"

namespace tallowin::platform {
class LineOutput;
}  // namespace tallowin::platform

namespace tallowin::recorders {

// One conversation with OBS over obs-websocket 5: identify (with the
// password's challenge when OBS asks for one), then set the canvas to the
// rectangle's size and make Tallowin's own scene, whose one screen capture
// is cut to the rectangle, the current one. Under Wayland the capture is
// OBS's PipeWire screen source, whose scene item is cropped to the rectangle
// (the user picks the screen in the desktop's portal once). Touches no other
// scene or source, and never starts a recording. Every step has a bounded wait; each
// failure is one line on the output.
class ObsSession final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kSceneName = "Tallowin";
    static constexpr const char* kInputName = "Tallowin capture";
    static constexpr const char* kWaylandInputName = "Tallowin capture (PipeWire)";
    static constexpr const char* kWaylandInputKind = "pipewire-desktop-capture-source";

    enum class Outcome {
        Ready,        // the scene is current
        Recording,    // OBS records: nothing changed, said so
        Unreachable,  // nothing answered on the port; nothing said
        Failed,       // said in a line
    };

    struct Setup {
        int port = 4455;
        QString password;
        QString settingsFile;  // named in the lines
        platform::CaptureRectangle rectangle;
        int screenIndex = 0;  // xshm_input's screen
        int screenX = 0;
        int screenY = 0;
        int screenWidth = 0;
        int screenHeight = 0;
        std::chrono::milliseconds stepTimeout{10000};
        bool wayland = false;  // sway: a PipeWire capture, cropped in the scene
    };

    explicit ObsSession(platform::LineOutput& output, QObject* parent = nullptr);
    ~ObsSession() override;
    ObsSession(const ObsSession&) = delete;
    ObsSession& operator=(const ObsSession&) = delete;
    ObsSession(ObsSession&&) = delete;
    ObsSession& operator=(ObsSession&&) = delete;

    void start(const Setup& setup);

    // The xshm_input settings that cut the rectangle out of its screen.
    static QJsonObject captureSettings(const Setup& setup);
    // The scene item's transform: at the canvas's corner, cropped to the
    // rectangle where the source cannot cut it itself (Wayland).
    static QJsonObject itemTransform(const Setup& setup);

signals:
    void finished(tallowin::recorders::ObsSession::Outcome outcome);

private:
    using Answer = std::function<void(const QJsonObject& responseData)>;
    // Called instead of failing when OBS refuses the request; null: fail.
    using Refusal = std::function<void(int code)>;

    void onText(const QString& text);
    void onHello(const QJsonObject& data);
    void onResponse(const QJsonObject& data);
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void onTimeout();

    void request(const QString& type, const QJsonObject& data, Answer answer, Refusal refusal = {});
    void fail(const std::string& line);
    void finish(Outcome outcome);

    void setCanvas();
    void ensureScene();
    void ensureInput();
    void createInput(const QString& name);
    void placeItem(int sceneItemId);
    void makeCurrent();

    platform::LineOutput& output_;
    QWebSocket socket_;
    QTimer timer_;
    Setup setup_;
    QString step_;
    bool identified_ = false;
    bool done_ = false;
    bool askedForScreen_ = false;  // a new PipeWire capture: the portal asks the user
    int nextRequest_ = 1;
    std::map<QString, std::pair<Answer, Refusal>> pending_;
};

}  // namespace tallowin::recorders
