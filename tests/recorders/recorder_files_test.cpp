#include <sys/stat.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/recorders/ini_text.h"
#include "shell/recorders/obs_settings.h"
#include "shell/recorders/process_probe.h"
#include "shell/recorders/recorder_choice.h"
#include "shell/recorders/ssr_settings.h"
#include "shell/recorders/wf_recorder.h"

namespace tallowin::recorders {

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
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

}  // namespace

class RecorderFilesTest : public QObject {
    Q_OBJECT

private slots:
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
        QTemporaryDir home;
        const fs::path folder = home.path().toStdString();
        writeAll(folder / "global.ini", kGlobalIni);
        ::chmod((folder / "global.ini").c_str(), 0640);
        const auto read = readObsServerSettings(folder);
        QVERIFY(read.ok);
        QCOMPARE(read.settings.enabled, false);
        QCOMPARE(read.settings.port, 4466);
        QCOMPARE(read.settings.password, std::string("users own"));

        const auto enabled = enableObsServer(folder);
        QVERIFY(enabled.ok);
        QCOMPARE(enabled.settings.password, std::string("users own"));
        std::string expected = kGlobalIni;
        expected.replace(expected.find("ServerEnabled=false"), 19, "ServerEnabled=true");
        QCOMPARE(readAll(folder / "global.ini"), expected);
        struct stat status {};
        QCOMPARE(::stat((folder / "global.ini").c_str(), &status), 0);
        QCOMPARE(status.st_mode & 0777U, 0640U);
    }

    void aPasswordIsMadeOnlyWhenThereIsNone() {
        QTemporaryDir home;
        const fs::path folder = home.path().toStdString();
        writeAll(folder / "global.ini", "[General]\nFirstRun=true\n");
        const auto enabled = enableObsServer(folder);
        QVERIFY(enabled.ok);
        QCOMPARE(enabled.settings.password.size(), std::size_t{16});
        const auto text = readAll(folder / "global.ini");
        QCOMPARE(iniValue(text, "General", "FirstRun"), std::optional<std::string>("true"));
        QCOMPARE(iniValue(text, "OBSWebSocket", "ServerEnabled"), std::optional<std::string>("true"));
        QCOMPARE(iniValue(text, "OBSWebSocket", "ServerPort"), std::optional<std::string>("4455"));
        QCOMPARE(iniValue(text, "OBSWebSocket", "ServerPassword"), std::optional(enabled.settings.password));
    }

    void obs30JsonWinsAndKeepsItsKeysAndLink() {
        QTemporaryDir home;
        const fs::path folder = home.path().toStdString();
        writeAll(folder / "global.ini", kGlobalIni);
        const fs::path real = folder / "elsewhere.json";
        writeAll(real, R"({"alerts_enabled":true,"auth_required":true,"server_enabled":false,)"
                       R"("server_password":"json pw","server_port":4477,"first_load":false})");
        fs::create_directories(folder / "plugin_config" / "obs-websocket");
        fs::create_symlink(real, folder / "plugin_config" / "obs-websocket" / "config.json");
        const auto read = readObsServerSettings(folder);
        QVERIFY(read.ok);
        QCOMPARE(read.settings.port, 4477);
        QCOMPARE(read.settings.password, std::string("json pw"));
        QVERIFY(enableObsServer(folder).ok);
        QVERIFY(fs::is_symlink(folder / "plugin_config" / "obs-websocket" / "config.json"));
        const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(readAll(real))).object();
        QCOMPARE(json.value("server_enabled").toBool(), true);
        QCOMPARE(json.value("server_password").toString(), QStringLiteral("json pw"));
        QCOMPARE(json.value("alerts_enabled").toBool(), true);
        QCOMPARE(json.value("first_load").toBool(false), false);
        QCOMPARE(json.size(), 6);
        QCOMPARE(readAll(folder / "global.ini"), kGlobalIni);
    }

    void unreadableSettingsAreOneLine() {
        QTemporaryDir home;
        const fs::path folder = home.path().toStdString();
        writeAll(folder / "plugin_config" / "obs-websocket" / "config.json", "{ not json");
        const auto read = readObsServerSettings(folder);
        QVERIFY(!read.ok);
        QVERIFY2(
            read.failure.rfind(
                "Cannot read OBS's settings " + folder.string() + "/plugin_config/obs-websocket/config.json: ", 0) == 0,
            read.failure.c_str());
        QVERIFY(!enableObsServer(folder).ok);

        fs::remove_all(folder / "plugin_config");
        writeAll(folder / "global.ini", "[OBSWebSocket]\nServerPort=many\n");
        QCOMPARE(readObsServerSettings(folder).failure,
                 "Cannot read OBS's settings " + folder.string() + "/global.ini: ServerPort is many.");
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

    void thePinIsRememberedInTallowinsOwnFile() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QCOMPARE(rememberedRecorder(), std::optional<Recorder>());
        QVERIFY(rememberRecorder(Recorder::SimpleScreenRecorder));
        QCOMPARE(rememberedRecorder(), std::optional(Recorder::SimpleScreenRecorder));
        QCOMPARE(tallowinSettingsFile(), fs::path(config.path().toStdString()) / "tallowin" / "tallowin.conf");
        QVERIFY(rememberRecorder(std::nullopt));
        QCOMPARE(rememberedRecorder(), std::optional<Recorder>());
        QCOMPARE(recorderNamed("OBS"), std::optional<Recorder>());
    }

    // The command is pasted into a shell: every argument stays one word.
    void wfRecorderGetsTheRectangleAsOneQuotedGeometry() {
        QCOMPARE(wfRecorderCommand({0, 30, 1920, 1080}, "/home/o'brien/My Videos/t.mp4"),
                 std::string("wf-recorder -g '0,30 1920x1080' -f '/home/o'\\''brien/My Videos/t.mp4'"));
        // Without a videos folder, home takes the recording.
        QCOMPARE(wfRecorderFile("/nonexistent/Videos", "/h").parent_path(), fs::path("/h"));
    }

    void processesAreFoundByTheirCommandName() {
        QTemporaryDir proc;
        const fs::path root = proc.path().toStdString();
        for (const auto& [pid, comm, state] : {std::tuple{"12", "obs", " S"}, std::tuple{"13", "simplescreenrec", " R"},
                                               std::tuple{"14", "obs", " Z"}}) {
            writeAll(root / pid / "comm", std::string(comm) + "\n");
            writeAll(root / pid / "stat", std::string(pid) + " (" + comm + ")" + state + " 1 2 3\n");
        }
        writeAll(root / "self" / "comm", "obs\n");
        QCOMPARE(processesNamed("obs", root), std::vector<pid_t>{12});
        QCOMPARE(processesNamed("simplescreenrecorder", root), std::vector<pid_t>{13});
    }
};

}  // namespace tallowin::recorders

QTEST_GUILESS_MAIN(tallowin::recorders::RecorderFilesTest)
#include "recorder_files_test.moc"
