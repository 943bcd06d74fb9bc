#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QWebSocket>
#include <QWebSocketServer>

#include <functional>
#include <map>

namespace tallowin::recorders::testing {

// A stand-in for obs-websocket 5 on a free local port: the hello with a
// challenge, the identification, and answers to requests from a table (a
// request with no entry succeeds with empty data). Logs every request.
class FakeObs final : public QObject {
    Q_OBJECT

public:
    struct Answer {
        int code = 100;
        QString comment;
        QJsonObject data;
    };

    explicit FakeObs(QString password = {}, QObject* parent = nullptr);

    [[nodiscard]] int port() const { return server_.serverPort(); }

    QString password;
    bool sendHello = true;              // false: accept and stay silent
    std::map<QString, Answer> answers;  // by request type
    QList<QJsonObject> requests;        // {"requestType", "requestData"}, in order

    [[nodiscard]] QStringList requestTypes() const;
    [[nodiscard]] QJsonObject requestData(const QString& type) const;

private:
    void onConnection();
    void onText(QWebSocket* client, const QString& text);

    QWebSocketServer server_{QStringLiteral("fake obs"), QWebSocketServer::NonSecureMode};
};

}  // namespace tallowin::recorders::testing
