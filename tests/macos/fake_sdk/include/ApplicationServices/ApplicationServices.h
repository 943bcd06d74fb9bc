#pragma once
// Linux stand-in for the Accessibility part of ApplicationServices,
// declared as Apple's headers declare it; answered by fake_sdk.cpp.
#include <CoreGraphics/CoreGraphics.h>
extern "C" {
enum AXError : SInt32 {
    kAXErrorSuccess = 0,
    kAXErrorIllegalArgument = -25201,
    kAXErrorCannotComplete = -25204,
    kAXErrorAttributeUnsupported = -25205,
};
typedef enum AXError AXError;
enum AXValueType : UInt32 { kAXValueTypeCGPoint = 1, kAXValueTypeCGSize = 2 };
typedef enum AXValueType AXValueType;
typedef const struct __AXUIElement* AXUIElementRef;
typedef const struct __AXValue* AXValueRef;
// Macros in Apple's headers: a name of ours that collides fails here too.
#define kAXWindowsAttribute CFSTR("AXWindows")
#define kAXTitleAttribute CFSTR("AXTitle")
#define kAXPositionAttribute CFSTR("AXPosition")
#define kAXSizeAttribute CFSTR("AXSize")
#define kAXRaiseAction CFSTR("AXRaise")
extern CFStringRef kAXTrustedCheckOptionPrompt;
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options);  // options may be NULL
Boolean AXIsProcessTrusted(void);
CFTypeID AXUIElementGetTypeID(void);
AXUIElementRef AXUIElementCreateApplication(pid_t pid);
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef* value);
AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef value);
AXError AXUIElementPerformAction(AXUIElementRef element, CFStringRef action);
AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds);
CFTypeID AXValueGetTypeID(void);
AXValueRef AXValueCreate(AXValueType theType, const void* valuePtr);
Boolean AXValueGetValue(AXValueRef value, AXValueType theType, void* valuePtr);
}
