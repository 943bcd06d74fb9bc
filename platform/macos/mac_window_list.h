#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <optional>

#include "platform/window_list_source.h"

namespace tallowin::macos {

// The window server's list, through CGWindowListCopyWindowInfo.
class MacWindowList final : public platform::WindowListSource {
public:
    std::optional<platform::WindowList> copyWindowInfo(platform::WindowListOption options,
                                                       std::uint32_t relativeToWindow) override;
};

// All or nothing: nothing when an element is not a dictionary with string keys.
std::optional<platform::WindowList> convertWindowList(CFArrayRef windows);

}  // namespace tallowin::macos
