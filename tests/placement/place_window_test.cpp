#include <gtest/gtest.h>

#include <cmath>

#include "tests/placement/placement_rig.h"

namespace tallowin {
namespace {

using doubles::FakeAXWindow;
using doubles::ScriptedAttribute;
using Lines = std::vector<std::string>;

const std::string kPermissionLine =
    "Accessibility permissions not granted. Please enable in System Settings > Privacy & Security > Accessibility.";

// The effects of a full placement after the match, for window index i.
Lines secondHalf(int i, const std::string& size = "(1920.0, 1080.0)") {
    const std::string w = "window " + std::to_string(i) + " of 42";
    return {"ax: set AXPosition (0.0, 0.0) on " + w,
            "ax: set AXSize " + size + " on " + w,
            "prefs set: com.apple.screencapture last-selection",
            "prefs synchronize: com.apple.screencapture",
            "ax: perform AXRaise on " + w,
            "out: Window successfully brought to front.",
            "miniaturize",
            "out: Main window minimized",
            "open: /System/Applications/Utilities/Screenshot.app"};
}

Lines matchingTrace(int i) {
    const std::string w = "window " + std::to_string(i) + " of 42";
    return {"ax: copy AXTitle of " + w,     "out: Window title: Report", "ax: copy AXPosition of " + w,
            "out: x=10.0 y=40.0",           "out: w.x=10.0 w.y=40.0",    "ax: copy AXSize of " + w,
            "out: width=800.0 height=600.0"};
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class PlaceWindowTest : public ::testing::Test {
protected:
    testing::PlacementRig rig;

    std::vector<FakeAXWindow>& windows() { return rig.accessibility.applications[testing::PlacementRig::kPid].windows; }
    void place(double width = 1920, double height = 1080) {
        const VisibleWindow entry = rig.entry();
        rig.vc().placeWindow(entry, width, height);
    }
    void TearDown() override { rig.expectAllReleased(); }
};

TEST_F(PlaceWindowTest, PermissionMissingPrintsOneLineAndCreatesNothing) {
    rig.accessibility.trusted = false;
    windows() = {testing::PlacementRig::matchingWindow()};
    place();
    EXPECT_EQ(rig.log.entries, (Lines{"out: " + kPermissionLine}));
    EXPECT_EQ(rig.accessibility.elementsCreated(), 0);
}

TEST_F(PlaceWindowTest, WindowsCannotBeCopied) {
    rig.accessibility.applications[testing::PlacementRig::kPid].windowsError = platform::AxError::cannotComplete;
    place();
    EXPECT_EQ(rig.log.entries,
              (Lines{"ax: create app 42", "ax: copy AXWindows of app 42",
                     "out: Could not retrieve windows for PID 42. Error: kAXErrorCannotComplete (-25204)"}));
}

TEST_F(PlaceWindowTest, NegativePidAndUnnamedErrorInTheLine) {
    rig.windowList.list = platform::WindowList{doubles::windowEntry({.number = 9, .pid = -3})};
    rig.vc().fetchAndUpdateWindows();
    rig.accessibility.applications[-3].windowsError = platform::AxError{-99};
    rig.log.entries.clear();
    place();
    EXPECT_EQ(rig.output.lines.back(), "Could not retrieve windows for PID -3. Error: -99");
}

TEST_F(PlaceWindowTest, ApplicationWithoutWindows) {
    rig.accessibility.applications[testing::PlacementRig::kPid] = {};
    place();
    EXPECT_EQ(rig.output.lines, (Lines{"No matching AXUIElement for windowID 7."}));
    EXPECT_EQ(rig.accessibility.elementsCreated(), 1);
}

TEST_F(PlaceWindowTest, OnlyTheThirdMatches) {
    FakeAXWindow wrongTitle = testing::PlacementRig::matchingWindow();
    wrongTitle.title = ScriptedAttribute::title("Notes");
    FakeAXWindow wrongSize = testing::PlacementRig::matchingWindow();
    wrongSize.size = ScriptedAttribute::size(800, 601);
    windows() = {wrongTitle, wrongSize, testing::PlacementRig::matchingWindow()};
    place();
    const Lines expected = concat({
        {"ax: create app 42", "ax: copy AXWindows of app 42", "ax: copy AXTitle of window 0 of 42",
         "out: Window title: Notes", "out: not matched"},
        {"ax: copy AXTitle of window 1 of 42", "out: Window title: Report", "ax: copy AXPosition of window 1 of 42",
         "out: x=10.0 y=40.0", "out: w.x=10.0 w.y=40.0", "ax: copy AXSize of window 1 of 42",
         "out: width=800.0 height=601.0", "out: not matched"},
        matchingTrace(2),
        secondHalf(2),
    });
    EXPECT_EQ(rig.log.entries, expected);
    EXPECT_TRUE(windows()[0].positionsSet.empty());
    EXPECT_TRUE(windows()[1].positionsSet.empty());
    EXPECT_EQ(rig.preferences.stored["com.apple.screencapture"]["last-selection"],
              (platform::IntegerDictionary{{"X", 0}, {"Y", 24}, {"Width", 1920}, {"Height", 1080}}));
}

TEST_F(PlaceWindowTest, TwoMatchingWindowsOnlyTheFirstIsTouched) {
    windows() = {testing::PlacementRig::matchingWindow(), testing::PlacementRig::matchingWindow()};
    place();
    EXPECT_EQ(rig.log.entries,
              concat({{"ax: create app 42", "ax: copy AXWindows of app 42"}, matchingTrace(0), secondHalf(0)}));
    EXPECT_EQ(windows()[1].raises, 0);
    EXPECT_TRUE(windows()[1].sizesSet.empty());
}

TEST_F(PlaceWindowTest, UnreadablePositionLetsTheSizeDecide) {
    for (const ScriptedAttribute& position :
         {ScriptedAttribute::failure(platform::AxError::attributeUnsupported), ScriptedAttribute::absent(),
          ScriptedAttribute::title("10,40"), ScriptedAttribute::size(10, 40), ScriptedAttribute::other()}) {
        testing::PlacementRig fresh;
        FakeAXWindow window = testing::PlacementRig::matchingWindow();
        window.position = position;
        fresh.accessibility.applications[42].windows = {window};
        fresh.vc().placeWindow(fresh.entry(), 1920, 1080);
        EXPECT_EQ(fresh.output.lines, (Lines{"Window title: Report", "width=800.0 height=600.0",
                                             "Window successfully brought to front.", "Main window minimized"}));
        fresh.expectAllReleased();
    }
}

TEST_F(PlaceWindowTest, UnreadableTitleOrSizeIsNeverMatched) {
    struct Case {
        const char* what;
        void (*change)(FakeAXWindow&);
        Lines lines;
    };
    const Case cases[] = {
        {"title copy fails",
         [](FakeAXWindow& w) { w.title = ScriptedAttribute::failure(platform::AxError::failure); },
         {"not matched"}},
        {"title absent", [](FakeAXWindow& w) { w.title = ScriptedAttribute::absent(); }, {"not matched"}},
        {"title not a text", [](FakeAXWindow& w) { w.title = ScriptedAttribute::point(1, 2); }, {"not matched"}},
        {"size copy fails",
         [](FakeAXWindow& w) { w.size = ScriptedAttribute::failure(platform::AxError::failure); },
         {"Window title: Report", "x=10.0 y=40.0", "w.x=10.0 w.y=40.0", "not matched"}},
        {"size holds a point",
         [](FakeAXWindow& w) { w.size = ScriptedAttribute::point(800, 600); },
         {"Window title: Report", "x=10.0 y=40.0", "w.x=10.0 w.y=40.0", "not matched"}},
        {"position half a point off",
         [](FakeAXWindow& w) { w.position = ScriptedAttribute::point(10.5, 40); },
         {"Window title: Report", "x=10.5 y=40.0", "w.x=10.0 w.y=40.0", "not matched"}},
        {"NaN size",
         [](FakeAXWindow& w) { w.size = ScriptedAttribute::size(std::nan(""), 600); },
         {"Window title: Report", "x=10.0 y=40.0", "w.x=10.0 w.y=40.0", "width=nan height=600.0", "not matched"}},
        {"title with leading space",
         [](FakeAXWindow& w) { w.title = ScriptedAttribute::title(" Report"); },
         {"Window title:  Report", "not matched"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::PlacementRig fresh;
        FakeAXWindow window = testing::PlacementRig::matchingWindow();
        c.change(window);
        fresh.accessibility.applications[42].windows = {window};
        fresh.vc().placeWindow(fresh.entry(), 1920, 1080);
        Lines expected = c.lines;
        expected.emplace_back("No matching AXUIElement for windowID 7.");
        EXPECT_EQ(fresh.output.lines, expected);
        EXPECT_EQ(fresh.workspace.opened.size(), 0U);
        fresh.expectAllReleased();
    }
}

TEST_F(PlaceWindowTest, EmptyTitleMatchesOnGeometry) {
    FakeAXWindow window = testing::PlacementRig::matchingWindow();
    window.title = ScriptedAttribute::title("");
    windows() = {window};
    place();
    EXPECT_EQ(rig.output.lines.front(), "Window title: ");
    EXPECT_EQ(windows()[0].raises, 1);
}

TEST_F(PlaceWindowTest, FailedSetsAndRaiseAreReportedAndEverythingStillRuns) {
    FakeAXWindow window = testing::PlacementRig::matchingWindow();
    window.setPositionResult = platform::AxError::cannotComplete;
    window.setSizeResult = platform::AxError::illegalArgument;
    window.raiseResult = platform::AxError::actionUnsupported;
    windows() = {window};
    place(1280, 720);
    const Lines tail(rig.output.lines.end() - 4, rig.output.lines.end());
    EXPECT_EQ(tail, (Lines{"Failed to set window position. AXError: kAXErrorCannotComplete (-25204)",
                           "Failed to set window size. AXError: kAXErrorIllegalArgument (-25201)",
                           "Failed to bring window to front. AXError: kAXErrorActionUnsupported (-25206)",
                           "Main window minimized"}));
    EXPECT_EQ(windows()[0].sizesSet, (std::vector<std::pair<double, double>>{{1280, 720}}));
    EXPECT_EQ(rig.preferences.stored["com.apple.screencapture"]["last-selection"],
              (platform::IntegerDictionary{{"X", 0}, {"Y", 24}, {"Width", 1280}, {"Height", 720}}))
        << "the requested size is stored even when setting it failed";
    EXPECT_EQ(rig.workspace.opened, (Lines{"/System/Applications/Utilities/Screenshot.app"}));
}

TEST_F(PlaceWindowTest, ValuesThatCannotBeCreatedAreSkippedSilently) {
    windows() = {testing::PlacementRig::matchingWindow()};
    rig.accessibility.valueCreationFails = true;
    place();
    EXPECT_TRUE(windows()[0].positionsSet.empty());
    EXPECT_TRUE(windows()[0].sizesSet.empty());
    EXPECT_EQ(windows()[0].raises, 1);
    EXPECT_EQ(rig.output.lines.back(), "Main window minimized");
}

TEST_F(PlaceWindowTest, NoMainWindowStillOpensTheTool) {
    windows() = {testing::PlacementRig::matchingWindow()};
    rig.application.hasWindow = false;
    place();
    const Lines tail(rig.log.entries.end() - 3, rig.log.entries.end());
    EXPECT_EQ(tail, (Lines{"out: Window successfully brought to front.", "out: No main window found to minimize.",
                           "open: /System/Applications/Utilities/Screenshot.app"}));
}

TEST_F(PlaceWindowTest, PreferencesDomainUnavailableWritesNothingAndGoesOn) {
    windows() = {testing::PlacementRig::matchingWindow()};
    rig.preferences.canOpen = false;
    place();
    EXPECT_TRUE(rig.preferences.stored.empty());
    EXPECT_EQ(rig.preferences.openedSuites, (Lines{"com.apple.screencapture"}));
    EXPECT_EQ(windows()[0].raises, 1);
    EXPECT_EQ(rig.application.window.miniaturizeCalls, 1);
    EXPECT_EQ(rig.workspace.opened.size(), 1U);
    EXPECT_EQ(rig.output.lines.back(), "Main window minimized");
}

TEST_F(PlaceWindowTest, SecondPlacementReplacesTheWholeEntryWithTheMeasuredMenuBar) {
    windows() = {testing::PlacementRig::matchingWindow()};
    place(1920, 1080);
    rig.vc().updateMenubarHeight({platform::Value::dictionary(
        {{"kCGWindowName", platform::Value::text("Menubar")},
         {"kCGWindowBounds", platform::Value::dictionary(
                                 {{"X", platform::Value::integer(0)}, {"Height", platform::Value::integer(37)}})}})});
    place(-1280, 720);
    EXPECT_EQ(rig.preferences.stored["com.apple.screencapture"]["last-selection"],
              (platform::IntegerDictionary{{"X", 0}, {"Y", 37}, {"Width", -1280}, {"Height", 720}}));
    EXPECT_EQ(rig.preferences.synchronizeCalls, 2);
}

TEST_F(PlaceWindowTest, HugeRequestIsStoredSaturatedNotUndefined) {
    windows() = {testing::PlacementRig::matchingWindow()};
    place(9223372036854775808.0, 720);
    EXPECT_EQ(rig.preferences.stored["com.apple.screencapture"]["last-selection"][2].second,
              std::numeric_limits<std::int64_t>::max());
}

}  // namespace
}  // namespace tallowin
