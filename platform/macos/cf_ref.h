#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include "platform/macos/basic_cf_ref.h"

namespace tallowin::macos {

struct CoreFoundationRetainPolicy {
    static void retain(CFTypeRef ref) { CFRetain(ref); }
    static void release(CFTypeRef ref) { CFRelease(ref); }
};

// CFRef<CFArrayRef>, CFRef<AXUIElementRef>, ...: every CF and AX object we
// hold, released on every path by the destructor.
template <typename Ref>
using CFRef = BasicCFRef<Ref, CoreFoundationRetainPolicy>;

}  // namespace tallowin::macos
