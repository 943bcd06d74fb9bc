#include "shell/recorders/obs_settings.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <cstdlib>

#include "platform/plist/plist_preferences.h"
#include "shell/recorders/ini_text.h"
#include "shell/recorders/user_files.h"

namespace tallowin::recorders {

namespace {

constexpr const char* kIniSection = "OBSWebSocket";

std::filesystem::path jsonFile(const std::filesystem::path& folder) {
    return folder / "plugin_config" / "obs-websocket" / "config.json";
}

std::string unreadable(const std::filesystem::path& file, const std::string& reason) {
    return "Cannot read OBS's settings " + file.string() + ": " + reason + ".";
}

bool iniTrue(const std::optional<std::string>& value, bool otherwise) { return value ? *value == "true" : otherwise; }

ObsSettingsRead fromIni(const std::filesystem::path& file, const std::string& text) {
    ObsServerSettings settings;
    settings.file = file;
    settings.enabled = iniTrue(iniValue(text, kIniSection, "ServerEnabled"), false);
    settings.authRequired = iniTrue(iniValue(text, kIniSection, "AuthRequired"), true);
    settings.password = iniValue(text, kIniSection, "ServerPassword").value_or("");
    if (const auto port = iniValue(text, kIniSection, "ServerPort")) {
        bool number = false;
        settings.port = QString::fromStdString(*port).toInt(&number);
        if (!number || settings.port <= 0 || settings.port > 65535) {
            return {.ok = false, .settings = {}, .failure = unreadable(file, "ServerPort is " + *port)};
        }
    }
    return {.ok = true, .settings = settings, .failure = {}};
}

ObsSettingsRead fromJson(const std::filesystem::path& file, const std::string& text) {
    QJsonParseError error{};
    const auto document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (!document.isObject()) {
        return {.ok = false, .settings = {}, .failure = unreadable(file, error.errorString().toStdString())};
    }
    const auto object = document.object();
    ObsServerSettings settings;
    settings.file = file;
    settings.enabled = object.value("server_enabled").toBool(false);
    settings.authRequired = object.value("auth_required").toBool(true);
    settings.password = object.value("server_password").toString().toStdString();
    settings.port = object.value("server_port").toInt(4455);
    return {.ok = true, .settings = settings, .failure = {}};
}

std::string newPassword() {
    static constexpr char kAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
    std::string password;
    for (int index = 0; index < 16; ++index) {
        password += kAlphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof kAlphabet - 1))];
    }
    return password;
}

}  // namespace

std::filesystem::path obsConfigFolder() {
    const std::filesystem::path config = plist::userConfigFolder();
    return config.empty() ? config : config / "obs-studio";
}

ObsSettingsRead readObsServerSettings(const std::filesystem::path& folder) {
    const auto json = jsonFile(folder);
    const auto jsonText = readSettingsFile(json);
    if (!jsonText.missing) {
        return jsonText.text
                   ? fromJson(json, *jsonText.text)
                   : ObsSettingsRead{.ok = false, .settings = {}, .failure = unreadable(json, jsonText.reason)};
    }
    const auto ini = folder / "global.ini";
    const auto iniText = readSettingsFile(ini);
    if (!iniText.text) {
        return {.ok = false, .settings = {}, .failure = unreadable(ini, iniText.reason)};
    }
    return fromIni(ini, *iniText.text);  // a missing file reads as OBS's defaults
}

ObsSettingsRead enableObsServer(const std::filesystem::path& folder) {
    auto read = readObsServerSettings(folder);
    if (!read.ok) {
        return read;
    }
    auto settings = read.settings;
    settings.enabled = true;
    if (settings.authRequired && settings.password.empty()) {
        settings.password = newPassword();
    }
    const bool json = settings.file.extension() == ".json";
    bool editable = true;
    const bool written = rewriteSettingsFile(settings.file, [&](std::string_view current) {
        if (json) {
            auto object =
                QJsonDocument::fromJson(QByteArray(current.data(), static_cast<qsizetype>(current.size()))).object();
            if (object.isEmpty() && !current.empty()) {
                editable = false;
                return std::string{};
            }
            object["server_enabled"] = true;
            object["server_password"] = QString::fromStdString(settings.password);
            return QJsonDocument(object).toJson().toStdString();
        }
        auto text = withIniValue(current, kIniSection, "ServerEnabled", "true");
        if (!iniValue(current, kIniSection, "ServerPort")) {
            text = withIniValue(text, kIniSection, "ServerPort", std::to_string(settings.port));
        }
        if (settings.authRequired) {
            if (!iniValue(current, kIniSection, "AuthRequired")) {
                text = withIniValue(text, kIniSection, "AuthRequired", "true");
            }
            if (iniValue(current, kIniSection, "ServerPassword").value_or("") != settings.password) {
                text = withIniValue(text, kIniSection, "ServerPassword", settings.password);
            }
        }
        return text;
    });
    if (!written || !editable) {
        return {.ok = false,
                .settings = {},
                .failure = "Cannot write OBS's settings " + settings.file.string() +
                           ": its WebSocket server stays off; switch it on in OBS under Tools > WebSocket Server "
                           "Settings."};
    }
    return {.ok = true, .settings = settings, .failure = {}};
}

}  // namespace tallowin::recorders
