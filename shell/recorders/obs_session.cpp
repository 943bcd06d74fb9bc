#include "shell/recorders/obs_session.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QUrl>

#include <algorithm>
#include <array>
#include <string>

#include "platform/line_output.h"

namespace tallowin::recorders {

namespace {

constexpr int kRequestSucceeded = 100;
constexpr int kResourceNotFound = 600;
constexpr int kAuthenticationFailed = 4009;

std::string text(const QString& value) { return value.toStdString(); }

QString base64Sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toBase64());
}

std::string seconds(std::chrono::milliseconds duration) {
    const auto tenths = duration.count() / 100;
    return std::to_string(tenths / 10) + (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "") + " s";
}

}  // namespace

ObsSession::ObsSession(platform::LineOutput& output, QObject* parent) : QObject(parent), output_(output) {
    timer_.setSingleShot(true);
    // OBS listens on this machine: no proxy, and no look-up of one.
    socket_.setProxy(QNetworkProxy::NoProxy);
    connect(&timer_, &QTimer::timeout, this, &ObsSession::onTimeout);
    connect(&socket_, &QWebSocket::textMessageReceived, this, &ObsSession::onText);
    connect(&socket_, &QWebSocket::disconnected, this, &ObsSession::onDisconnected);
    // Qt 6.4 names the signal error; 6.5 renamed it errorOccurred.
    connect(&socket_, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this, &ObsSession::onError);
}

ObsSession::~ObsSession() {
    done_ = true;
    socket_.disconnect(this);
    socket_.abort();
}

namespace {

// How far the rectangle lies from its screen's left, top, right and bottom.
std::array<qint64, 4> edgesOf(const ObsSession::Setup& setup) {
    const auto& rectangle = setup.rectangle;
    const auto left = rectangle.x - setup.screenX;
    const auto top = rectangle.y - setup.screenY;
    return {static_cast<qint64>(std::max<std::int64_t>(left, 0)), static_cast<qint64>(std::max<std::int64_t>(top, 0)),
            static_cast<qint64>(std::max<std::int64_t>(setup.screenWidth - left - rectangle.width, 0)),
            static_cast<qint64>(std::max<std::int64_t>(setup.screenHeight - top - rectangle.height, 0))};
}

}  // namespace

QJsonObject ObsSession::captureSettings(const Setup& setup) {
    const auto [left, top, right, bottom] = edgesOf(setup);
    return QJsonObject{
        {"screen", setup.screenIndex}, {"show_cursor", true}, {"cut_left", left}, {"cut_top", top},
        {"cut_right", right},          {"cut_bot", bottom},
    };
}

QJsonObject ObsSession::itemTransform(const Setup& setup) {
    const auto crop = setup.wayland ? edgesOf(setup) : std::array<qint64, 4>{};
    return QJsonObject{{"positionX", 0},        {"positionY", 0},      {"rotation", 0},      {"scaleX", 1},
                       {"scaleY", 1},           {"cropLeft", crop[0]}, {"cropTop", crop[1]}, {"cropRight", crop[2]},
                       {"cropBottom", crop[3]}, {"alignment", 5}};
}

void ObsSession::start(const Setup& setup) {
    setup_ = setup;
    step_ = QStringLiteral("the connection");
    timer_.start(setup_.stepTimeout);
    socket_.open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(setup_.port)));
}

void ObsSession::onText(const QString& message) {
    const auto document = QJsonDocument::fromJson(message.toUtf8());
    const auto op = document.object().value("op").toInt(-1);
    const auto data = document.object().value("d").toObject();
    if (op == 0) {
        onHello(data);
    } else if (op == 2) {
        identified_ = true;
        setCanvas();
    } else if (op == 7) {
        onResponse(data);
    }
}

void ObsSession::onHello(const QJsonObject& data) {
    QJsonObject identify{{"rpcVersion", 1}, {"eventSubscriptions", 0}};
    if (data.contains("authentication")) {
        if (setup_.password.isEmpty()) {
            fail("OBS asks for a WebSocket password and " + text(setup_.settingsFile) +
                 " holds none: set one in OBS under Tools > WebSocket Server Settings.");
            return;
        }
        const auto challenge = data.value("authentication").toObject();
        const auto secret = base64Sha256(setup_.password.toUtf8() + challenge.value("salt").toString().toUtf8());
        identify["authentication"] = base64Sha256(secret.toUtf8() + challenge.value("challenge").toString().toUtf8());
    }
    step_ = QStringLiteral("the identification");
    timer_.start(setup_.stepTimeout);
    socket_.sendTextMessage(
        QString::fromUtf8(QJsonDocument(QJsonObject{{"op", 1}, {"d", identify}}).toJson(QJsonDocument::Compact)));
}

void ObsSession::request(const QString& type, const QJsonObject& data, Answer answer, Refusal refusal) {
    const auto id = QString::number(nextRequest_++);
    pending_[id] = {std::move(answer), std::move(refusal)};
    step_ = type;
    timer_.start(setup_.stepTimeout);
    const QJsonObject message{{"op", 6},
                              {"d", QJsonObject{{"requestType", type}, {"requestId", id}, {"requestData", data}}}};
    socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void ObsSession::onResponse(const QJsonObject& data) {
    const auto found = pending_.find(data.value("requestId").toString());
    if (found == pending_.end()) {
        return;
    }
    auto [answer, refusal] = std::move(found->second);
    pending_.erase(found);
    timer_.stop();
    const auto status = data.value("requestStatus").toObject();
    const int code = status.value("code").toInt();
    if (code == kRequestSucceeded) {
        answer(data.value("responseData").toObject());
    } else if (refusal) {
        refusal(code);
    } else {
        const auto comment = status.value("comment").toString();
        fail("OBS refused " + text(data.value("requestType").toString()) + " (code " + std::to_string(code) + ")" +
             (comment.isEmpty() ? std::string(".") : ": " + text(comment)));
    }
}

void ObsSession::setCanvas() {
    request("GetRecordStatus", {}, [this](const QJsonObject& record) {
        if (record.value("outputActive").toBool()) {
            output_.writeLine(
                "OBS is recording: Tallowin leaves its canvas and scenes as they are; stop the recording and "
                "press Place again.");
            finish(Outcome::Recording);
            return;
        }
        const auto width = static_cast<qint64>(setup_.rectangle.width);
        const auto height = static_cast<qint64>(setup_.rectangle.height);
        request("SetVideoSettings",
                {{"baseWidth", width}, {"baseHeight", height}, {"outputWidth", width}, {"outputHeight", height}},
                [this](const QJsonObject&) { ensureScene(); });
    });
}

void ObsSession::ensureScene() {
    request("GetSceneList", {}, [this](const QJsonObject& list) {
        const auto scenes = list.value("scenes").toArray();
        const bool exists = std::any_of(scenes.begin(), scenes.end(), [](const QJsonValue& scene) {
            return scene.toObject().value("sceneName").toString() == QLatin1String(kSceneName);
        });
        if (exists) {
            ensureInput();
        } else {
            request("CreateScene", {{"sceneName", kSceneName}}, [this](const QJsonObject&) { ensureInput(); });
        }
    });
}

void ObsSession::ensureInput() {
    const QString name = QLatin1String(setup_.wayland ? kWaylandInputName : kInputName);
    request("GetInputList", {}, [this, name](const QJsonObject& list) {
        const auto inputs = list.value("inputs").toArray();
        const bool exists = std::any_of(inputs.begin(), inputs.end(), [&name](const QJsonValue& input) {
            return input.toObject().value("inputName").toString() == name;
        });
        if (!exists) {
            createInput(name);
            return;
        }
        const auto findItem = [this, name] {
            request(
                "GetSceneItemId", {{"sceneName", kSceneName}, {"sourceName", name}},
                [this](const QJsonObject& item) { placeItem(item.value("sceneItemId").toInt()); },
                [this, name](int code) {
                    if (code != kResourceNotFound) {
                        fail("OBS refused GetSceneItemId (code " + std::to_string(code) + ").");
                        return;
                    }
                    request("CreateSceneItem", {{"sceneName", kSceneName}, {"sourceName", name}},
                            [this](const QJsonObject& item) { placeItem(item.value("sceneItemId").toInt()); });
                });
        };
        // A PipeWire capture keeps the screen the user picked in the portal.
        if (setup_.wayland) {
            findItem();
            return;
        }
        request("SetInputSettings",
                {{"inputName", name}, {"inputSettings", captureSettings(setup_)}, {"overlay", true}},
                [findItem](const QJsonObject&) { findItem(); });
    });
}

void ObsSession::createInput(const QString& name) {
    const auto create = [this, name](const QString& kind, const QJsonObject& settings) {
        request("CreateInput",
                {{"sceneName", kSceneName},
                 {"inputName", name},
                 {"inputKind", kind},
                 {"inputSettings", settings},
                 {"sceneItemEnabled", true}},
                [this](const QJsonObject& created) { placeItem(created.value("sceneItemId").toInt()); });
    };
    if (!setup_.wayland) {
        create(QStringLiteral("xshm_input"), captureSettings(setup_));
        return;
    }
    request("GetInputKindList", {}, [this, create](const QJsonObject& list) {
        if (!list.value("inputKinds").toArray().contains(QLatin1String(kWaylandInputKind))) {
            fail(
                "OBS has no PipeWire screen capture, which it needs under Wayland (Debian: apt install obs-plugins "
                "xdg-desktop-portal-wlr).");
            return;
        }
        askedForScreen_ = true;
        create(QLatin1String(kWaylandInputKind), QJsonObject{{"ShowCursor", true}});
    });
}

void ObsSession::placeItem(int sceneItemId) {
    request("SetSceneItemTransform",
            {{"sceneName", kSceneName}, {"sceneItemId", sceneItemId}, {"sceneItemTransform", itemTransform(setup_)}},
            [this, sceneItemId](const QJsonObject&) {
                request("SetSceneItemEnabled",
                        {{"sceneName", kSceneName}, {"sceneItemId", sceneItemId}, {"sceneItemEnabled", true}},
                        [this](const QJsonObject&) { makeCurrent(); });
            });
}

void ObsSession::makeCurrent() {
    request("SetCurrentProgramScene", {{"sceneName", kSceneName}}, [this](const QJsonObject&) {
        const auto& rectangle = setup_.rectangle;
        output_.writeLine("OBS is ready: scene \"" + std::string(kSceneName) + "\" shows " +
                          std::to_string(rectangle.width) + "x" + std::to_string(rectangle.height) + " at " +
                          std::to_string(rectangle.x) + "," + std::to_string(rectangle.y) + " on a " +
                          std::to_string(rectangle.width) + "x" + std::to_string(rectangle.height) +
                          " canvas; press Start Recording in OBS.");
        if (askedForScreen_) {
            output_.writeLine("OBS asks which screen to share: pick the one that holds " + std::to_string(rectangle.x) +
                              "," + std::to_string(rectangle.y) + ".");
        }
        finish(Outcome::Ready);
    });
}

void ObsSession::onDisconnected() {
    if (done_) {
        return;
    }
    const int code = static_cast<int>(socket_.closeCode());
    if (code == kAuthenticationFailed) {
        fail("OBS refused the WebSocket password from " + text(setup_.settingsFile) + ".");
    } else if (!identified_ && step_ == QLatin1String("the connection")) {
        finish(Outcome::Unreachable);
    } else {
        const auto reason = socket_.closeReason();
        fail("OBS closed the WebSocket connection during " + text(step_) + " (code " + std::to_string(code) + ")" +
             (reason.isEmpty() ? std::string(".") : ": " + text(reason)));
    }
}

void ObsSession::onError(QAbstractSocket::SocketError error) {
    if (done_ || error == QAbstractSocket::RemoteHostClosedError) {
        return;  // onDisconnected names it
    }
    if (step_ == QLatin1String("the connection") && socket_.state() != QAbstractSocket::ConnectedState) {
        finish(Outcome::Unreachable);
    }
}

void ObsSession::onTimeout() {
    fail("OBS did not answer " + text(step_) + " on port " + std::to_string(setup_.port) + " within " +
         seconds(setup_.stepTimeout) + ".");
}

void ObsSession::fail(const std::string& line) {
    if (done_) {
        return;
    }
    output_.writeLine(line);
    finish(Outcome::Failed);
}

void ObsSession::finish(Outcome outcome) {
    if (done_) {
        return;
    }
    done_ = true;
    timer_.stop();
    pending_.clear();
    socket_.close();
    emit finished(outcome);
}

}  // namespace tallowin::recorders
