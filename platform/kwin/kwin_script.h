#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/window_system.h"

namespace tallowin::kwin {

// Where a script sends its one answer: take(token, text) on this object.
inline constexpr const char* kAnswerPath = "/tallowin/kwin";
inline constexpr const char* kAnswerInterface = "io.tallowin.KWinAnswer";
inline constexpr const char* kAnswerMethod = "take";

// One window as a script saw it; KWin names a window by a text id.
struct ScriptWindow {
    std::string internalId;
    platform::SystemWindow window;  // its id is left for the caller to give
    bool active = false;
};

// What a script answered: the normal windows front to back with the
// placement area, or one window's state, or that the window is gone, or
// KWin's own words for a failure.
struct Listing {
    std::vector<ScriptWindow> windows;
    platform::WindowFrame placementArea;
};
struct Gone {};
struct ScriptError {
    std::string text;
};
using ScriptAnswer = std::variant<Listing, ScriptWindow, Gone, ScriptError>;

// A script that answers service with token and the listing.
std::string listingScript(const std::string& service, const std::string& token);
// Leaves fullscreen and maximized, then asks for the frame; answers the
// window's state, which still shows the old frame: the configure is
// asynchronous.
std::string placeScript(const std::string& service, const std::string& token, const std::string& internalId,
                        const platform::WindowFrame& frame);
// Activates the window, which raises it.
std::string raiseScript(const std::string& service, const std::string& token, const std::string& internalId);
// Answers the window's state.
std::string lookScript(const std::string& service, const std::string& token, const std::string& internalId);

// Reads an answer; nothing when it is not one of ours.
std::optional<ScriptAnswer> parseAnswer(const std::string& text);

}  // namespace tallowin::kwin
