#include "tests/recorders/fake_obs.h"

#include <QCryptographicHash>
#include <QHostAddress>

namespace tallowin::recorders::testing {

namespace {
const QString kSalt = QStringLiteral("c2FsdA==");
const QString kChallenge = QStringLiteral("Y2hhbGxlbmdl");

QString base64Sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toBase64());
}

// obs-websocket's own close code, outside Qt's enumeration: converted as a
// value, never held in a variable of the enumeration's type.
constexpr int kAuthenticationFailed = 4009;
void closeWith(QWebSocket* client, int code) {
    client->close(static_cast<QWebSocketProtocol::CloseCode>(code), QStringLiteral("Authentication failed."));
}

void send(QWebSocket* client, int op, const QJsonObject& data) {
    client->sendTextMessage(QString::fromUtf8(QJsonDocument(QJsonObject{{"op", op}, {"d", data}}).toJson()));
}
}  // namespace

FakeObs::FakeObs(QString secret, QObject* parent) : QObject(parent), password(std::move(secret)) {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QWebSocketServer::newConnection, this, &FakeObs::onConnection);
}

QStringList FakeObs::requestTypes() const {
    QStringList types;
    for (const auto& request : requests) {
        types << request.value("requestType").toString();
    }
    return types;
}

QJsonObject FakeObs::requestData(const QString& type) const {
    for (const auto& request : requests) {
        if (request.value("requestType").toString() == type) {
            return request.value("requestData").toObject();
        }
    }
    return {};
}

void FakeObs::onConnection() {
    while (QWebSocket* client = server_.nextPendingConnection()) {
        client->setParent(this);
        connect(client, &QWebSocket::textMessageReceived, this,
                [this, client](const QString& text) { onText(client, text); });
        if (sendHello) {
            QJsonObject hello{{"obsWebSocketVersion", "5.1.0"}, {"rpcVersion", 1}};
            if (!password.isEmpty()) {
                hello["authentication"] = QJsonObject{{"challenge", kChallenge}, {"salt", kSalt}};
            }
            send(client, 0, hello);
        }
    }
}

void FakeObs::onText(QWebSocket* client, const QString& text) {
    const auto message = QJsonDocument::fromJson(text.toUtf8()).object();
    const auto data = message.value("d").toObject();
    const int op = message.value("op").toInt();
    if (op == 1) {
        if (!password.isEmpty()) {
            const auto secret = base64Sha256(password.toUtf8() + kSalt.toUtf8());
            if (data.value("authentication").toString() != base64Sha256(secret.toUtf8() + kChallenge.toUtf8())) {
                closeWith(client, kAuthenticationFailed);
                return;
            }
        }
        send(client, 2, {{"negotiatedRpcVersion", 1}});
        return;
    }
    if (op != 6) {
        return;
    }
    const auto type = data.value("requestType").toString();
    requests << QJsonObject{{"requestType", type}, {"requestData", data.value("requestData")}};
    const auto found = answers.find(type);
    const Answer answer = found != answers.end() ? found->second : Answer{};
    QJsonObject status{{"result", answer.code == 100}, {"code", answer.code}};
    if (!answer.comment.isEmpty()) {
        status["comment"] = answer.comment;
    }
    send(client, 7,
         {{"requestType", type},
          {"requestId", data.value("requestId")},
          {"requestStatus", status},
          {"responseData", answer.data}});
}

}  // namespace tallowin::recorders::testing
