#include "platform/x11/x11_call.h"

#include <algorithm>
#include <array>

namespace tallowin::x11 {

std::string_view errorName(std::uint8_t code) {
    static constexpr std::array<std::string_view, 18> kNames{
        "",          "BadRequest", "BadValue",    "BadWindow",   "BadPixmap", "BadAtom",
        "BadCursor", "BadFont",    "BadMatch",    "BadDrawable", "BadAccess", "BadAlloc",
        "BadColor",  "BadGC",      "BadIDChoice", "BadName",     "BadLength", "BadImplementation"};
    return code > 0 && code < kNames.size() ? kNames[code] : "X error";
}

std::string_view requestName(std::uint8_t majorCode) {
    switch (majorCode) {
        case XCB_CREATE_WINDOW:
            return "CreateWindow";
        case XCB_CHANGE_WINDOW_ATTRIBUTES:
            return "ChangeWindowAttributes";
        case XCB_CONFIGURE_WINDOW:
            return "ConfigureWindow";
        case XCB_SEND_EVENT:
            return "SendEvent";
        case XCB_CHANGE_PROPERTY:
            return "ChangeProperty";
        default:
            return "request";
    }
}

void XCallLog::record(std::string_view call, const xcb_generic_error_t* error) {
    ++count_;
    const std::uint8_t code = error != nullptr ? error->error_code : std::uint8_t{0};
    const auto key = std::pair{std::string(call), code};
    if (std::find(reported_.begin(), reported_.end(), key) != reported_.end()) {
        return;
    }
    reported_.push_back(key);
    if (code == 0) {
        std::fprintf(sink_, "tallowin: X request %s failed: connection lost\n", key.first.c_str());
    } else {
        const std::string name(errorName(code));
        std::fprintf(sink_, "tallowin: X request %s failed: %s (%u)\n", key.first.c_str(), name.c_str(),
                     static_cast<unsigned>(code));
    }
    std::fflush(sink_);
}

}  // namespace tallowin::x11
