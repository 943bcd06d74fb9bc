#include "discovery/menubar_probe.h"

#include <string>

#include "platform/line_output.h"
#include "platform/window_list_source.h"

namespace tallowin {

void probeMenubarHeight(const platform::WindowList& snapshot, std::int64_t& menubarHeight,
                        platform::LineOutput& output) {
    for (const platform::Value& entry : snapshot) {
        const platform::Value* name = entry.find(platform::kWindowNameKey);
        const std::string* text = name != nullptr ? name->asText() : nullptr;
        if (text == nullptr || *text != platform::kMenubarWindowName) {
            continue;
        }
        const platform::Value* bounds = entry.find(platform::kWindowBoundsKey);
        if (bounds == nullptr || !bounds->isDictionary()) {
            continue;
        }
        const platform::Value* x = bounds->find("X");
        const auto left = x != nullptr ? x->asInt64() : std::nullopt;
        if (!left || *left != 0) {
            continue;
        }
        const platform::Value* heightValue = bounds->find("Height");
        const auto height = heightValue != nullptr ? heightValue->asInt64() : std::nullopt;
        if (!height) {
            continue;
        }
        menubarHeight = *height;
        output.writeLine("Menubar height updated to: " + std::to_string(menubarHeight) + " pixels.");
    }
}

}  // namespace tallowin
