#pragma once

#include <filesystem>
#include <string>

namespace tallowin::recorders {

// OBS's websocket server as OBS's own settings describe it: OBS 30 and later
// keep it in plugin_config/obs-websocket/config.json, OBS 28 and 29 in the
// [OBSWebSocket] section of global.ini. The JSON file wins when it exists.
struct ObsServerSettings {
    bool enabled = false;
    int port = 4455;
    bool authRequired = true;
    std::string password;
    std::filesystem::path file;  // the file they came from, or would be written to
};

struct ObsSettingsRead {
    bool ok = false;
    ObsServerSettings settings;
    std::string failure;  // a whole status line when !ok
};

// ${XDG_CONFIG_HOME:-~/.config}/obs-studio
std::filesystem::path obsConfigFolder();

ObsSettingsRead readObsServerSettings(const std::filesystem::path& folder);

// Switches the server on in the file the settings came from, keeping every
// other key and the password (one is made only when authentication is on
// and there is none). Only while OBS is closed. Yields the settings now in
// force, or a failure line.
ObsSettingsRead enableObsServer(const std::filesystem::path& folder);

}  // namespace tallowin::recorders
