#include "shell/recorders/recorder_handoff.h"

#include <QFutureWatcher>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <QtConcurrent/QtConcurrentRun>
#include <cstdlib>

#include "platform/desktop_session.h"
#include "platform/line_output.h"
#include "shell/recorders/process_probe.h"
#include "shell/recorders/ssr_settings.h"
#include "shell/recorders/user_files.h"
#include "shell/recorders/wf_recorder.h"
#include "shell/recorders/window_stack.h"

namespace tallowin::recorders {

namespace {

std::string areaText(const platform::CaptureRectangle& rectangle) {
    return std::to_string(rectangle.width) + "x" + std::to_string(rectangle.height) + " at " +
           std::to_string(rectangle.x) + "," + std::to_string(rectangle.y);
}

std::string base(const QString& program) { return program.section('/', -1).toStdString(); }

// Detached, and writing nowhere: a recorder's own log must not mix with
// Tallowin's status lines on standard output.
bool startRecorder(const QString& program, const QStringList& arguments, qint64& pid) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached(&pid);
}

// Runs work on Qt's thread pool and hands its result to `then` in the
// context's thread; dropped when the context goes first.
template <typename Work, typename Then>
void offThread(QObject* context, Work work, Then then) {
    using Result = decltype(work());
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, then = std::move(then)] {
        then(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

}  // namespace

RecorderHandoff::RecorderHandoff(platform::LineOutput& output, platform::DesktopSession session, QObject* parent)
    : QObject(parent), output_(output), desktop_(session) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &RecorderHandoff::connectToObs);
    connect(&watch_, &QTimer::timeout, this, &RecorderHandoff::watchRecorderWindows);
}

RecorderHandoff::~RecorderHandoff() { delete session_.data(); }

void RecorderHandoff::setPrograms(QString obs, QString ssr, QString wfRecorder) {
    obsProgram_ = std::move(obs);
    ssrProgram_ = std::move(ssr);
    wfProgram_ = std::move(wfRecorder);
}

void RecorderHandoff::handOff(const platform::CaptureHandoff& handoff) {
    delete session_.data();
    retry_.stop();
    watch_.stop();
    busy_ = true;
    handoff_ = handoff;
    startedObs_ = 0;
    recorderPids_.clear();
    // Each stage takes its own turn of the event loop: none holds it long.
    const int generation = ++generation_;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == generation_) {
            choose();
        }
    });
}

void RecorderHandoff::choose() {
    const auto pinned = pinned_ ? pinned_ : rememberedRecorder();
    const auto processes = runningProcesses();
    obsPids_ = processesNamed(processes, base(obsProgram_));
    ssrPids_ = processesNamed(processes, base(ssrProgram_));
    RecorderPresence presence;
    presence.obsRunning = !obsPids_.empty();
    presence.ssrRunning = !ssrPids_.empty();
    presence.obsInstalled = installed(obsProgram_.toStdString());
    presence.ssrInstalled = installed(ssrProgram_.toStdString());
    presence.wfRecorderInstalled = installed(wfProgram_.toStdString());
    presence.wayland = wayland();
    presence.wlroots = desktop_ == platform::DesktopSession::sway;

    const int generation = generation_;
    const auto then = [this, generation](void (RecorderHandoff::*stage)()) {
        QTimer::singleShot(0, this, [this, generation, stage] {
            if (generation == generation_) {
                (this->*stage)();
            }
        });
    };
    switch (chooseRecorder(pinned, presence)) {
        case Recorder::Obs:
            if (!presence.obsRunning && !presence.obsInstalled) {
                output_.writeLine("OBS Studio is not installed (Debian: apt install obs-studio).");
                finish(false);
                return;
            }
            then(&RecorderHandoff::handOffToObs);
            return;
        case Recorder::SimpleScreenRecorder:
            if (presence.wayland) {
                output_.writeLine(std::string("SimpleScreenRecorder records X11 screens only, and this is ") +
                                  (presence.wlroots ? "sway's Wayland: use --recorder wf-recorder or obs."
                                                    : "KDE Plasma's Wayland: use --recorder obs."));
                finish(false);
                return;
            }
            if (!presence.ssrInstalled) {
                output_.writeLine("SimpleScreenRecorder is not installed (Debian: apt install simplescreenrecorder).");
                finish(false);
                return;
            }
            then(&RecorderHandoff::handOffToSsr);
            return;
        case Recorder::WfRecorder:
            if (!presence.wlroots) {
                output_.writeLine(std::string("wf-recorder records wlroots Wayland desktops such as sway only: use "
                                              "--recorder obs") +
                                  (presence.wayland ? "." : " or ssr."));
                finish(false);
                return;
            }
            if (!presence.wfRecorderInstalled) {
                output_.writeLine("wf-recorder is not installed (Debian: apt install wf-recorder).");
                finish(false);
                return;
            }
            then(&RecorderHandoff::handOffToWfRecorder);
            return;
        case Recorder::None:
            if (!pinned) {
                output_.writeLine(std::string("No screen recorder found: install ") +
                                  (presence.wlroots   ? "obs-studio or wf-recorder"
                                   : presence.wayland ? "obs-studio"
                                                      : "obs-studio or simplescreenrecorder") +
                                  " to record the rectangle.");
            }
            finish(false);
            return;
    }
}

void RecorderHandoff::handOffToObs() {
    const auto folder = obsConfigFolder();
    auto read = readObsServerSettings(folder);
    if (!read.ok) {
        output_.writeLine(read.failure);
        finish(false);
        return;
    }
    recorderPids_ = obsPids_;
    if (!recorderPids_.empty()) {
        if (!read.settings.enabled) {
            output_.writeLine(
                "OBS is running with its WebSocket server off: switch it on under Tools > WebSocket Server "
                "Settings > Enable WebSocket server, then press Place again.");
            finish(false);
            return;
        }
        obs_ = read.settings;
        connectToObs();
        return;
    }
    if (read.settings.enabled) {
        startObs(read);
        return;
    }
    // Closed: its files may be edited now, and it reads them when it starts.
    // The write waits on the disk (fsync): off the window thread.
    offThread(
        this, [folder] { return enableObsServer(folder); },
        [this, generation = generation_](const ObsSettingsRead& enabled) {
            if (generation != generation_) {
                return;
            }
            if (!enabled.ok) {
                output_.writeLine(enabled.failure);
                finish(false);
                return;
            }
            output_.writeLine("OBS's WebSocket server switched on in " + enabled.settings.file.string() + ".");
            startObs(enabled);
        });
}

void RecorderHandoff::startObs(const ObsSettingsRead& read) {
    if (!processesNamed(base(obsProgram_)).empty()) {
        output_.writeLine("OBS was started meanwhile: press Place again.");
        finish(false);
        return;
    }
    obs_ = read.settings;
    qint64 pid = 0;
    if (!startRecorder(obsProgram_, {QStringLiteral("--minimize-to-tray")}, pid)) {
        output_.writeLine("Cannot start " + obsProgram_.toStdString() + ".");
        finish(false);
        return;
    }
    startedObs_ = static_cast<pid_t>(pid);
    recorderPids_ = {startedObs_};
    startClock_.start();
    output_.writeLine("OBS started; waiting for its WebSocket server on port " + std::to_string(obs_.port) + ".");
    retry_.start(timing_.retry);
}

ObsSession::Setup RecorderHandoff::obsSetup() const {
    ObsSession::Setup setup;
    setup.port = obs_.port;
    setup.password = obs_.authRequired ? QString::fromStdString(obs_.password) : QString();
    setup.settingsFile = QString::fromStdString(obs_.file.string());
    setup.rectangle = handoff_.rectangle;
    setup.stepTimeout = timing_.obsStep;
    setup.wayland = wayland();
    const QPoint corner(static_cast<int>(handoff_.rectangle.x), static_cast<int>(handoff_.rectangle.y));
    const auto screens = QGuiApplication::screens();
    QScreen* holder = QGuiApplication::screenAt(corner);
    if (holder == nullptr) {
        holder = QGuiApplication::primaryScreen();
    }
    if (holder != nullptr) {
        const QRect geometry = holder->geometry();
        setup.screenIndex = static_cast<int>(screens.indexOf(holder));
        setup.screenX = geometry.x();
        setup.screenY = geometry.y();
        setup.screenWidth = geometry.width();
        setup.screenHeight = geometry.height();
    }
    return setup;
}

void RecorderHandoff::connectToObs() {
    delete session_.data();
    session_ = new ObsSession(output_, this);
    connect(session_, &ObsSession::finished, this, &RecorderHandoff::onObsFinished);
    session_->start(obsSetup());
}

void RecorderHandoff::onObsFinished(ObsSession::Outcome outcome) {
    if (session_) {
        session_->deleteLater();
    }
    switch (outcome) {
        case ObsSession::Outcome::Ready:
            watchClock_.start();
            watchRecorderWindows();
            watch_.start(timing_.watchTick);
            finish(true);
            return;
        case ObsSession::Outcome::Unreachable:
            if (startedObs_ != 0) {
                if (!processAlive(startedObs_)) {
                    output_.writeLine("OBS quit before its WebSocket server answered.");
                    finish(false);
                    return;
                }
                if (startClock_.elapsed() < timing_.obsStart.count()) {
                    retry_.start(timing_.retry);
                    return;
                }
                output_.writeLine("OBS did not open its WebSocket server on port " + std::to_string(obs_.port) +
                                  " within " + std::to_string(timing_.obsStart.count() / 1000) + " s.");
                finish(false);
                return;
            }
            output_.writeLine("OBS does not answer on port " + std::to_string(obs_.port) + " (from " +
                              obs_.file.string() + ").");
            finish(false);
            return;
        case ObsSession::Outcome::Recording:
        case ObsSession::Outcome::Failed:
            finish(false);
            return;
    }
}

void RecorderHandoff::handOffToSsr() {
    const auto user = ssrUserSettingsFile();
    const auto read = readSettingsFile(user);
    if (!read.text) {
        output_.writeLine("Cannot read SimpleScreenRecorder's settings " + user.string() + ": " + read.reason +
                          "; starting it with its defaults and the area.");
    }
    auto seeded = ssrSettingsWithArea(read.text.value_or(""), handoff_.rectangle);
    offThread(
        this,
        [seeded = std::move(seeded)] {
            return rewriteSettingsFile(ssrOwnSettingsFile(), [&](std::string_view) { return seeded; });
        },
        [this, generation = generation_](bool written) {
            if (generation == generation_) {
                startSsr(written);
            }
        });
}

void RecorderHandoff::startSsr(bool written) {
    const auto own = ssrOwnSettingsFile();
    if (!written) {
        output_.writeLine("Cannot write " + own.string() + ": SimpleScreenRecorder was not started.");
        finish(false);
        return;
    }
    const bool running = !ssrPids_.empty();
    qint64 pid = 0;
    if (!startRecorder(ssrProgram_, {QStringLiteral("--settingsfile=") + QString::fromStdString(own.string())}, pid)) {
        output_.writeLine("Cannot start " + ssrProgram_.toStdString() + ".");
        finish(false);
        return;
    }
    output_.writeLine("SimpleScreenRecorder started with the area " + areaText(handoff_.rectangle) + " (settings in " +
                      own.string() + ").");
    if (running) {
        output_.writeLine(
            "A SimpleScreenRecorder that was already running will not see the new area: record with the one "
            "just started.");
    }
    recorderPids_ = {static_cast<pid_t>(pid)};
    watchClock_.start();
    watch_.start(timing_.watchTick);
    finish(true);
}

// wf-recorder would record from its first frame, before the user is ready:
// the command is handed over, not run.
void RecorderHandoff::handOffToWfRecorder() {
    const auto videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation).toStdString();
    const auto home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
    output_.writeLine(wfRecorderLine(handoff_.rectangle, wfRecorderFile(videos, home)));
    finish(true);
}

// The recorder's windows may appear over the rectangle (OBS shows its window
// when there is no tray to minimize to): the placed window goes back on top.
void RecorderHandoff::watchRecorderWindows() {
    const WindowStack stack;
    if (!stack.available() || watchClock_.elapsed() > timing_.watch.count()) {
        watch_.stop();
        return;
    }
    if (stack.coveredBy(handoff_.windowNumber, recorderPids_)) {
        stack.raise(handoff_.windowNumber);
    }
}

void RecorderHandoff::finish(bool ready) {
    busy_ = false;
    emit finished(ready);
}

}  // namespace tallowin::recorders
