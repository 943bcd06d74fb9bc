#include <QSignalSpy>
#include <QTest>

#include <numeric>

#include "shell/recorders/obs_session.h"
#include "tests/doubles/doubles.h"
#include "tests/recorders/fake_obs.h"

namespace tallowin::recorders {

using testing::FakeObs;
using Outcome = ObsSession::Outcome;
using namespace Qt::StringLiterals;

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

struct Ran {
    Outcome outcome = Outcome::Failed;
    std::vector<std::string> lines;
};

// One session from start to its end (a failure if it never ends).
Ran run(const ObsSession::Setup& setup) {
    doubles::RecordingOutput output;
    ObsSession session(output);
    QSignalSpy finished(&session, &ObsSession::finished);
    session.start(setup);
    const bool ended = !finished.isEmpty() || finished.wait(30000);
    return {ended ? finished.at(0).at(0).value<Outcome>() : Outcome::Failed, output.lines};
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
        const auto [outcome, lines] = run(setupFor(obs.port(), QStringLiteral("pass word")));
        QCOMPARE(outcome, Outcome::Ready);
        QCOMPARE(obs.requestTypes(), (QStringList{"GetRecordStatus", "SetVideoSettings", "GetSceneList", "CreateScene",
                                                  "GetInputList", "CreateInput", "SetSceneItemTransform",
                                                  "SetSceneItemEnabled", "SetCurrentProgramScene"}));
        QCOMPARE(
            obs.requestData("SetVideoSettings"),
            (QJsonObject{{"baseWidth", 1920}, {"baseHeight", 1080}, {"outputWidth", 1920}, {"outputHeight", 1080}}));
        const auto input = obs.requestData("CreateInput");
        QCOMPARE(input.value("inputKind").toString(), QStringLiteral("xshm_input"));
        QCOMPARE(input.value("sceneName").toString(), QStringLiteral("Tallowin"));
        const QJsonObject settings{{"screen", 0},   {"show_cursor", true}, {"cut_left", 0},
                                   {"cut_top", 30}, {"cut_right", 640},    {"cut_bot", 330}};
        QCOMPARE(input.value("inputSettings").toObject(), settings);
        QCOMPARE(obs.requestData("SetSceneItemTransform").value("sceneItemId").toInt(), 3);
        QCOMPARE(obs.requestData("SetCurrentProgramScene").value("sceneName").toString(), QStringLiteral("Tallowin"));
        for (const auto& request : obs.requests) {
            const auto scene = request.value("requestData").toObject().value("sceneName");
            QVERIFY2(scene.isUndefined() || scene.toString() == QLatin1String("Tallowin"), "only Tallowin's scene");
        }
        QCOMPARE(lines, (std::vector<std::string>{
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
        auto setup = setupFor(obs.port(), {});
        setup.rectangle = {0, 30, 1280, 720};
        QCOMPARE(run(setup).outcome, Outcome::Ready);
        QCOMPARE(obs.requestTypes(), QStringList({"GetRecordStatus", "SetVideoSettings", "GetSceneList", "GetInputList",
                                                  "SetInputSettings", "GetSceneItemId"}) +
                                         tail);
        // 2560-1280 = 1280 right, 1440-30-720 = 690 at the bottom.
        const auto cuts = obs.requestData("SetInputSettings").value("inputSettings").toObject();
        QCOMPARE((QList<int>{cuts.value("cut_right").toInt(), cuts.value("cut_bot").toInt()}), (QList<int>{1280, 690}));
        QCOMPARE(obs.requestData("SetSceneItemTransform").value("sceneItemId").toInt(), 5);
    }

    void eachFailureIsOneLine_data() {
        QTest::addColumn<QString>("obsPassword");
        QTest::addColumn<QString>("ourPassword");
        QTest::addColumn<QString>("failing");  // the request OBS refuses, with this code
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("hello");
        QTest::addColumn<QString>("line");  // %1: the port
        QTest::newRow("refused password")
            << u"right"_s << u"wrong"_s << QString() << 0 << true
            << "OBS refused the WebSocket password from /home/u/.config/obs-studio/global.ini.";
        QTest::newRow("password asked, none known")
            << u"right"_s << QString() << QString() << 0 << true
            << "OBS asks for a WebSocket password and /home/u/.config/obs-studio/global.ini holds none: set one in "
               "OBS under Tools > WebSocket Server Settings.";
        QTest::newRow("refused request, with OBS's comment")
            << QString() << QString() << u"SetVideoSettings"_s << 402 << true
            << "OBS refused SetVideoSettings (code 402): no good";
        QTest::newRow("refused scene") << QString() << QString() << u"SetCurrentProgramScene"_s << 600 << true
                                       << "OBS refused SetCurrentProgramScene (code 600): no good";
        QTest::newRow("silent server") << QString() << QString() << QString() << 0 << false
                                       << "OBS did not answer the connection on port %1 within 0.5 s.";
    }

    void eachFailureIsOneLine() {
        QFETCH(QString, obsPassword);
        QFETCH(QString, ourPassword);
        QFETCH(QString, failing);
        QFETCH(int, code);
        QFETCH(bool, hello);
        QFETCH(QString, line);
        FakeObs obs(obsPassword);
        obs.sendHello = hello;
        obs.answers[failing] = {code, QStringLiteral("no good"), {}};
        auto setup = setupFor(obs.port(), ourPassword);
        setup.stepTimeout = std::chrono::milliseconds(500);
        const auto [outcome, lines] = run(setup);
        QCOMPARE(outcome, Outcome::Failed);
        QCOMPARE(lines, std::vector<std::string>{line.arg(obs.port()).toStdString()});
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
        auto setup = setupFor(obs.port(), {});
        setup.wayland = true;
        const auto lines = run(setup).lines;
        QCOMPARE(QString::fromStdString(std::accumulate(
                     lines.begin(), lines.end(), std::string(),
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
        const auto [outcome, lines] = run(setupFor(obs.port(), {}));
        QCOMPARE(outcome, Outcome::Recording);
        QCOMPARE(obs.requestTypes(), QStringList{"GetRecordStatus"});
        QCOMPARE(lines, (std::vector<std::string>{"OBS is recording: Tallowin leaves its canvas and scenes as "
                                                  "they are; stop the recording and press Place again."}));
    }

    void aClosedPortIsUnreachableAndSilent() {
        const int port = FakeObs().port();  // closed with the stand-in
        const auto [outcome, lines] = run(setupFor(port, {}));
        QCOMPARE(outcome, Outcome::Unreachable);
        QVERIFY(lines.empty());
    }
};

}  // namespace tallowin::recorders

QTEST_GUILESS_MAIN(tallowin::recorders::ObsSessionTest)
#include "obs_session_test.moc"
