// Sends requests to a running OBS over its websocket; the tests and the
// demo in scripts/run.sh use it to check and to record:
//   obs_request PORT PASSWORD 'REQUEST [DATA-JSON]'...
// prints each answer's responseData on one line (compact JSON); exits 1 with
// OBS's comment on standard error when a request fails, 2 on no answer.
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebSocket>

#include <cstdio>

namespace {

QString base64Sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toBase64());
}

void send(QWebSocket& socket, int op, const QJsonObject& data) {
    socket.sendTextMessage(
        QString::fromUtf8(QJsonDocument(QJsonObject{{"op", op}, {"d", data}}).toJson(QJsonDocument::Compact)));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: obs_request PORT PASSWORD 'REQUEST [JSON]'...\n");
        return 2;
    }
    const QString& password = arguments.at(2);
    const QStringList requests = arguments.mid(3);
    qsizetype next = 0;
    QWebSocket socket;
    QTimer::singleShot(20000, &application, [] {
        std::fprintf(stderr, "obs_request: no answer within 20 s\n");
        QCoreApplication::exit(2);
    });
    auto sendNext = [&] {
        if (next == requests.size()) {
            socket.disconnect();
            QCoreApplication::exit(0);
            return;
        }
        const QString& request = requests.at(next);
        const auto space = request.indexOf(' ');
        const QString type = space < 0 ? request : request.left(space);
        const QJsonObject data =
            space < 0 ? QJsonObject{} : QJsonDocument::fromJson(request.mid(space + 1).toUtf8()).object();
        send(socket, 6, {{"requestType", type}, {"requestId", QString::number(next)}, {"requestData", data}});
        ++next;
    };
    QObject::connect(&socket, &QWebSocket::textMessageReceived, &application, [&](const QString& text) {
        const auto message = QJsonDocument::fromJson(text.toUtf8()).object();
        const auto data = message.value("d").toObject();
        switch (message.value("op").toInt()) {
            case 0: {
                QJsonObject identify{{"rpcVersion", 1}, {"eventSubscriptions", 0}};
                if (data.contains("authentication")) {
                    const auto challenge = data.value("authentication").toObject();
                    const auto secret = base64Sha256(password.toUtf8() + challenge.value("salt").toString().toUtf8());
                    identify["authentication"] =
                        base64Sha256(secret.toUtf8() + challenge.value("challenge").toString().toUtf8());
                }
                send(socket, 1, identify);
                break;
            }
            case 2:
                sendNext();
                break;
            case 7: {
                const auto status = data.value("requestStatus").toObject();
                if (status.value("code").toInt() != 100) {
                    std::fprintf(stderr, "obs_request: %s refused: %s\n",
                                 qPrintable(data.value("requestType").toString()),
                                 qPrintable(status.value("comment").toString()));
                    socket.disconnect();
                    QCoreApplication::exit(1);
                    return;
                }
                std::printf(
                    "%s\n",
                    QJsonDocument(data.value("responseData").toObject()).toJson(QJsonDocument::Compact).constData());
                std::fflush(stdout);
                sendNext();
                break;
            }
            default:
                break;
        }
    });
    QObject::connect(&socket, &QWebSocket::disconnected, &application, [&] {
        std::fprintf(stderr, "obs_request: disconnected (%d)\n", static_cast<int>(socket.closeCode()));
        QCoreApplication::exit(2);
    });
    socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(arguments.at(1))));
    return QCoreApplication::exec();
}
