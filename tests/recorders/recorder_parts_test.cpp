#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "shell/recorders/ini_text.h"
#include "shell/recorders/obs_session.h"
#include "shell/recorders/obs_settings.h"
#include "shell/recorders/process_probe.h"
#include "shell/recorders/recorder_choice.h"
#include "shell/recorders/recorder_handoff.h"
#include "shell/recorders/ssr_settings.h"
#include "shell/recorders/wf_recorder.h"
#include "tests/doubles/doubles.h"
#include "tests/recorders/fake_obs.h"

namespace tallowin::recorders {

namespace fs = std::filesystem;
using testing::FakeObs;
using Outcome = ObsSession::Outcome;
using namespace Qt::StringLiterals;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), {}};
}

void writeAll(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// OBS 29's global.ini as OBS writes it, with a comment and a key it does not know.
const std::string kGlobalIni =
    "[General]\nFirstRun=true\n; kept\nLastVersion=486539266\n\n"
    "[OBSWebSocket]\nServerEnabled=false\nServerPort=4466\nAuthRequired=true\nServerPassword=users own\n"
    "Unknown=1\n\n[BasicWindow]\ngridMode=false\n";

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
    QStringList lines;
};

// One session from start to its end (a failure if it never ends).
Ran run(const ObsSession::Setup& setup) {
    doubles::RecordingOutput output;
    ObsSession session(output);
    QSignalSpy finished(&session, &ObsSession::finished);
    session.start(setup);
    const bool ended = !finished.isEmpty() || finished.wait(30000);
    Ran ran{ended ? finished.at(0).at(0).value<Outcome>() : Outcome::Failed, {}};
    for (const auto& line : output.lines) {
        ran.lines << QString::fromStdString(line);
    }
    return ran;
}

// The line once OBS is set up for setupFor's rectangle.
const QString kReady =
    u"OBS is ready: scene \"Tallowin\" shows 1920x1080 at 0,30 on a 1920x1080 canvas; press Start Recording in OBS."_s;

FakeObs::Answer withData(QJsonObject data) { return {100, {}, std::move(data)}; }

}  // namespace

// The handoff's parts: the recorders' settings files, the choice of a
// recorder, and a session with a stand-in OBS.
class RecorderPartsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Outcome>(); }
    // Each test's own empty folder, removed after it.
    void init() { folder_ = scratch_.emplace().path().toStdString(); }

    void iniEditsTouchOnlyTheirLine() {
        // A value replaced in place: OBS's own file, switched on below.
        QCOMPARE(withIniValue("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "z", "3"),
                 std::string("[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"));
        QCOMPARE(withIniValue("[a]\nx=1", "c", "z", "3"), std::string("[a]\nx=1\n\n[c]\nz=3\n"));
        QCOMPARE(withIniValue("", "c", "z", "3"), std::string("[c]\nz=3\n"));
        QCOMPARE(iniValue(kGlobalIni, "OBSWebSocket", "ServerPassword"), std::optional<std::string>("users own"));
        QCOMPARE(iniValue("[a]\nk = \"q;t\"\n", "a", "k"), std::optional<std::string>("q;t"));
        QCOMPARE(iniValue(kGlobalIni, "General", "ServerPort"), std::optional<std::string>());
    }

    void obs29SettingsAreReadAndSwitchedOnKeepingEverythingElse() {
        writeAll(folder_ / "global.ini", kGlobalIni);
        fs::permissions(folder_ / "global.ini", fs::perms(0640));
        const auto read = readObsServerSettings(folder_);
        QVERIFY(read.ok);
        QCOMPARE(read.settings.enabled, false);
        QCOMPARE(read.settings.port, 4466);
        QCOMPARE(read.settings.password, std::string("users own"));

        const auto enabled = enableObsServer(folder_);
        QVERIFY(enabled.ok);
        QCOMPARE(enabled.settings.password, std::string("users own"));
        std::string expected = kGlobalIni;
        expected.replace(expected.find("ServerEnabled=false"), 19, "ServerEnabled=true");
        QCOMPARE(readAll(folder_ / "global.ini"), expected);
        QCOMPARE(static_cast<unsigned>(fs::status(folder_ / "global.ini").permissions()), 0640U);
    }

    void aPasswordIsMadeOnlyWhenThereIsNone() {
        writeAll(folder_ / "global.ini", "[General]\nFirstRun=true\n");
        const auto enabled = enableObsServer(folder_);
        QVERIFY(enabled.ok);
        QCOMPARE(enabled.settings.password.size(), std::size_t{16});
        const auto text = readAll(folder_ / "global.ini");
        QCOMPARE(iniValue(text, "General", "FirstRun"), std::optional<std::string>("true"));
        QCOMPARE(iniValue(text, "OBSWebSocket", "ServerEnabled"), std::optional<std::string>("true"));
        QCOMPARE(iniValue(text, "OBSWebSocket", "ServerPort"), std::optional<std::string>("4455"));
        QCOMPARE(iniValue(text, "OBSWebSocket", "ServerPassword"), std::optional(enabled.settings.password));
    }

    void obs30JsonWinsAndKeepsItsKeysAndLink() {
        writeAll(folder_ / "global.ini", kGlobalIni);
        const fs::path real = folder_ / "elsewhere.json";
        writeAll(real, R"({"alerts_enabled":true,"auth_required":true,"server_enabled":false,)"
                       R"("server_password":"json pw","server_port":4477,"first_load":false})");
        fs::create_directories(folder_ / "plugin_config" / "obs-websocket");
        fs::create_symlink(real, folder_ / "plugin_config" / "obs-websocket" / "config.json");
        const auto read = readObsServerSettings(folder_);
        QVERIFY(read.ok);
        QCOMPARE(read.settings.port, 4477);
        QCOMPARE(read.settings.password, std::string("json pw"));
        QVERIFY(enableObsServer(folder_).ok);
        QVERIFY(fs::is_symlink(folder_ / "plugin_config" / "obs-websocket" / "config.json"));
        const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(readAll(real))).object();
        const QJsonObject switchedOn{{"alerts_enabled", true},       {"auth_required", true}, {"server_enabled", true},
                                     {"server_password", "json pw"}, {"server_port", 4477},   {"first_load", false}};
        QCOMPARE(json, switchedOn);
        QCOMPARE(readAll(folder_ / "global.ini"), kGlobalIni);
    }

    void unreadableSettingsAreOneLine() {
        writeAll(folder_ / "plugin_config" / "obs-websocket" / "config.json", "{ not json");
        const auto read = readObsServerSettings(folder_);
        QVERIFY(!read.ok);
        QVERIFY2(read.failure.starts_with("Cannot read OBS's settings " + folder_.string() +
                                          "/plugin_config/obs-websocket/config.json: "),
                 read.failure.c_str());
        QVERIFY(!enableObsServer(folder_).ok);

        fs::remove_all(folder_ / "plugin_config");
        writeAll(folder_ / "global.ini", "[OBSWebSocket]\nServerPort=many\n");
        QCOMPARE(readObsServerSettings(folder_).failure,
                 "Cannot read OBS's settings " + folder_.string() + "/global.ini: ServerPort is many.");
    }

    void ssrSettingsKeepTheUsersAndSetBothAreas() {
        const std::string user =
            "[input]\nvideo_area=screen\nvideo_x=5\naudio_enabled=false\n\n[output]\nfile=/v.mkv\n";
        const auto text = ssrSettingsWithArea(user, {0, 30, 1280, 720});
        const std::pair<const char*, const char*> expected[] = {
            {"video_area", "fixed"},     {"video_x", "0"},
            {"video_y", "30"},           {"video_w", "1280"},
            {"video_h", "720"},          {"video_backend", "x11"},
            {"video_x11_area", "fixed"}, {"video_x11_x", "0"},
            {"video_x11_y", "30"},       {"video_x11_width", "1280"},
            {"video_x11_height", "720"}, {"audio_enabled", "false"},
        };
        for (const auto& [key, value] : expected) {
            QCOMPARE(iniValue(text, "input", key), std::optional<std::string>(value));
        }
        QCOMPARE(iniValue(text, "output", "file"), std::optional<std::string>("/v.mkv"));
    }

    void theRecorderIsChosen_data() {
        QTest::addColumn<QString>("pinned");
        // bits: KWin, wf-recorder installed, sway, obs running, ssr running, obs installed, ssr installed
        QTest::addColumn<int>("presence");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("nothing") << "" << 0b0000 << "none";
        QTest::newRow("both installed") << "" << 0b0011 << "obs";
        QTest::newRow("ssr installed") << "" << 0b0001 << "ssr";
        QTest::newRow("ssr running, obs installed") << "" << 0b0110 << "ssr";
        QTest::newRow("both running") << "" << 0b1111 << "obs";
        QTest::newRow("pinned ssr") << "ssr" << 0b1111 << "ssr";
        QTest::newRow("pinned none") << "none" << 0b1111 << "none";
        QTest::newRow("pinned obs, nothing there") << "obs" << 0 << "obs";
        QTest::newRow("sway, everything installed") << "" << 0b110011 << "obs";
        QTest::newRow("sway, ssr running, wf-recorder installed") << "" << 0b110101 << "wf-recorder";
        QTest::newRow("sway, only ssr") << "" << 0b010101 << "none";
        QTest::newRow("X11, wf-recorder installed") << "" << 0b100000 << "none";
        QTest::newRow("KWin, ssr running, wf-recorder installed") << "" << 0b1100101 << "none";
        QTest::newRow("KWin, obs installed") << "" << 0b1000010 << "obs";
    }

    void theRecorderIsChosen() {
        QFETCH(QString, pinned);
        QFETCH(int, presence);
        QFETCH(QString, chosen);
        const RecorderPresence facts{.obsRunning = (presence & 8) != 0,
                                     .ssrRunning = (presence & 4) != 0,
                                     .obsInstalled = (presence & 2) != 0,
                                     .ssrInstalled = (presence & 1) != 0,
                                     .wfRecorderInstalled = (presence & 32) != 0,
                                     .wayland = (presence & (16 | 64)) != 0,
                                     .wlroots = (presence & 16) != 0};
        const auto recorder = chooseRecorder(recorderNamed(pinned.toStdString()), facts);
        QCOMPARE(QString::fromUtf8(recorderName(recorder).data()), chosen);
    }

    // The session reaches the handoff: a pinned recorder that cannot see its
    // screen is refused, whatever is installed.
    void aPinnedRecorderBlindToTheSessionIsRefused_data() {
        QTest::addColumn<platform::DesktopSession>("session");
        QTest::addColumn<Recorder>("pinned");
        QTest::addColumn<QString>("line");
        const auto ssr = u"SimpleScreenRecorder records X11 screens only, and this is "_s;
        const auto wf = u"wf-recorder records wlroots Wayland desktops such as sway only: use --recorder obs"_s;
        QTest::newRow("KWin, ssr") << platform::DesktopSession::kwin << Recorder::SimpleScreenRecorder
                                   << ssr + u"KDE Plasma's Wayland: use --recorder obs."_s;
        QTest::newRow("sway, ssr") << platform::DesktopSession::sway << Recorder::SimpleScreenRecorder
                                   << ssr + u"sway's Wayland: use --recorder wf-recorder or obs."_s;
        QTest::newRow("KWin, wf-recorder") << platform::DesktopSession::kwin << Recorder::WfRecorder << wf + u"."_s;
        QTest::newRow("X11, wf-recorder")
            << platform::DesktopSession::x11 << Recorder::WfRecorder << wf + u" or ssr."_s;
    }

    void aPinnedRecorderBlindToTheSessionIsRefused() {
        QFETCH(platform::DesktopSession, session);
        QFETCH(Recorder, pinned);
        QFETCH(QString, line);
        qputenv("XDG_CONFIG_HOME", folder_.c_str());
        doubles::RecordingOutput output;
        RecorderHandoff handoff(output, session);
        const QString nowhere = QString::fromStdString((folder_ / "nowhere").string());
        handoff.setPrograms(nowhere, nowhere, nowhere);
        handoff.pin(pinned);
        QSignalSpy finished(&handoff, &RecorderHandoff::finished);
        handoff.handOff({{}, {0, 30, 640, 480}, 0});
        QVERIFY(finished.wait(5000) && !finished.at(0).at(0).toBool());
        QCOMPARE(output.lines, std::vector<std::string>{line.toStdString()});
    }

    void thePinIsRememberedInTallowinsOwnFile() {
        qputenv("XDG_CONFIG_HOME", folder_.c_str());
        QCOMPARE(rememberedRecorder(), std::optional<Recorder>());
        QVERIFY(rememberRecorder(Recorder::SimpleScreenRecorder));
        QCOMPARE(rememberedRecorder(), std::optional(Recorder::SimpleScreenRecorder));
        QCOMPARE(tallowinSettingsFile(), folder_ / "tallowin" / "tallowin.conf");
        QVERIFY(rememberRecorder(std::nullopt));
        QCOMPARE(rememberedRecorder(), std::optional<Recorder>());
        QCOMPARE(recorderNamed("OBS"), std::optional<Recorder>());
    }

    // The command is pasted into a shell: every argument stays one word.
    void wfRecorderGetsTheRectangleAsOneQuotedGeometry() {
        QCOMPARE(wfRecorderCommand({0, 30, 1920, 1080}, "/home/o'brien/My Videos/t.mp4"),
                 std::string("wf-recorder -g '0,30 1920x1080' -f '/home/o'\\''brien/My Videos/t.mp4'"));
        // Without a videos folder_, home takes the recording.
        QCOMPARE(wfRecorderFile("/nonexistent/Videos", "/h").parent_path(), fs::path("/h"));
    }

    void processesAreFoundByTheirCommandName() {
        for (const auto& [pid, comm, state] : {std::tuple{"12", "obs", " S"}, std::tuple{"13", "simplescreenrec", " R"},
                                               std::tuple{"14", "obs", " Z"}}) {
            writeAll(folder_ / pid / "comm", std::string(comm) + "\n");
            writeAll(folder_ / pid / "stat", std::string(pid) + " (" + comm + ")" + state + " 1 2 3\n");
        }
        writeAll(folder_ / "self" / "comm", "obs\n");
        QCOMPARE(processesNamed("obs", folder_), std::vector<pid_t>{12});
        QCOMPARE(processesNamed("simplescreenrecorder", folder_), std::vector<pid_t>{13});
    }

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
        QCOMPARE(lines, QStringList{kReady});
    }

    void anEarlierSceneAndCaptureAreUpdated_data() {
        QTest::addColumn<int>("itemCode");
        QTest::addColumn<QStringList>("putBack");  // the requests that put the capture back
        QTest::newRow("in the scene") << 100 << QStringList();
        QTest::newRow("taken out of the scene") << 600 << QStringList{"CreateSceneItem"};
    }

    void anEarlierSceneAndCaptureAreUpdated() {
        QFETCH(int, itemCode);
        QFETCH(QStringList, putBack);
        FakeObs obs;
        obs.answers["GetSceneList"] = withData({{"scenes", QJsonArray{QJsonObject{{"sceneName", "Tallowin"}}}}});
        obs.answers["GetInputList"] =
            withData({{"inputs", QJsonArray{QJsonObject{{"inputName", "Tallowin capture"}}}}});
        obs.answers["GetSceneItemId"] = {itemCode, {}, QJsonObject{{"sceneItemId", 5}}};
        obs.answers["CreateSceneItem"] = withData({{"sceneItemId", 5}});
        auto setup = setupFor(obs.port(), {});
        setup.rectangle = {0, 30, 1280, 720};
        QCOMPARE(run(setup).outcome, Outcome::Ready);
        QCOMPARE(obs.requestTypes(),
                 QStringList({"GetRecordStatus", "SetVideoSettings", "GetSceneList", "GetInputList", "SetInputSettings",
                              "GetSceneItemId"}) +
                     putBack + QStringList({"SetSceneItemTransform", "SetSceneItemEnabled", "SetCurrentProgramScene"}));
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
        QCOMPARE(lines, QStringList{line.arg(obs.port())});
        QVERIFY(!obs.requestTypes().contains("StartRecord"));
    }

    // Under sway, OBS's PipeWire capture shows the whole screen: the scene
    // item is cropped to the rectangle (0 left, 30 top, 640 right, 330 at the
    // bottom). An earlier capture keeps the screen the user picked for it.
    void underWaylandThePipeWireCaptureIsCropped_data() {
        QTest::addColumn<QString>("kind");   // the one OBS offers
        QTest::addColumn<QString>("input");  // Tallowin's earlier one
        QTest::addColumn<QStringList>("said");
        QTest::newRow("new") << u"pipewire-desktop-capture-source"_s << QString()
                             << QStringList{kReady, "OBS asks which screen to share: pick the one that holds 0,30."};
        QTest::newRow("earlier") << QString() << u"Tallowin capture (PipeWire)"_s << QStringList{kReady};
        QTest::newRow("no PipeWire") << u"xshm_input"_s << QString()
                                     << QStringList{
                                            "OBS has no PipeWire screen capture, which it needs under Wayland "
                                            "(Debian: apt install obs-plugins xdg-desktop-portal-wlr)."};
    }

    void underWaylandThePipeWireCaptureIsCropped() {
        QFETCH(QString, kind);
        QFETCH(QString, input);
        QFETCH(QStringList, said);
        FakeObs obs;
        obs.answers["GetInputKindList"] = withData({{"inputKinds", QJsonArray{kind}}});
        obs.answers["GetInputList"] = withData({{"inputs", QJsonArray{QJsonObject{{"inputName", input}}}}});
        obs.answers["CreateInput"] = withData({{"sceneItemId", 4}});
        obs.answers["GetSceneItemId"] = withData({{"sceneItemId", 4}});
        auto setup = setupFor(obs.port(), {});
        setup.wayland = true;
        QCOMPARE(run(setup).lines, said);
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
        QCOMPARE(lines, (QStringList{"OBS is recording: Tallowin leaves its canvas and scenes as "
                                     "they are; stop the recording and press Place again."}));
    }

    void aClosedPortIsUnreachableAndSilent() {
        const int port = FakeObs().port();  // closed with the stand-in
        const auto [outcome, lines] = run(setupFor(port, {}));
        QCOMPARE(outcome, Outcome::Unreachable);
        QVERIFY(lines.empty());
    }

private:
    std::optional<QTemporaryDir> scratch_;
    fs::path folder_;
};

}  // namespace tallowin::recorders

QTEST_GUILESS_MAIN(tallowin::recorders::RecorderPartsTest)
#include "recorder_parts_test.moc"
