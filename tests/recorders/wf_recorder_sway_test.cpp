#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "shell/recorders/recorder_handoff.h"
#include "tests/doubles/doubles.h"
#include "tests/sway/sway_session.h"

namespace tallowin::recorders {

namespace {

using sway::I3Message;

std::string outputOf(const std::string& command) {
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QString::fromStdString(command)});
    return shell.waitForFinished(60000) ? shell.readAllStandardOutput().toStdString() : std::string();
}

}  // namespace

// wf-recorder under a private headless sway: the command the handoff hands
// over, run as the user would, records the rectangle and nothing else.
class WfRecorderSwayTest : public QObject {
    Q_OBJECT

private slots:
    void theHandedCommandRecordsTheRectangle() {
        std::string why;
        const auto session = sway::testing::SwaySession::start(why);
        QVERIFY2(session, why.c_str());
        // A red window exactly on the rectangle 0,30 640x480, below the bar; its
        // blinking cursor gives wf-recorder the frames it waits for to stop.
        session->ask(I3Message::runCommand, "exec foot -T Red -o colors.background=ff0000 -o cursor.blink=yes");
        QVERIFY(!session->waitForView("Red").is_null());
        // Asked again until it holds: a client still drawing its first frame
        // may take its first size back.
        const auto placed = [&session] {
            session->ask(I3Message::runCommand,
                         "[title=Red] floating enable, border none, resize set 640 480, move absolute position 0 30");
            QTest::qWait(200);
            return session->waitForView("Red")["rect"] ==
                   (nlohmann::json{{"x", 0}, {"y", 30}, {"width", 640}, {"height", 480}});
        };
        QTRY_VERIFY_WITH_TIMEOUT(placed(), 20000);

        // As Tallowin runs under sway; the recording goes to a home that the
        // compositor's user may write.
        for (const std::string& variable : session->clientEnvironment()) {
            qputenv(variable.substr(0, variable.find('=')).c_str(), variable.substr(variable.find('=') + 1).c_str());
        }
        const std::filesystem::path home = qgetenv("XDG_RUNTIME_DIR").toStdString();
        qputenv("HOME", home.c_str());
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        doubles::RecordingOutput output;
        RecorderHandoff handoff(output, platform::DesktopSession::sway);
        handoff.pin(Recorder::WfRecorder);
        QSignalSpy finished(&handoff, &RecorderHandoff::finished);
        handoff.handOff({{}, {0, 30, 640, 480}, 0});
        QVERIFY(finished.wait(10000) && finished.at(0).at(0).toBool() && output.lines.size() == 1);
        const std::string& line = output.lines[0];
        QVERIFY2(line.starts_with("wf-recorder records from the moment it starts, so Tallowin leaves starting it to "
                                  "you; to record 640x480 at 0,30, run this and stop it with Ctrl+C: wf-recorder -g "
                                  "'0,30 640x480' -f '" +
                                  home.string() + "/tallowin-") &&
                     line.ends_with(".mp4'"),
                 line.c_str());
        const std::string file = line.substr(line.find(" -f '") + 5, line.size() - line.find(" -f '") - 6);

        // The user runs it, and stops it with Ctrl+C after a moment.
        std::ofstream(home / "record.sh") << line.substr(line.find(": ") + 2)
                                          << " & recorder=$!\nsleep 3\nkill -INT $recorder\nwait $recorder\ntouch "
                                          << (home / "recorded").string() << "\n";
        session->ask(I3Message::runCommand, "exec sh " + (home / "record.sh").string());
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(home / "recorded"), 60000);
        QCOMPARE(outputOf("ffprobe -v error -show_entries stream=width,height -of csv=p=0 '" + file + "'"),
                 std::string("640,480\n"));
        // The last frame, averaged over each quarter: the window's red throughout.
        const std::string quarters = outputOf("ffmpeg -v error -sseof -0.5 -i '" + file +
                                              "' -frames:v 1 -vf scale=2:2 -f rawvideo -pix_fmt rgb24 -");
        QCOMPARE(quarters.size(), std::size_t{12});
        for (std::size_t i = 0; i < quarters.size(); i += 3) {
            const auto* pixel = reinterpret_cast<const unsigned char*>(quarters.data() + i);
            QVERIFY2(pixel[0] > 200 && pixel[1] < 60 && pixel[2] < 60, std::to_string(i / 3).c_str());
        }
    }
};

}  // namespace tallowin::recorders

QTEST_GUILESS_MAIN(tallowin::recorders::WfRecorderSwayTest)
#include "wf_recorder_sway_test.moc"
