#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Makes and observes the objects of the Linux stand-in for Apple's frameworks.
namespace fake_sdk {

// Each returns a new object with one reference (the Create rule); the
// containers take over the references of the items passed in.
CFStringRef string(const std::string& utf8);  // a byte 0xFF stands for what UTF-8 cannot hold
CFNumberRef integer(std::int64_t value);
CFNumberRef floating(double value);
CFNumberRef unsignedBeyondInt64();  // CFNumberGetValue(SInt64) reports it lossy
CFDictionaryRef dictionary(const std::vector<std::pair<CFTypeRef, CFTypeRef>>& entries);
CFArrayRef array(std::vector<CFTypeRef> items);
AXUIElementRef element(const std::string& name);  // the name it is traced by

struct State {
    // What the next copy hands over, its reference then the caller's:
    CFArrayRef windowList = nullptr;              // of CGWindowListCopyWindowInfo
    std::map<std::string, CFTypeRef> attributes;  // of AXUIElementCopyAttributeValue, by attribute
    bool granted = false;                         // screen capture and Accessibility trust
    std::map<std::string, AXError> errors;        // of Accessibility calls, by attribute or action
    // Calls with an effect, in order; Accessibility calls as "<element> <verb> <name>".
    std::vector<std::string> calls;
};
State& state();

// Starts afresh. Returns what went wrong since the last reset: retains or
// releases of null, releases of released objects (all objects are kept until
// here, so one release too many is reported, never undefined), and leaks.
std::vector<std::string> reset();

}  // namespace fake_sdk
