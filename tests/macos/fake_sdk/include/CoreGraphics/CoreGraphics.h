#pragma once
// Linux stand-in for CoreGraphics, declared as Apple's headers declare it
// (CF_OPTIONS as its C++ expansion: a plain integer type and an unnamed
// enum); answered by fake_sdk.cpp.
#include <CoreFoundation/CoreFoundation.h>
extern "C" {
typedef double CGFloat;
struct CGPoint {
    CGFloat x;
    CGFloat y;
};
typedef struct CGPoint CGPoint;
struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;
typedef uint32_t CGWindowID;
#define kCGNullWindowID ((CGWindowID)0)
typedef uint32_t CGWindowListOption;
enum : CGWindowListOption {
    kCGWindowListOptionOnScreenOnly = (1 << 0),
    kCGWindowListExcludeDesktopElements = (1 << 4)
};
CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);
bool CGPreflightScreenCaptureAccess(void);
bool CGRequestScreenCaptureAccess(void);
}
