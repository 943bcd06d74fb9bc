#pragma once
// Linux stand-in for CoreGraphics, declared as Apple's headers declare it;
// answered by fake_sdk.cpp.
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
typedef uint32_t CGWindowListOption;
CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);
bool CGPreflightScreenCaptureAccess(void);
bool CGRequestScreenCaptureAccess(void);
}
