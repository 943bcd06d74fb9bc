#include "platform/kwin/kwin_script.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

namespace tallowin::kwin {

namespace {

using nlohmann::json;

// What every script shares: the 5.x and 6.x names, one window's state, and
// one answer, KWin's own words included when the body throws.
constexpr const char* kPrelude = R"((function () {
var ws = workspace;
var answer = function (value) { callDBus(SERVICE, PATH, INTERFACE, METHOD, TOKEN, JSON.stringify(value)); };
try {
    var windows = ws.windowList ? ws.windowList() : ws.clientList();
    var activeName = ws.windowList ? "activeWindow" : "activeClient";
    var rect = function (g) { return [g.x, g.y, g.width, g.height]; };
    var state = function (w) {
        return {id: String(w.internalId), pid: w.pid, caption: w.caption, resourceClass: String(w.resourceClass),
                frame: rect(w.frameGeometry), opacity: w.opacity, active: ws[activeName] === w};
    };
    var find = function (id) {
        for (var i = 0; i < windows.length; ++i) {
            if (String(windows[i].internalId) === id) { return windows[i]; }
        }
        return null;
    };
)";
constexpr const char* kEnd = R"(} catch (e) {
    answer({error: String(e)});
}
})();
)";

// Text becomes a script literal through JSON, so no id or name can break out.
std::string literal(const std::string& text) { return json(text).dump(-1, ' ', true); }

std::string prelude(const std::string& service, const std::string& token) {
    std::string text = "var SERVICE = " + literal(service) + ", PATH = " + literal(kAnswerPath) +
                       ", INTERFACE = " + literal(kAnswerInterface) + ", METHOD = " + literal(kAnswerMethod) +
                       ", TOKEN = " + literal(token) + ";\n";
    return text + kPrelude;
}

std::string onWindow(const std::string& service, const std::string& token, const std::string& internalId,
                     const std::string& body) {
    return prelude(service, token) + "    var w = find(" + literal(internalId) +
           ");\n    if (!w) { answer({gone: true}); return; }\n" + body + "    answer({window: state(w)});\n" + kEnd;
}

std::string whole(double value) { return std::to_string(std::lround(value)); }

std::optional<double> number(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number()) {
        return std::nullopt;
    }
    return found->get<double>();
}

std::optional<std::string> text(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return std::nullopt;
    }
    return found->get<std::string>();
}

std::optional<platform::WindowFrame> frameOf(const json& value) {
    if (!value.is_array() || value.size() != 4 ||
        !std::ranges::all_of(value, [](const json& each) { return each.is_number(); })) {
        return std::nullopt;
    }
    return platform::WindowFrame{value[0].get<double>(), value[1].get<double>(), value[2].get<double>(),
                                 value[3].get<double>()};
}

// A window without an id or a frame cannot be placed: it is skipped.
std::optional<ScriptWindow> windowOf(const json& value) {
    if (!value.is_object()) {
        return std::nullopt;
    }
    const auto id = text(value, "id");
    const auto frame = frameOf(value.value("frame", json()));
    if (!id || !frame) {
        return std::nullopt;
    }
    ScriptWindow seen;
    seen.internalId = *id;
    seen.window.frame = *frame;
    seen.window.title = text(value, "caption");
    seen.window.owner = text(value, "resourceClass");
    seen.window.opacity = number(value, "opacity");
    // KWin gives an internal window, or one whose process it does not know, pid 0.
    if (const auto pid = number(value, "pid"); pid && *pid > 0 && *pid == std::floor(*pid) && *pid < 1 << 30) {
        seen.window.pid = static_cast<pid_t>(*pid);
    }
    const auto active = value.find("active");
    seen.active = active != value.end() && active->is_boolean() && active->get<bool>();
    return seen;
}

}  // namespace

std::string listingScript(const std::string& service, const std::string& token) {
    // Front to back: 6.x has the stacking order as a list, 5.x as a number
    // on each window. Only normal windows on screen count.
    return prelude(service, token) + R"(    var order = ws.stackingOrder;
    var depth = function (w) { return order ? order.indexOf(w) : w.stackingOrder; };
    var shown = windows.filter(function (w) { return w.normalWindow && !w.minimized; });
    shown.sort(function (a, b) { return depth(b) - depth(a); });
    var area;
    try {
        area = ws.clientArea(KWin.PlacementArea, ws.screenAt({x: 0, y: 0}), ws.currentDesktop);
    } catch (e) {
        area = ws.clientArea(KWin.PlacementArea, ws.activeScreen, ws.currentDesktop);
    }
    answer({area: rect(area), windows: shown.map(state)});
)" + kEnd;
}

std::string placeScript(const std::string& service, const std::string& token, const std::string& internalId,
                        const platform::WindowFrame& frame) {
    return onWindow(service, token, internalId,
                    "    if (w.fullScreen) { w.fullScreen = false; }\n    w.setMaximize(false, false);\n"
                    "    w.frameGeometry = {x: " +
                        whole(frame.x) + ", y: " + whole(frame.y) + ", width: " + whole(frame.width) +
                        ", height: " + whole(frame.height) + "};\n");
}

std::string raiseScript(const std::string& service, const std::string& token, const std::string& internalId) {
    return onWindow(service, token, internalId, "    ws[activeName] = w;\n");
}

std::string lookScript(const std::string& service, const std::string& token, const std::string& internalId) {
    return onWindow(service, token, internalId, "");
}

std::optional<ScriptAnswer> parseAnswer(const std::string& answer) {
    const json value = json::parse(answer, nullptr, false);
    if (!value.is_object()) {
        return std::nullopt;
    }
    if (const auto error = text(value, "error")) {
        return ScriptError{*error};
    }
    if (const auto gone = value.find("gone"); gone != value.end() && *gone == true) {
        return Gone{};
    }
    if (value.contains("window")) {
        auto window = windowOf(value["window"]);
        return window ? std::optional<ScriptAnswer>(std::move(*window)) : std::nullopt;
    }
    const auto area = frameOf(value.value("area", json()));
    const auto windows = value.find("windows");
    if (!area || windows == value.end() || !windows->is_array()) {
        return std::nullopt;
    }
    Listing listing{{}, *area};
    for (const json& each : *windows) {
        if (auto window = windowOf(each)) {
            listing.windows.push_back(std::move(*window));
        }
    }
    return listing;
}

}  // namespace tallowin::kwin
