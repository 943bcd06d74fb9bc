#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Controls and observes the Linux stand-in for Apple's frameworks. Every
// object it hands out is counted until its last release, so a test can
// prove that the provider released all it was given.
namespace fake_sdk {

[[nodiscard]] int liveObjects();
// Failures the test must see: a release of null or of a dead object.
[[nodiscard]] std::vector<std::string>& misuse();

// Each returns a new object with one reference (the Create rule); the
// containers take over the references of the items passed in.
CFStringRef string(const std::string& utf8);
CFStringRef unconvertibleString();  // CFStringGetBytes converts none of it
CFNumberRef integer(std::int64_t value);
CFNumberRef floating(double value);
CFNumberRef unsignedBeyondInt64();  // CFNumberGetValue(SInt64) reports a lossy conversion
CFTypeRef boolean(bool value);      // retained singleton
CFDictionaryRef dictionary(std::vector<std::pair<CFTypeRef, CFTypeRef>> entries);
CFArrayRef array(std::vector<CFTypeRef> items);
AXUIElementRef window(pid_t pid);
AXValueRef point(double x, double y);
// What AXUIElementSetMessagingTimeout last set on the element; 0 if nothing.
float messagingTimeout(AXUIElementRef element);

void release(CFTypeRef object);

struct State {
    CFArrayRef windowList = nullptr;  // what CGWindowListCopyWindowInfo copies; owned here
    std::uint32_t windowListOptions = 0;
    std::uint32_t windowListRelativeTo = 0;
    bool screenCaptureGranted = false;
    int screenCaptureRequests = 0;

    bool trusted = false;
    std::vector<bool> trustPrompts;  // kAXTrustedCheckOptionPrompt of every check
    // Answers of AXUIElementCopyAttributeValue by (pid, attribute); owned here.
    std::map<std::pair<pid_t, std::string>, CFTypeRef> attributes;
    std::map<std::pair<pid_t, std::string>, AXError> attributeErrors;
    bool enhancedUserInterface = false;
    AXError setResult = kAXErrorSuccess;
    // Reads and sets of AXEnhancedUserInterface, other sets and actions, in order.
    std::vector<std::string> accessibilityCalls;

    std::string preferenceKey;
    std::string preferenceApplication;
    CFTypeRef preferenceValue = nullptr;  // retained copy of the last value set
    int synchronizations = 0;
};

State& state();
// Releases everything State owns and starts afresh; misuse() stays.
void reset();

}  // namespace fake_sdk
