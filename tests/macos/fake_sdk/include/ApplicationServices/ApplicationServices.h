#pragma once
// Linux stand-in for the Accessibility part of ApplicationServices,
// declared as Apple's headers declare it; answered by fake_sdk.cpp.
#include <CoreGraphics/CoreGraphics.h>
extern "C" {
enum AXError : SInt32 {
    kAXErrorSuccess = 0,
    kAXErrorCannotComplete = -25204,
    kAXErrorAttributeUnsupported = -25205,
};
enum AXValueType : UInt32 { kAXValueTypeCGPoint = 1, kAXValueTypeCGSize = 2 };
typedef const struct __AXUIElement* AXUIElementRef;
typedef const struct __AXValue* AXValueRef;
extern CFStringRef kAXTrustedCheckOptionPrompt;
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options);
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
