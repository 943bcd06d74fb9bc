// The real providers against the running system; built on Apple only.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "platform/macos/cf_string.h"
#include "platform/macos/mac_accessibility.h"
#include "platform/macos/mac_preferences.h"
#include "platform/macos/mac_window_list.h"

// The application bundle built with this test; none when it is built alone.
#ifndef TALLOWIN_BUNDLE
#define TALLOWIN_BUNDLE ""
#endif

namespace tallowin::macos {
namespace {

TEST(MacLiveTest, TheWindowListIsAListOfDictionaries) {
    const auto list = MacWindowList().copyWindowInfo(
        platform::kWindowListOnScreenOnly | platform::kWindowListExcludeDesktopElements, platform::kNullWindowID);
    ASSERT_TRUE(list.has_value()) << "no window list: is there a GUI session?";
    for (const auto& entry : *list) {
        EXPECT_TRUE(entry.isDictionary());
        EXPECT_NE(entry.find(platform::kWindowOwnerPIDKey), nullptr);
    }
}

TEST(MacLiveTest, GeometryValuesRoundTrip) {
    MacAccessibility accessibility;
    const auto point = accessibility.createValue(platform::AxValueKind::point, -25.5, 24);
    const auto size = accessibility.createValue(platform::AxValueKind::size, 1920, 1080);
    ASSERT_TRUE(point && size);
    EXPECT_EQ(point->getValue(platform::AxValueKind::point), std::make_pair(-25.5, 24.0));
    EXPECT_EQ(size->getValue(platform::AxValueKind::size), std::make_pair(1920.0, 1080.0));
    EXPECT_FALSE(point->getValue(platform::AxValueKind::size).has_value());
}

TEST(MacLiveTest, APreferenceRoundTripsAndIsRemoved) {
    const std::string suite = "org.tallowin.live-test." + std::to_string(getpid());
    const auto domain = makeCFString(suite);
    const auto key = makeCFString("last-selection");
    const auto opened = MacPreferences().openSuite(suite);
    ASSERT_NE(opened, nullptr);
    opened->setObject({{"X", 0}, {"Y", 24}, {"Width", 1280}, {"Height", 720}}, "last-selection");
    EXPECT_TRUE(opened->synchronize());

    const auto read = CFRef<CFPropertyListRef>::adopt(CFPreferencesCopyAppValue(key.get(), domain.get()));
    ASSERT_TRUE(read && CFGetTypeID(read.get()) == CFDictionaryGetTypeID());
    const auto width = static_cast<CFNumberRef>(
        CFDictionaryGetValue(static_cast<CFDictionaryRef>(read.get()), makeCFString("Width").get()));
    std::int64_t number = 0;
    ASSERT_TRUE(width != nullptr && CFNumberGetValue(width, kCFNumberSInt64Type, &number));
    EXPECT_EQ(number, 1280);

    CFPreferencesSetAppValue(key.get(), nullptr, domain.get());
    EXPECT_TRUE(CFPreferencesAppSynchronize(domain.get()));
    EXPECT_FALSE(CFRef<CFPropertyListRef>::adopt(CFPreferencesCopyAppValue(key.get(), domain.get())));
}

// The bundle built beside this test, as macOS reads it: the copyright and
// the icon the Dock shows (iconutil's file holds the 1024-pixel image, type ic10).
TEST(MacLiveTest, TheBundleCarriesItsIconAndCopyright) {
    const std::string path = TALLOWIN_BUNDLE;
    if (path.empty()) {
        GTEST_SKIP() << "built without the application";
    }
    const auto url = CFRef<CFURLRef>::adopt(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()), static_cast<CFIndex>(path.size()), true));
    const auto bundle = CFRef<CFBundleRef>::adopt(CFBundleCreate(kCFAllocatorDefault, url.get()));
    ASSERT_TRUE(bundle);
    EXPECT_NE(CFBundleGetValueForInfoDictionaryKey(bundle.get(), CFSTR("NSHumanReadableCopyright")), nullptr);
    const auto icon = CFBundleGetValueForInfoDictionaryKey(bundle.get(), CFSTR("CFBundleIconFile"));
    ASSERT_TRUE(icon != nullptr && CFGetTypeID(icon) == CFStringGetTypeID());
    std::ifstream in(path + "/Contents/Resources/" + utf8String(static_cast<CFStringRef>(icon)).value_or(""));
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(bytes.starts_with("icns") && bytes.find("ic10") != std::string::npos);
}

TEST(MacLiveTest, TheScreenshotToolIsWhereThePlacementOpensIt) {
    // The path placement/capture_handoff.cpp hands to the workspace.
    EXPECT_TRUE(std::filesystem::is_directory("/System/Applications/Utilities/Screenshot.app"));
}

}  // namespace
}  // namespace tallowin::macos
