#pragma once
// Linux stand-in for CoreGraphics, as declared by Apple; answered by fake_sdk.cpp.
#include <CoreFoundation/CoreFoundation.h>
extern "C" {
typedef double CGFloat;
struct CGPoint {
    CGFloat x;
    CGFloat y;
};
struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGPoint CGPoint;
typedef struct CGSize CGSize;
typedef uint32_t CGWindowID;
enum CGWindowListOption : uint32_t { kCGWindowListOptionOnScreenOnly = 1, kCGWindowListExcludeDesktopElements = 16 };
static const CGWindowID kCGNullWindowID = 0;
CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);
bool CGPreflightScreenCaptureAccess(void);
bool CGRequestScreenCaptureAccess(void);
}
