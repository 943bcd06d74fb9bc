#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/macos/cf_ref.h"

namespace tallowin::macos {

// The text as UTF-8, or nothing when it cannot be converted.
std::optional<std::string> utf8String(CFStringRef text);

// A new CFString from UTF-8 bytes; empty when the bytes are not valid UTF-8.
CFRef<CFStringRef> makeCFString(std::string_view utf8);

}  // namespace tallowin::macos
