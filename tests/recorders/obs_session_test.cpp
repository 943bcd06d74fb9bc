#include <QSignalSpy>
#include <QTest>

#include <numeric>

#include "shell/recorders/obs_session.h"
#include "tests/recorders/fake_obs.h"
#include "tests/recorders/line_capture.h"

namespace tallowin::recorders {

using testing::FakeObs;
using testing::LineCapture;
using Outcome = ObsSession::Outcome;

namespace {

// 0,30 1920x1080 on a 2560x1440 screen: the capture cuts 0 left, 30 top,
// 2560-1920 = 640 right and 1440-30-1080 = 330 at the bottom.
ObsSession::Setup setupFor(int port, const QString& password) {
    ObsSession::Setup setup;
    setup.port = port;
    setup.password = password;
    setup.settingsFile = QStringLiteral("/home/u/.config/obs-studio/global.ini");
    setup.rectangle = {0, 30, 1920, 1080};
    setup.screenWidth = 2560;
    setup.screenHeight = 1440;
    setup.stepTimeout = std::chrono::milliseconds(10000);
    return setup;
}

Outcome run(ObsSession& session, const ObsSession::Setup& setup) {
    QSignalSpy finished(&session, &ObsSession::finished);
    session.start(setup);
    if (finished.isEmpty() && !finished.wait(30000)) {
        return Outcome::Failed;
    }
    return finished.at(0).at(0).value<Outcome>();
}

FakeObs::Answer withData(QJsonObject data) { return {100, {}, std::move(data)}; }

}  // namespace

class ObsSessionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Outcome>(); }

    void aNewSceneAndCaptureAreMadeAndCurrent() {
        FakeObs obs(QStringLiteral("pass word"));
        obs.answers["GetSceneList"] = withData({{"scenes", QJsonArray{QJsonObject{{"sceneName", "Scene"}}}}});
        obs.answers["CreateInput"] = withData({{"sceneItemId", 3}});
        LineCapture output;
        ObsSession session(output);
        QCOMPARE(run(session, setupFor(obs.port(), QStringLiteral("pass word"))), Outcome::Ready);
        QCOMPARE(obs.requestTypes(), (QStringList{"GetRecordStatus", "SetVideoSettings", "GetSceneList", "CreateScene",
                                                  "GetInputList", "CreateInput", "SetSceneItemTransform",
                                                  "SetSceneItemEnabled", "SetCurrentProgramScene"}));
        QCOMPARE(
            obs.requestData("SetVideoSettings"),
            (QJsonObject{{"baseWidth", 1920}, {"baseHeight", 1080}, {"outputWidth", 1920}, {"outputHeight", 1080}}));
        const auto input = obs.requestData("CreateInput");
        QCOMPARE(input.value("inputKind").toString(), QStringLiteral("xshm_input"));
        QCOMPARE(input.value("sceneName").toString(), QStringLiteral("Tallowin"));
        QCOMPARE(input.value("inputSettings").toObject(), (QJsonObject{{"screen", 0},
                                                                       {"show_cursor", true},
                                                                       {"cut_left", 0},
                                                                       {"cut_top", 30},
                                                                       {"cut_right", 640},
                                                                       {"cut_bot", 330}}));
        QCOMPARE(obs.requestData("SetSceneItemTransform").value("sceneItemId").toInt(), 3);
        QCOMPARE(obs.requestData("SetCurrentProgramScene").value("sceneName").toString(), QStringLiteral("Tallowin"));
        for (const auto& request : obs.requests) {
            const auto scene = request.value("requestData").toObject().value("sceneName");
            QVERIFY2(scene.isUndefined() || scene.toString() == QLatin1String("Tallowin"), "only Tallowin's scene");
        }
        QCOMPARE(output.lines, (std::vector<std::string>{
                                   "OBS is ready: scene \"Tallowin\" shows 1920x1080 at 0,30 on a 1920x1080 canvas; "
                                   "press Start Recording in OBS."}));
    }

    void anEarlierSceneAndCaptureAreUpdated_data() {
        QTest::addColumn<int>("itemCode");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("in the scene") << 100
                                      << QStringList{"SetSceneItemTransform", "SetSceneItemEnabled",
                                                     "SetCurrentProgramScene"};
        QTest::newRow("taken out of the scene")
            << 600
            << QStringList{"CreateSceneItem", "SetSceneItemTransform", "SetSceneItemEnabled", "SetCurrentProgramScene"};
    }

    void anEarlierSceneAndCaptureAreUpdated() {
        QFETCH(int, itemCode);
        QFETCH(QStringList, tail);
        FakeObs obs;
        obs.answers["GetSceneList"] = withData({{"scenes", QJsonArray{QJsonObject{{"sceneName", "Tallowin"}}}}});
        obs.answers["GetInputList"] =
            withData({{"inputs", QJsonArray{QJsonObject{{"inputName", "Tallowin capture"}}}}});
        obs.answers["GetSceneItemId"] = {itemCode, {}, QJsonObject{{"sceneItemId", 5}}};
        obs.answers["CreateSceneItem"] = withData({{"sceneItemId", 5}});
        LineCapture output;
        ObsSession session(output);
        auto setup = setupFor(obs.port(), {});
        setup.rectangle = {0, 30, 1280, 720};
        QCOMPARE(run(session, setup), Outcome::Ready);
        QCOMPARE(obs.requestTypes(), QStringList({"GetRecordStatus", "SetVideoSettings", "GetSceneList", "GetInputList",
                                                  "SetInputSettings", "GetSceneItemId"}) +
                                         tail);
        // 2560-1280 = 1280 right, 1440-30-720 = 690 at the bottom.
        QCOMPARE(obs.requestData("SetInputSettings").value("inputSettings").toObject().value("cut_right").toInt(),
                 1280);
        QCOMPARE(obs.requestData("SetInputSettings").value("inputSettings").toObject().value("cut_bot").toInt(), 690);
        QCOMPARE(obs.requestData("SetSceneItemTransform").value("sceneItemId").toInt(), 5);
    }

    void eachFailureIsOneLine_data() {
        QTest::addColumn<QString>("obsPassword");
        QTest::addColumn<QString>("ourPassword");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("hello");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("line");  // %1: the port
        QTest::newRow("refused password")
            << "right"
            << "wrong"
            << "" << 100 << true << int(Outcome::Failed)
            << "OBS refused the WebSocket password from /home/u/.config/obs-studio/global.ini.";
        QTest::newRow("password asked, none known")
            << "right"
            << ""
            << "" << 100 << true << int(Outcome::Failed)
            << "OBS asks for a WebSocket password and /home/u/.config/obs-studio/global.ini holds none: set one in "
               "OBS under Tools > WebSocket Server Settings.";
        QTest::newRow("refused request, with OBS's comment")
            << ""
            << ""
            << "SetVideoSettings" << 402 << true << int(Outcome::Failed)
            << "OBS refused SetVideoSettings (code 402): no good";
        QTest::newRow("refused scene") << ""
                                       << ""
                                       << "SetCurrentProgramScene" << 600 << true << int(Outcome::Failed)
                                       << "OBS refused SetCurrentProgramScene (code 600): no good";
        QTest::newRow("silent server") << ""
                                       << ""
                                       << "" << 100 << false << int(Outcome::Failed)
                                       << "OBS did not answer the connection on port %1 within 0.5 s.";
    }

    void eachFailureIsOneLine() {
        QFETCH(QString, obsPassword);
        QFETCH(QString, ourPassword);
        QFETCH(QString, failing);
        QFETCH(int, code);
        QFETCH(bool, hello);
        QFETCH(int, outcome);
        QFETCH(QString, line);
        FakeObs obs(obsPassword);
        obs.sendHello = hello;
        if (!failing.isEmpty()) {
            obs.answers[failing] = {code, QStringLiteral("no good"), {}};
        }
        LineCapture output;
        ObsSession session(output);
        auto setup = setupFor(obs.port(), ourPassword);
        setup.stepTimeout = std::chrono::milliseconds(500);
        QCOMPARE(int(run(session, setup)), outcome);
        QCOMPARE(output.lines, std::vector<std::string>{line.arg(obs.port()).toStdString()});
        QVERIFY(!obs.requestTypes().contains("StartRecord"));
    }

    // Under sway, OBS's PipeWire capture shows the whole screen: the scene
    // item is cropped to the rectangle (0 left, 30 top, 640 right, 330 at the
    // bottom). An earlier capture keeps the screen the user picked for it.
    void underWaylandThePipeWireCaptureIsCropped_data() {
        QTest::addColumn<QString>("kind");   // the one OBS offers
        QTest::addColumn<QString>("input");  // Tallowin's earlier one
        QTest::addColumn<QString>("said");
        const QString ready = QStringLiteral(
            "OBS is ready: scene \"Tallowin\" shows 1920x1080 at 0,30 on a 1920x1080 "
            "canvas; press Start Recording in OBS.\n");
        QTest::newRow("new") << "pipewire-desktop-capture-source"
                             << "" << ready + "OBS asks which screen to share: pick the one that holds 0,30.\n";
        QTest::newRow("earlier") << ""
                                 << "Tallowin capture (PipeWire)" << ready;
        QTest::newRow("no PipeWire") << "xshm_input"
                                     << ""
                                     << "OBS has no PipeWire screen capture, which it needs under Wayland (Debian: "
                                        "apt install obs-plugins xdg-desktop-portal-wlr).\n";
    }

    void underWaylandThePipeWireCaptureIsCropped() {
        QFETCH(QString, kind);
        QFETCH(QString, input);
        QFETCH(QString, said);
        FakeObs obs;
        obs.answers["GetInputKindList"] = withData({{"inputKinds", QJsonArray{kind}}});
        obs.answers["GetInputList"] = withData({{"inputs", QJsonArray{QJsonObject{{"inputName", input}}}}});
        obs.answers["CreateInput"] = withData({{"sceneItemId", 4}});
        obs.answers["GetSceneItemId"] = withData({{"sceneItemId", 4}});
        LineCapture output;
        ObsSession session(output);
        auto setup = setupFor(obs.port(), {});
        setup.wayland = true;
        run(session, setup);
        QCOMPARE(QString::fromStdString(std::accumulate(
                     output.lines.begin(), output.lines.end(), std::string(),
                     [](const std::string& all, const std::string& line) { return all + line + "\n"; })),
                 said);
        QVERIFY(!obs.requestTypes().contains("SetInputSettings"));
        QCOMPARE(obs.requestData("CreateInput").value("inputKind").toString(), kind == "xshm_input" ? "" : kind);
        const auto crop = obs.requestData("SetSceneItemTransform").value("sceneItemTransform").toObject();
        QCOMPARE((QList<int>{crop.value("cropLeft").toInt(), crop.value("cropTop").toInt(),
                             crop.value("cropRight").toInt(), crop.value("cropBottom").toInt()}),
                 (kind == "xshm_input" ? QList<int>{0, 0, 0, 0} : QList<int>{0, 30, 640, 330}));
    }

    void aRecordingObsKeepsItsCanvas() {
        FakeObs obs;
        obs.answers["GetRecordStatus"] = withData({{"outputActive", true}});
        LineCapture output;
        ObsSession session(output);
        QCOMPARE(run(session, setupFor(obs.port(), {})), Outcome::Recording);
        QCOMPARE(obs.requestTypes(), QStringList{"GetRecordStatus"});
        QCOMPARE(output.lines, (std::vector<std::string>{"OBS is recording: Tallowin leaves its canvas and scenes as "
                                                         "they are; stop the recording and press Place again."}));
    }

    void aClosedPortIsUnreachableAndSilent() {
        int port = 0;
        {
            FakeObs gone;
            port = gone.port();
        }
        LineCapture output;
        ObsSession session(output);
        QCOMPARE(run(session, setupFor(port, {})), Outcome::Unreachable);
        QVERIFY(output.lines.empty());
    }
};

}  // namespace tallowin::recorders

QTEST_GUILESS_MAIN(tallowin::recorders::ObsSessionTest)
#include "obs_session_test.moc"
