// The macOS providers' own code over a counting stand-in for Apple's
// frameworks: conversion rules, the calls made and their order, and that
// every object handed over is released exactly once.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/macos/cf_string.h"
#include "platform/macos/mac_accessibility.h"
#include "platform/macos/mac_preferences.h"
#include "platform/macos/mac_window_list.h"
#include "platform/provider.h"
#include "platform/screen_capture_permission.h"
#include "tests/macos/fake_sdk/fake_sdk.h"

namespace tallowin::macos {
namespace {

using Calls = std::vector<std::string>;
using platform::AxError;
using platform::AxValueKind;
CFStringRef text(const char* utf8) { return fake_sdk::string(utf8); }

class ProviderTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(fake_sdk::reset(), Calls{}); }
};

// Adopt takes over a Create rule's reference, retain adds one (the Get
// rule); null is neither retained nor released; a move hands over; an
// assignment releases what it replaces.
TEST_F(ProviderTest, CFRefReleasesEachReferenceOnce) {
    const CFStringRef lent = text("lent");
    {
        auto created = CFRef<CFStringRef>::adopt(text("created"));
        CFRef<CFStringRef> moved = std::move(created);
        EXPECT_FALSE(created);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
        EXPECT_FALSE(CFRef<CFStringRef>::retain(nullptr) || CFRef<CFStringRef>::adopt(nullptr));
        moved = CFRef<CFStringRef>::retain(lent);
        auto& alias = moved;
        moved = std::move(alias);
        EXPECT_EQ(moved.get(), lent);
        moved.reset();
        moved.reset();
    }
    CFRelease(lent);
    EXPECT_EQ(utf8String(makeCFString(std::string_view("a\0b", 3)).get()), std::string("a\0b", 3));
}
static_assert(!std::is_copy_constructible_v<CFRef<CFStringRef>> && !std::is_copy_assignable_v<CFRef<CFStringRef>>);

TEST_F(ProviderTest, WindowListKeepsEachNumberKindAndIsAllOrNothing) {
    fake_sdk::state().windowList = fake_sdk::array({fake_sdk::dictionary({
        {text("Number"), fake_sdk::integer(std::numeric_limits<std::int64_t>::max())},
        {text("Alpha"), fake_sdk::floating(0.5)},
        {text("Name"), text("Inbox")},
        {text("Bounds"), fake_sdk::dictionary({{text("Height"), fake_sdk::floating(600)}})},
        {text("OnScreen"), kCFBooleanTrue},
        {text("Huge"), fake_sdk::unsignedBeyondInt64()},
        {text("OddName"), text("\xff")},
        {text("Flat"), fake_sdk::dictionary({{fake_sdk::integer(1), fake_sdk::integer(2)}})},
    })});
    const auto list = MacWindowList().copyWindowInfo(17, 5);
    ASSERT_TRUE(list && list->size() == 1);
    const auto& entry = list->front();
    // INT64_MAX has no exact double: it survives only as an integer.
    EXPECT_EQ(entry.find("Number")->asInt64(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(entry.find("Alpha")->asDouble(), 0.5);
    EXPECT_FALSE(entry.find("Alpha")->asInt64());
    EXPECT_EQ(*entry.find("Name")->asText(), "Inbox");
    EXPECT_EQ(entry.find("Bounds")->find("Height")->asDouble(), 600.0);
    for (const char* other : {"OnScreen", "Huge", "OddName", "Flat"}) {
        const auto* value = entry.find(other);
        EXPECT_TRUE(value && !value->asDouble() && !value->asText() && !value->isDictionary()) << other;
    }
    EXPECT_EQ(fake_sdk::state().calls, Calls{"CGWindowListCopyWindowInfo(17,5)"});

    // All or nothing: one unconvertible window spoils the whole list.
    const auto good = [] { return fake_sdk::dictionary({{text("a"), fake_sdk::integer(1)}}); };
    const auto numberKey = [] { return fake_sdk::dictionary({{fake_sdk::integer(7), fake_sdk::integer(1)}}); };
    for (const CFArrayRef windows :
         {fake_sdk::array({good(), text("not a dictionary")}), fake_sdk::array({good(), numberKey()}),
          fake_sdk::array({fake_sdk::dictionary({{text("\xff"), fake_sdk::integer(1)}})})}) {
        EXPECT_FALSE(convertWindowList(windows)) << CFArrayGetCount(windows);
        CFRelease(windows);
    }
    EXPECT_FALSE(MacWindowList().copyWindowInfo(1, 0));  // outside a GUI session
    fake_sdk::state().windowList = fake_sdk::array({});
    const auto empty = MacWindowList().copyWindowInfo(1, 0);
    EXPECT_TRUE(empty && empty->empty());
}

TEST_F(ProviderTest, EachKindOfCopiedValue) {
    auto& attributes = fake_sdk::state().attributes;
    const CGPoint where{-25, 24};
    attributes["AXPosition"] = AXValueCreate(kAXValueTypeCGPoint, &where);
    attributes["AXTitle"] = text("Inbox");
    attributes["AXSize"] = nullptr;
    attributes["AXMinimized"] = kCFBooleanFalse;
    attributes["AXDescription"] = text("\xff");
    attributes["AXWindows"] = fake_sdk::array({text("not a window")});
    fake_sdk::state().errors["AXRole"] = kAXErrorCannotComplete;
    MacAccessibility accessibility;
    const auto application = accessibility.createApplication(1);
    const auto copy = [&](std::string_view name) { return accessibility.copyAttributeValue(*application, name); };

    const auto position = copy("AXPosition");
    const auto& value = std::get<platform::AXValuePtr>(position.value);
    EXPECT_EQ(value->getValue(AxValueKind::point), std::make_pair(-25.0, 24.0));
    EXPECT_FALSE(value->getValue(AxValueKind::size));
    EXPECT_EQ(std::get<std::string>(copy("AXTitle").value), "Inbox");
    const auto size = copy("AXSize");
    EXPECT_TRUE(size.error == AxError::success && std::holds_alternative<std::monostate>(size.value));
    for (const char* other : {"AXMinimized", "AXDescription", "AXWindows"}) {
        EXPECT_TRUE(std::holds_alternative<platform::AXOtherValue>(copy(other).value)) << other;
    }
    const auto role = copy("AXRole");
    EXPECT_TRUE(role.error == AxError::cannotComplete && std::holds_alternative<std::monostate>(role.value));
    EXPECT_EQ(copy("AXUnknown").error, AxError::attributeUnsupported);
}

// A placement (placement/window_geometry.cpp) with AXEnhancedUserInterface off and
// on: the windows copied, position and size set on one, the size read back
// (AppKit shrinks a window taller than the screen), raised. The application
// element goes first: the window alone holds the placement open.
class PlacementTest : public ProviderTest, public ::testing::WithParamInterface<std::pair<CFBooleanRef, Calls>> {};

TEST_P(PlacementTest, EnhancedUserInterfaceIsOffOnceForTheSetsAndRestoredAtTheEnd) {
    fake_sdk::state().attributes["AXEnhancedUserInterface"] = GetParam().first;
    fake_sdk::state().attributes["AXWindows"] = fake_sdk::array({fake_sdk::element("win"), fake_sdk::element("w2")});
    fake_sdk::state().errors["AXPosition"] = kAXErrorCannotComplete;
    const CGSize shrunk{1280, 655};
    fake_sdk::state().attributes["AXSize"] = AXValueCreate(kAXValueTypeCGSize, &shrunk);
    MacAccessibility accessibility;
    {
        auto application = accessibility.createApplication(9);
        auto windows = accessibility.copyAttributeValue(*application, "AXWindows");
        const auto window = std::move(std::get<platform::AXElementArray>(windows.value).front());
        application.reset();
        const auto position = accessibility.createValue(AxValueKind::point, 0, 24);
        const auto size = accessibility.createValue(AxValueKind::size, 1280, 720);
        EXPECT_EQ(accessibility.setAttributeValue(*window, "AXPosition", *position), AxError::cannotComplete);
        EXPECT_EQ(accessibility.setAttributeValue(*window, "AXSize", *size), AxError::success);
        const auto read = accessibility.copyAttributeValue(*window, "AXSize");
        EXPECT_EQ(std::get<platform::AXValuePtr>(read.value)->getValue(AxValueKind::size), std::pair(1280.0, 655.0));
        EXPECT_EQ(accessibility.performAction(*window, "AXRaise"), AxError::success);
    }
    EXPECT_EQ(fake_sdk::state().calls, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    States, PlacementTest,
    ::testing::Values(
        std::pair{kCFBooleanFalse,
                  Calls{"app9 timeout 3000ms", "app9 copy AXWindows", "win timeout 3000ms", "w2 timeout 3000ms",
                        "app9 copy AXEnhancedUserInterface", "win set AXPosition=point(0,24)",
                        "win set AXSize=size(1280,720)", "win copy AXSize", "win perform AXRaise"}},
        std::pair{kCFBooleanTrue,
                  Calls{"app9 timeout 3000ms", "app9 copy AXWindows", "win timeout 3000ms", "w2 timeout 3000ms",
                        "app9 copy AXEnhancedUserInterface", "app9 set AXEnhancedUserInterface=false",
                        "win set AXPosition=point(0,24)", "win set AXSize=size(1280,720)", "win copy AXSize",
                        "win perform AXRaise", "app9 set AXEnhancedUserInterface=true"}}));

// Nothing this provider did not make, and no name CFString refuses, reaches Apple's API.
TEST_F(ProviderTest, ForeignHandlesAndBadNamesAreRefused) {
    struct ForeignElement final : platform::AXElement {};
    struct ForeignValue final : platform::AXValue {
        [[nodiscard]] std::optional<std::pair<double, double>> getValue(AxValueKind /*type*/) const override {
            return std::pair{0.0, 0.0};
        }
    };
    const ForeignElement element;
    const ForeignValue value;
    MacAccessibility accessibility;
    const auto application = accessibility.createApplication(3);
    const auto point = accessibility.createValue(AxValueKind::point, 0, 0);
    EXPECT_EQ(accessibility.copyAttributeValue(element, "AXTitle").error, AxError::invalidUIElement);
    EXPECT_EQ(accessibility.setAttributeValue(element, "AXPosition", value), AxError::invalidUIElement);
    EXPECT_EQ(accessibility.setAttributeValue(*application, "AXPosition", value), AxError::illegalArgument);
    EXPECT_EQ(accessibility.performAction(element, "AXRaise"), AxError::invalidUIElement);
    EXPECT_EQ(accessibility.copyAttributeValue(*application, "\xff").error, AxError::illegalArgument);
    EXPECT_EQ(accessibility.setAttributeValue(*application, "\xff", *point), AxError::illegalArgument);
    EXPECT_EQ(accessibility.performAction(*application, "\xff"), AxError::illegalArgument);
}

// A dictionary with a part CFString refuses is not written at all: it would
// replace the whole stored value.
TEST_F(ProviderTest, PreferencesAreWrittenWholeAsSInt64Numbers) {
    MacPreferences preferences;
    EXPECT_EQ(preferences.openSuite(""), nullptr);
    EXPECT_EQ(preferences.openSuite("\xff"), nullptr);
    const auto domain = preferences.openSuite("com.apple.screencapture");
    domain->setObject({{"X", 0}, {"\xff", 1}}, "last-selection");
    domain->setObject({{"X", 0}}, "\xff");
    domain->setObject({{"X", 0}, {"Y", 24}, {"Width", -1280}, {"Height", 720}}, "last-selection");
    domain->setInteger(0, "\xff");
    domain->setInteger(0, "last-selection-display");
    EXPECT_TRUE(domain->synchronize());
    EXPECT_EQ(fake_sdk::state().calls,
              (Calls{"CFPreferencesSetAppValue(last-selection,{X=0,Y=24,Width=-1280,Height=720},"
                     "com.apple.screencapture)",
                     "CFPreferencesSetAppValue(last-selection-display,0,com.apple.screencapture)",
                     "CFPreferencesAppSynchronize(com.apple.screencapture)"}));
}

TEST_F(ProviderTest, ThePlatformHandsOutProvidersOverTheSystem) {
    fake_sdk::state().granted = true;
    const auto mac = platform::openNativeProvider(nullptr);
    EXPECT_TRUE(mac->screenCapture().preflightScreenCaptureAccess());
    EXPECT_TRUE(mac->screenCapture().requestScreenCaptureAccess());
    EXPECT_FALSE(mac->windowList().copyWindowInfo(1, 0));
    EXPECT_TRUE(mac->accessibility().isProcessTrustedWithOptions(true));
    EXPECT_TRUE(mac->accessibility().isProcessTrustedWithOptions(false));
    EXPECT_TRUE(mac->accessibility().isProcessTrusted());
    EXPECT_NE(mac->preferences().openSuite("com.apple.screencapture"), nullptr);
    EXPECT_EQ(
        fake_sdk::state().calls,
        (Calls{"CGPreflightScreenCaptureAccess", "CGRequestScreenCaptureAccess", "CGWindowListCopyWindowInfo(1,0)",
               "AXIsProcessTrustedWithOptions({AXTrustedCheckOptionPrompt=true})",
               "AXIsProcessTrustedWithOptions({AXTrustedCheckOptionPrompt=false})", "AXIsProcessTrusted"}));
}

}  // namespace
}  // namespace tallowin::macos
