#include "shell/recorders/recorder_choice.h"

#include <QSettings>
#include <QString>

#include "platform/plist/plist_preferences.h"

namespace tallowin::recorders {

namespace {
constexpr const char* kRecorderKey = "recorder";
}  // namespace

std::optional<Recorder> recorderNamed(std::string_view name) {
    if (name == "obs") {
        return Recorder::Obs;
    }
    if (name == "ssr") {
        return Recorder::SimpleScreenRecorder;
    }
    if (name == "wf-recorder") {
        return Recorder::WfRecorder;
    }
    if (name == "none") {
        return Recorder::None;
    }
    return std::nullopt;
}

std::string_view recorderName(Recorder recorder) {
    switch (recorder) {
        case Recorder::Obs:
            return "obs";
        case Recorder::SimpleScreenRecorder:
            return "ssr";
        case Recorder::WfRecorder:
            return "wf-recorder";
        case Recorder::None:
            break;
    }
    return "none";
}

Recorder chooseRecorder(std::optional<Recorder> pinned, const RecorderPresence& presence) {
    if (pinned) {
        return *pinned;
    }
    if (presence.wayland) {
        return presence.obsRunning || presence.obsInstalled       ? Recorder::Obs
               : presence.wlroots && presence.wfRecorderInstalled ? Recorder::WfRecorder
                                                                  : Recorder::None;
    }
    if (presence.obsRunning) {
        return Recorder::Obs;
    }
    if (presence.ssrRunning) {
        return Recorder::SimpleScreenRecorder;
    }
    if (presence.obsInstalled) {
        return Recorder::Obs;
    }
    if (presence.ssrInstalled) {
        return Recorder::SimpleScreenRecorder;
    }
    return Recorder::None;
}

std::filesystem::path tallowinConfigFolder() {
    const std::filesystem::path config = plist::userConfigFolder();
    return config.empty() ? config : config / "tallowin";
}

std::filesystem::path tallowinSettingsFile() { return tallowinConfigFolder() / "tallowin.conf"; }

std::optional<Recorder> rememberedRecorder() {
    const QSettings settings(QString::fromStdString(tallowinSettingsFile().string()), QSettings::IniFormat);
    return recorderNamed(settings.value(kRecorderKey).toString().toStdString());
}

bool rememberRecorder(std::optional<Recorder> recorder) {
    QSettings settings(QString::fromStdString(tallowinSettingsFile().string()), QSettings::IniFormat);
    if (recorder) {
        settings.setValue(kRecorderKey, QString::fromUtf8(recorderName(*recorder).data(),
                                                          static_cast<qsizetype>(recorderName(*recorder).size())));
    } else {
        settings.remove(kRecorderKey);
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace tallowin::recorders
