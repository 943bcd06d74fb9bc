// The macOS providers' own code, run over a counting stand-in for Apple's
// frameworks: conversion rules, order of Accessibility calls, and that every
// object handed to the provider is released again.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/macos/cf_string.h"
#include "platform/macos/mac_accessibility.h"
#include "platform/macos/mac_preferences.h"
#include "platform/macos/mac_window_list.h"
#include "platform/macos/macos_platform.h"
#include "platform/preferences.h"
#include "platform/screen_capture_permission.h"
#include "tests/macos/fake_sdk/fake_sdk.h"

namespace tallowin::macos {
namespace {

using platform::AxError::success;

class ProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sdk::reset();
        fake_sdk::misuse().clear();
    }
    void TearDown() override {
        fake_sdk::reset();
        EXPECT_EQ(fake_sdk::liveObjects(), 0) << "platform objects leaked";
        EXPECT_TRUE(fake_sdk::misuse().empty()) << fake_sdk::misuse().front();
    }
    static CFStringRef key(const char* text) { return fake_sdk::string(text); }
};

using WindowListTest = ProviderTest;

TEST_F(WindowListTest, KeepsEachNumberKindAndTurnsTheRestIntoOther) {
    const auto bounds =
        fake_sdk::dictionary({{key("X"), fake_sdk::floating(0)}, {key("Height"), fake_sdk::floating(600)}});
    fake_sdk::state().windowList = fake_sdk::array({fake_sdk::dictionary({
        {key("kCGWindowNumber"), fake_sdk::integer(std::numeric_limits<std::int64_t>::max())},
        {key("kCGWindowAlpha"), fake_sdk::floating(0.5)},
        {key("kCGWindowName"), fake_sdk::string("Inbox")},
        {key("kCGWindowBounds"), bounds},
        {key("kCGWindowIsOnscreen"), fake_sdk::boolean(true)},
        {key("kCGWindowHuge"), fake_sdk::unsignedBeyondInt64()},
        {key("kCGWindowOddName"), fake_sdk::unconvertibleString()},
        {key("kCGWindowFlat"), fake_sdk::dictionary({{fake_sdk::integer(1), fake_sdk::integer(2)}})},
    })});

    MacWindowList source;
    const auto list = source.copyWindowInfo(17, 0);

    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1U);
    const auto& entry = list->front();
    // INT64_MAX has no exact double: it survives only as an integer.
    EXPECT_EQ(entry.find("kCGWindowNumber")->asInt64(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(entry.find("kCGWindowAlpha")->asDouble(), 0.5);
    EXPECT_FALSE(entry.find("kCGWindowAlpha")->asInt64().has_value());
    EXPECT_EQ(*entry.find("kCGWindowName")->asText(), "Inbox");
    EXPECT_EQ(entry.find("kCGWindowBounds")->find("Height")->asDouble(), 600.0);
    for (const char* other : {"kCGWindowIsOnscreen", "kCGWindowHuge", "kCGWindowOddName", "kCGWindowFlat"}) {
        const auto* value = entry.find(other);
        ASSERT_NE(value, nullptr) << other;
        EXPECT_FALSE(value->asDouble() || value->asText() || value->isDictionary()) << other << " is not other";
    }
    EXPECT_EQ(fake_sdk::state().windowListOptions, 17U);
    EXPECT_EQ(fake_sdk::state().windowListRelativeTo, 0U);
}

CFDictionaryRef good() { return fake_sdk::dictionary({{fake_sdk::string("a"), fake_sdk::integer(1)}}); }

// All or nothing: one unconvertible window spoils the whole list.
TEST_F(WindowListTest, YieldsNoListForAnyUnconvertibleWindowAndAnEmptyListForNone) {
    const std::vector<std::pair<const char*, CFArrayRef (*)()>> unconvertible = {
        {"no list", [] { return CFArrayRef{nullptr}; }},
        {"not a dictionary",
         [] {
             return fake_sdk::array({good(), fake_sdk::string("window")});
         }},
        {"number key",
         [] {
             return fake_sdk::array({good(), fake_sdk::dictionary({{fake_sdk::integer(7), fake_sdk::integer(1)}})});
         }},
        {"unconvertible key",
         [] {
             return fake_sdk::array({fake_sdk::dictionary({{fake_sdk::unconvertibleString(), fake_sdk::integer(1)}})});
         }},
    };
    MacWindowList source;
    for (const auto& [name, make] : unconvertible) {
        fake_sdk::reset();
        fake_sdk::state().windowList = make();
        EXPECT_FALSE(source.copyWindowInfo(17, 0).has_value()) << name;
    }
    fake_sdk::reset();
    fake_sdk::state().windowList = fake_sdk::array({});
    const auto empty = source.copyWindowInfo(17, 0);
    EXPECT_TRUE(empty.has_value() && empty->empty());
}

using AccessibilityTest = ProviderTest;

TEST_F(AccessibilityTest, OnlyTheFirstCheckAsksForThePrompt) {
    MacAccessibility accessibility;
    fake_sdk::state().trusted = true;
    EXPECT_TRUE(accessibility.isProcessTrustedWithOptions(true));
    EXPECT_TRUE(accessibility.isProcessTrustedWithOptions(false));
    EXPECT_EQ(fake_sdk::state().trustPrompts, (std::vector<bool>{true, false}));
}

TEST_F(AccessibilityTest, EachKindOfCopiedValue) {
    auto& state = fake_sdk::state();
    state.attributes[{1, "AXPosition"}] = fake_sdk::point(-25, 24);
    state.attributes[{1, "AXSize"}] = nullptr;
    state.attributes[{1, "AXMinimized"}] = fake_sdk::boolean(false);
    state.attributes[{1, "AXWindows"}] = fake_sdk::array({fake_sdk::string("not a window")});
    state.attributeErrors[{1, "AXTitle"}] = kAXErrorCannotComplete;
    MacAccessibility accessibility;
    const auto application = accessibility.createApplication(1);

    const auto position = accessibility.copyAttributeValue(*application, platform::kAXPositionAttributeName);
    const auto& value = std::get<platform::AXValuePtr>(position.value);
    EXPECT_EQ(value->getValue(platform::AxValueKind::point), std::make_pair(-25.0, 24.0));
    EXPECT_FALSE(value->getValue(platform::AxValueKind::size).has_value());

    const auto size = accessibility.copyAttributeValue(*application, platform::kAXSizeAttributeName);
    EXPECT_EQ(size.error, platform::AxError::success);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(size.value));

    EXPECT_TRUE(std::holds_alternative<platform::AXOtherValue>(
        accessibility.copyAttributeValue(*application, "AXMinimized").value));
    EXPECT_TRUE(std::holds_alternative<platform::AXOtherValue>(
        accessibility.copyAttributeValue(*application, platform::kAXWindowsAttributeName).value));

    const auto title = accessibility.copyAttributeValue(*application, platform::kAXTitleAttributeName);
    EXPECT_EQ(title.error, platform::AxError::cannotComplete);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(title.value));
    EXPECT_EQ(accessibility.copyAttributeValue(*application, "AXUnknown").error,
              platform::AxError::attributeUnsupported);
}

// What the placement does (core/place_window.cpp): one application element,
// its windows copied, position and size set on one of them, raised, and
// every element released when the placement returns.
struct PlacementCase {
    bool enhancedBefore;
    AXError setResult;
    std::vector<std::string> calls;
};

class PlacementTest : public ProviderTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, EnhancedUserInterfaceIsOffOnceAroundBothSetsAndRestoredAtTheEnd) {
    auto& state = fake_sdk::state();
    state.enhancedUserInterface = GetParam().enhancedBefore;
    state.setResult = GetParam().setResult;
    state.attributes[{9, "AXWindows"}] = fake_sdk::array({fake_sdk::window(9), fake_sdk::window(9)});
    MacAccessibility accessibility;
    {
        auto application = accessibility.createApplication(9);
        auto copy = accessibility.copyAttributeValue(*application, platform::kAXWindowsAttributeName);
        auto window = std::move(std::get<platform::AXElementArray>(copy.value).back());
        copy.value = std::monostate{};
        fake_sdk::release(state.attributes[{9, "AXWindows"}]);  // the array goes; the window must not
        state.attributes.erase({9, "AXWindows"});
        for (const platform::AXElement* element : {application.get(), window.get()}) {
            EXPECT_EQ(fake_sdk::messagingTimeout(dynamic_cast<const MacAXElement&>(*element).get()), 1.0F);
        }
        const auto position = accessibility.createValue(platform::AxValueKind::point, 0, 24);
        const auto size = accessibility.createValue(platform::AxValueKind::size, 1280, 720);
        const auto result = static_cast<platform::AxError>(GetParam().setResult);
        EXPECT_EQ(accessibility.setAttributeValue(*window, platform::kAXPositionAttributeName, *position), result);
        EXPECT_EQ(accessibility.setAttributeValue(*window, platform::kAXSizeAttributeName, *size), result);
        EXPECT_EQ(accessibility.performAction(*window, platform::kAXRaiseActionName), success);
        application.reset();  // the window still holds the placement open
        EXPECT_FALSE(state.enhancedUserInterface);
    }
    EXPECT_EQ(state.accessibilityCalls, GetParam().calls);
    EXPECT_EQ(state.enhancedUserInterface, GetParam().enhancedBefore);
}

// Failed sets are reported and still leave the application as it was found.
INSTANTIATE_TEST_SUITE_P(
    States, PlacementTest,
    ::testing::Values(
        PlacementCase{
            false,
            kAXErrorSuccess,
            {"AXEnhancedUserInterface?", "AXPosition=0.000000,24.000000", "AXSize=1280.000000,720.000000", "AXRaise"}},
        PlacementCase{true,
                      kAXErrorSuccess,
                      {"AXEnhancedUserInterface?", "AXEnhancedUserInterface=off", "AXPosition=0.000000,24.000000",
                       "AXSize=1280.000000,720.000000", "AXRaise", "AXEnhancedUserInterface=on"}},
        PlacementCase{true,
                      kAXErrorCannotComplete,
                      {"AXEnhancedUserInterface?", "AXEnhancedUserInterface=off", "AXPosition=0.000000,24.000000",
                       "AXSize=1280.000000,720.000000", "AXRaise", "AXEnhancedUserInterface=on"}}));

// An element or value this provider did not make cannot reach Apple's API.
TEST_F(AccessibilityTest, ForeignHandlesAreRefused) {
    struct ForeignElement final : platform::AXElement {};
    struct ForeignValue final : platform::AXValue {
        [[nodiscard]] std::optional<std::pair<double, double>> getValue(platform::AxValueKind) const override {
            return std::pair{0.0, 0.0};
        }
    };
    MacAccessibility accessibility;
    const ForeignElement element;
    const ForeignValue value;
    const auto application = accessibility.createApplication(3);

    EXPECT_EQ(accessibility.copyAttributeValue(element, platform::kAXTitleAttributeName).error,
              platform::AxError::invalidUIElement);
    EXPECT_EQ(accessibility.setAttributeValue(element, platform::kAXPositionAttributeName, value),
              platform::AxError::invalidUIElement);
    EXPECT_EQ(accessibility.setAttributeValue(*application, platform::kAXPositionAttributeName, value),
              platform::AxError::illegalArgument);
    EXPECT_EQ(accessibility.performAction(element, platform::kAXRaiseActionName), platform::AxError::invalidUIElement);
    EXPECT_TRUE(fake_sdk::state().accessibilityCalls.empty());
}

using PreferencesTest = ProviderTest;

TEST_F(PreferencesTest, WritesTheWholeDictionaryAsSigned64BitNumbers) {
    MacPreferences preferences;
    auto domain = preferences.openSuite("com.apple.screencapture");
    ASSERT_NE(domain, nullptr);
    domain->setObject({{"X", 0}, {"Y", 24}, {"Width", 1920}, {"Height", 1080}}, "last-selection");
    domain->setObject({{"X", 0}, {"Y", 24}, {"Width", -1280}, {"Height", 720}}, "last-selection");
    EXPECT_TRUE(domain->synchronize());

    const auto& state = fake_sdk::state();
    EXPECT_EQ(state.preferenceApplication, "com.apple.screencapture");
    EXPECT_EQ(state.preferenceKey, "last-selection");
    EXPECT_EQ(state.synchronizations, 1);
    const auto written = static_cast<CFDictionaryRef>(state.preferenceValue);
    ASSERT_EQ(CFDictionaryGetCount(written), 4);
    std::vector<const void*> keys(4);
    std::vector<const void*> values(4);
    CFDictionaryGetKeysAndValues(written, keys.data(), values.data());
    std::vector<std::pair<std::string, std::int64_t>> read;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::int64_t number = 0;
        EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(values[i]), kCFNumberSInt64Type, &number));
        read.emplace_back(*utf8String(static_cast<CFStringRef>(keys[i])), number);
    }
    EXPECT_EQ(read, (std::vector<std::pair<std::string, std::int64_t>>{
                        {"X", 0}, {"Y", 24}, {"Width", -1280}, {"Height", 720}}));
}

TEST_F(PreferencesTest, AnEmptyDomainNameCannotBeOpened) {
    MacPreferences preferences;
    EXPECT_EQ(preferences.openSuite(""), nullptr);
}

TEST_F(ProviderTest, ThePlatformHandsOutProvidersOverTheSystem) {
    auto& state = fake_sdk::state();
    state.screenCaptureGranted = true;
    state.windowList = fake_sdk::array({});
    const auto mac = MacPlatform::create();
    EXPECT_TRUE(mac->screenCapture().preflightScreenCaptureAccess());
    EXPECT_EQ(state.screenCaptureRequests, 0);
    EXPECT_TRUE(mac->screenCapture().requestScreenCaptureAccess());
    EXPECT_EQ(state.screenCaptureRequests, 1);
    EXPECT_TRUE(mac->windowList().copyWindowInfo(1, 0).has_value());
    EXPECT_FALSE(mac->accessibility().isProcessTrusted());
    EXPECT_NE(mac->preferences().openSuite("com.apple.screencapture"), nullptr);
}

TEST_F(ProviderTest, TextsKeepEveryByte) {
    const auto text = makeCFString(std::string_view("a\0b", 3));
    EXPECT_EQ(utf8String(text.get()), std::string("a\0b", 3));
    const auto unconvertible = CFRef<CFStringRef>::adopt(fake_sdk::unconvertibleString());
    EXPECT_FALSE(utf8String(unconvertible.get()).has_value());
}

}  // namespace
}  // namespace tallowin::macos
