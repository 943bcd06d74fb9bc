#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tallowin::recorders {

enum class Recorder { Obs, SimpleScreenRecorder, WfRecorder, None };

// "obs", "ssr", "wf-recorder" or "none", as the user pins them; nothing for
// other text.
std::optional<Recorder> recorderNamed(std::string_view name);
std::string_view recorderName(Recorder recorder);

// What runs and what is installed, for the automatic choice.
struct RecorderPresence {
    bool obsRunning = false;
    bool ssrRunning = false;
    bool obsInstalled = false;
    bool ssrInstalled = false;
    bool wfRecorderInstalled = false;
    // sway or KWin, where X11 recorders see nothing but XWayland's black root.
    bool wayland = false;
    // sway, whose screen wf-recorder can record.
    bool wlroots = false;
};

// The pinned recorder when there is one; otherwise a running one (OBS
// first), then an installed one (OBS first), then none. Under Wayland: OBS,
// running or installed, then wf-recorder where it can record.
Recorder chooseRecorder(std::optional<Recorder> pinned, const RecorderPresence& presence);

// Tallowin's own settings file: ${XDG_CONFIG_HOME:-~/.config}/tallowin/tallowin.conf.
std::filesystem::path tallowinConfigFolder();
std::filesystem::path tallowinSettingsFile();

// The recorder pinned in Tallowin's settings file (key "recorder"), if any.
std::optional<Recorder> rememberedRecorder();

// Pins the recorder in Tallowin's settings file; nothing unpins it again
// (back to the automatic choice). False when the file cannot be written.
bool rememberRecorder(std::optional<Recorder> recorder);

}  // namespace tallowin::recorders
