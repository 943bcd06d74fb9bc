#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_session.h"
#include "platform/workspace.h"
#include "shell/recorders/obs_session.h"
#include "shell/recorders/obs_settings.h"
#include "shell/recorders/recorder_choice.h"

namespace tallowin::platform {
class LineOutput;
}  // namespace tallowin::platform

namespace tallowin::recorders {

// The last step of Place on Linux: hands the capture rectangle to the
// user's recorder (OBS Studio over its websocket, or SimpleScreenRecorder
// through a settings file of Tallowin's own) and opens it ready to record.
// Under sway, OBS crops a PipeWire screen capture, and wf-recorder gets the
// command that records the rectangle.
// Runs in the Qt event loop: every wait is a signal or a timer, each with a
// bound, and each outcome is one line on the output.
class RecorderHandoff final : public QObject {
    Q_OBJECT

public:
    struct Timing {
        std::chrono::milliseconds obsStep{10000};   // each websocket step
        std::chrono::milliseconds obsStart{90000};  // a started OBS's socket
        std::chrono::milliseconds retry{500};       // between connection attempts
        std::chrono::milliseconds watch{10000};     // the recorder's windows, after ready
        std::chrono::milliseconds watchTick{250};
    };

    // The session is the one the window system was chosen for.
    RecorderHandoff(platform::LineOutput& output, platform::DesktopSession session, QObject* parent = nullptr);
    ~RecorderHandoff() override;
    RecorderHandoff(const RecorderHandoff&) = delete;
    RecorderHandoff& operator=(const RecorderHandoff&) = delete;
    RecorderHandoff(RecorderHandoff&&) = delete;
    RecorderHandoff& operator=(RecorderHandoff&&) = delete;

    // The recorder the user pinned for this run; without one, the one
    // remembered in Tallowin's settings file, else the automatic choice.
    void pin(std::optional<Recorder> recorder) { pinned_ = recorder; }
    void setTiming(const Timing& timing) { timing_ = timing; }
    // The programs started (tests put stand-ins here).
    void setPrograms(QString obs, QString ssr, QString wfRecorder = QStringLiteral("wf-recorder"));

    // Starts the handoff; one still under way is dropped first.
    void handOff(const platform::CaptureHandoff& handoff);

    [[nodiscard]] bool busy() const { return busy_; }

signals:
    // The recorder is ready (or the handoff has ended with its line).
    void finished(bool ready);

private:
    void choose();
    void handOffToObs();
    void startObs(const ObsSettingsRead& read);
    void connectToObs();
    void onObsFinished(ObsSession::Outcome outcome);
    void handOffToSsr();
    void handOffToWfRecorder();
    void startSsr(bool written);
    void watchRecorderWindows();
    void finish(bool ready);
    ObsSession::Setup obsSetup() const;

    platform::LineOutput& output_;
    std::optional<Recorder> pinned_;
    Timing timing_;
    QString obsProgram_ = QStringLiteral("obs");
    QString ssrProgram_ = QStringLiteral("simplescreenrecorder");
    QString wfProgram_ = QStringLiteral("wf-recorder");
    const platform::DesktopSession desktop_;
    // sway's or KWin's: no X11 recorder sees the screen.
    [[nodiscard]] bool wayland() const {
        return desktop_ == platform::DesktopSession::sway || desktop_ == platform::DesktopSession::kwin;
    }

    platform::CaptureHandoff handoff_;
    bool busy_ = false;
    int generation_ = 0;  // of the handoff under way: a stage of an older one ends quietly
    std::vector<pid_t> obsPids_;
    std::vector<pid_t> ssrPids_;
    ObsServerSettings obs_;
    pid_t startedObs_ = 0;
    QElapsedTimer startClock_;
    QPointer<ObsSession> session_;
    QTimer retry_;
    QTimer watch_;
    QElapsedTimer watchClock_;
    std::vector<pid_t> recorderPids_;
};

}  // namespace tallowin::recorders
