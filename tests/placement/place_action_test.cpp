#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "placement/capture_size.h"
#include "placement/resolution_parser.h"
#include "placement/title_prefix.h"
#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using doubles::ControllerRig;
using doubles::FakeAXWindow;
using doubles::ScriptedAttribute;
using platform::AxError;
using Lines = std::vector<std::string>;

constexpr pid_t kPid = 42;
const std::string kNoMatch = "No matching AXUIElement for windowID 7.";

FakeAXWindow matchingWindow() {
    return {.title = ScriptedAttribute::title("Report"),
            .position = ScriptedAttribute::point(10, 40),
            .size = ScriptedAttribute::size(800, 600)};
}

// Lists "Alpha - Apps" (pid 43) and "Report - Editor" (pid 42, number 7, at
// 10,40 sized 800x600) under a 30 pixel menu bar, picks the second and
// "1280x720", and gives pid 42 a window that matches it.
void prepare(ControllerRig& rig) {
    rig.windowList.list = {
        doubles::windowEntry({.name = "Menubar", .owner = "Window Server", .x = 0, .height = 30}),
        doubles::windowEntry({.number = 7, .pid = kPid, .name = "Report", .owner = "Editor"}),
        doubles::windowEntry({.number = 8, .pid = 43, .name = "Alpha", .owner = "Apps"}),
    };
    rig.controller.viewDidLoad();
    rig.windowListComboBox->selected = 1;
    rig.resolutionComboBox->selected = 1;
    rig.accessibility.applications[kPid].windows = {matchingWindow()};
    rig.accessibility.topInset = 30;
    rig.log.clear();
    rig.windowList.calls.clear();
    rig.output.lines.clear();
}

FakeAXWindow& window(ControllerRig& rig) { return rig.accessibility.applications[kPid].windows[0]; }

Lines concat(std::initializer_list<Lines> parts) {
    // Not std::views::join: Xcode 15's libc++ keeps it experimental.
    Lines joined;
    for (const Lines& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

const Lines kMatched = {"out: Window title: Report", "out: x=10.0 y=40.0", "out: w.x=10.0 w.y=40.0",
                        "out: width=800.0 height=600.0"};
const Lines kSetFrame = {"ax: set AXPosition (0.0, 0.0) on window 0", "ax: set AXSize (1280.0, 720.0) on window 0"};
// The rectangle stored where the window went.
Lines saved(const std::string& at = "X=0 Y=30") {
    return {"prefs set: com.apple.screencapture last-selection " + at + " Width=1280 Height=720",
            "prefs set: com.apple.screencapture last-selection-display 0",
            "prefs synchronize: com.apple.screencapture"};
}
const Lines kRaised = {"ax: perform AXRaise on window 0", "out: Window successfully brought to front."};
const Lines kHandedOff = {"miniaturize", "out: Main window minimized",
                          "open: /System/Applications/Utilities/Screenshot.app"};

TEST(PlaceAction, EachPathOfTheActionInOrder) {
    const std::string permission =
        "Accessibility permissions not granted. Please enable in System Settings > Privacy & Security > Accessibility.";
    const struct {
        const char* what;
        void (*change)(ControllerRig&);
        Lines trace;
    } cases[] = {
        {"the first matching window placed, no later one looked at",
         [](ControllerRig& r) {
             FakeAXWindow otherTitle = matchingWindow(), lower = matchingWindow(), later = matchingWindow();
             otherTitle.title = ScriptedAttribute::title("Notes");
             lower.position = ScriptedAttribute::point(10, 41);
             later.title = ScriptedAttribute::failure(AxError::failure);  // would print "not matched" when looked at
             r.accessibility.applications[kPid].windows = {otherTitle, lower, matchingWindow(), later};
         },
         concat({{"out: Window title: Notes", "out: not matched", "out: Window title: Report", "out: x=10.0 y=41.0",
                  "out: w.x=10.0 w.y=40.0", "out: not matched"},
                 kMatched,
                 {"ax: set AXPosition (0.0, 0.0) on window 2", "ax: set AXSize (1280.0, 720.0) on window 2"},
                 saved(),
                 {"ax: perform AXRaise on window 2", kRaised[1]},
                 kHandedOff})},
        {"no window row", [](ControllerRig& r) { r.windowListComboBox->selected = -1; }, {"out: No selection."}},
        {"row beyond the list", [](ControllerRig& r) { r.windowListComboBox->selected = 2; }, {"out: No selection."}},
        {"no resolution row",
         [](ControllerRig& r) { r.resolutionComboBox->selected = -1; },
         {"out: Invalid selection or value."}},
        {"resolution that does not parse",
         [](ControllerRig& r) {
             r.resolutionComboBox->removeAllItems();
             r.resolutionComboBox->addItemsWithObjectValues({"1280X720"});
             r.resolutionComboBox->selectItemAtIndex(0);
         },
         {"out: Resolution parsing error."}},
        {"not trusted", [](ControllerRig& r) { r.accessibility.trusted = false; }, {"out: " + permission}},
        {"windows cannot be copied",
         [](ControllerRig& r) { r.accessibility.applications[kPid].windowsError = AxError{-99}; },
         {"out: Could not retrieve windows for PID 42. Error: -99"}},
        {"windows copied without a list",
         [](ControllerRig& r) { r.accessibility.applications[kPid].windowsNotAnArray = true; },
         {"out: Could not retrieve windows for PID 42. Error: kAXErrorNoValue (-25212)"}},
        {"no window matches",
         [](ControllerRig& r) { window(r).title = ScriptedAttribute::title("Notes"); },
         {"out: Window title: Notes", "out: not matched", "out: " + kNoMatch}},
        {"position and raise fail, no main window",
         [](ControllerRig& r) {
             window(r).setPositionResult = AxError::cannotComplete;
             window(r).raiseResult = AxError::actionUnsupported;
             r.application.hasWindow = false;
         },
         concat({kMatched,
                 {kSetFrame[0], "out: Failed to set window position. AXError: kAXErrorCannotComplete (-25204)",
                  kSetFrame[1]},
                 // the rectangle follows the window, which stayed where it was
                 saved("X=10 Y=40"),
                 {kRaised[0], "out: Failed to bring window to front. AXError: kAXErrorActionUnsupported (-25206)",
                  "out: No main window found to minimize.", kHandedOff[2]}})},
        {"size fails, no preferences domain",
         [](ControllerRig& r) {
             window(r).setSizeResult = AxError::illegalArgument;
             r.preferences.canOpen = false;
         },
         concat({kMatched,
                 kSetFrame,
                 {"out: Failed to set window size. AXError: kAXErrorIllegalArgument (-25201)",
                  "out: Window is at 0,30 with size 800x600, not 1280x720.",
                  "out: Capture selection not stored: the preferences domain com.apple.screencapture could not be "
                  "opened."},
                 kRaised,
                 kHandedOff})},
        {"preferences cannot be written", [](ControllerRig& r) { r.preferences.canSynchronize = false; },
         concat({kMatched,
                 kSetFrame,
                 saved(),
                 {"out: Capture selection not stored: the preferences domain com.apple.screencapture could not be "
                  "written."},
                 kRaised,
                 kHandedOff})},
        {"geometry values cannot be made", [](ControllerRig& r) { r.accessibility.valueCreationFails = true; },
         concat({kMatched,
                 {"out: Window is at 10,40 with size 800x600, not 1280x720."},
                 saved("X=10 Y=40"),
                 kRaised,
                 kHandedOff})},
        {"a panel on the left", [](ControllerRig& r) { r.accessibility.leftInset = 64; },
         concat({kMatched, kSetFrame, saved("X=64 Y=30"), kRaised, kHandedOff})},
        {"the application takes its size back",
         [](ControllerRig& r) {
             window(r).takesSizeBack = true;
             window(r).shortfall = "the application changed its size back";
         },
         concat({kMatched,
                 kSetFrame,
                 {"out: Window is at 0,30 with size 800x600, not 1280x720: the application changed its size back."},
                 saved(),
                 kRaised,
                 kHandedOff})},
        {"the size, past the work area",
         [](ControllerRig& r) { window(r).shortfall = "the work area is only 1366x738 at 0,30"; },
         concat({kMatched,
                 kSetFrame,
                 {"out: Window is at 0,30 with size 1280x720: the work area is only 1366x738 at 0,30."},
                 saved(),
                 kRaised,
                 kHandedOff})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerRig rig;
        prepare(rig);
        c.change(rig);
        rig.controller.handlePlaceButtonClick();
        EXPECT_EQ(rig.log, c.trace);
        if (c.trace.size() == 1 && !c.trace[0].starts_with("out: Could")) {
            EXPECT_EQ(rig.accessibility.elementsCreated, 0);
        }
        EXPECT_EQ(rig.accessibility.live(), 0) << "every element and value released";
    }
}

TEST(PlaceAction, TheWindowMatchesByTitlePrefixPositionWhenReadableAndSize) {
    enum Attribute { title, position, size };
    const Lines positionRead = {"Window title: Report", "x=10.0 y=40.0", "w.x=10.0 w.y=40.0"};
    const Lines sizeUnread = concat({positionRead, {"not matched", kNoMatch}});
    const Lines positionUnread = concat({{"Window title: Report", "width=800.0 height=600.0",
                                          "Window successfully brought to front.", "Main window minimized"}});
    const std::tuple<Attribute, ScriptedAttribute, Lines> cases[] = {
        {title, ScriptedAttribute::failure(AxError::failure), {"not matched", kNoMatch}},
        {title, ScriptedAttribute::point(1, 2), {"not matched", kNoMatch}},
        {position,
         ScriptedAttribute::point(10.5, 40),
         {"Window title: Report", "x=10.5 y=40.0", "w.x=10.0 w.y=40.0", "not matched", kNoMatch}},
        {position, ScriptedAttribute::failure(AxError::attributeUnsupported), positionUnread},
        {position, ScriptedAttribute{.value = platform::AXOtherValue{}}, positionUnread},
        {size, ScriptedAttribute{}, sizeUnread},
        {size, ScriptedAttribute::point(800, 600), sizeUnread},
        {size, ScriptedAttribute::size(801, 600),
         concat({positionRead, {"width=801.0 height=600.0", "not matched", kNoMatch}})},
        {size, ScriptedAttribute::size(800, std::nan("")),
         concat({positionRead, {"width=800.0 height=nan", "not matched", kNoMatch}})},
    };
    for (const auto& [attribute, answer, lines] : cases) {
        ControllerRig rig;
        prepare(rig);
        FakeAXWindow& w = window(rig);
        (attribute == title ? w.title : attribute == position ? w.position : w.size) = answer;
        rig.controller.handlePlaceButtonClick();
        EXPECT_EQ(rig.output.lines, lines);
        EXPECT_EQ(rig.accessibility.live(), 0) << "every element and value released";
    }
}

// Each placement hands the tool its own rectangle and window, once; the tool
// opened alone has none to hand over.
TEST(PlaceAction, TheToolGetsTheStoredRectangleAndThePlacedWindow) {
    ControllerRig rig;
    prepare(rig);
    rig.controller.handlePlaceButtonClick();
    window(rig) = matchingWindow();  // back as the list has it
    rig.resolutionComboBox->selected = 0;
    rig.controller.handlePlaceButtonClick();
    rig.controller.openScreenshotTool();
    Lines handed;
    for (const auto& [tool, at, number] : rig.workspace.handoffs) {
        handed.push_back(std::to_string(at.x) + "," + std::to_string(at.y) + " " + std::to_string(at.width) + "x" +
                         std::to_string(at.height) + " of window " + std::to_string(number));
    }
    EXPECT_EQ(handed, (Lines{"0,30 1280x720 of window 7", "0,30 1920x1080 of window 7"}));
    EXPECT_EQ(rig.workspace.opened.size(), 3U);
}

// The window moved, was resized or retitled after the list was taken: the
// first lookup fails, a fresh listing of that one window differs, and the
// lookup runs once more with it, until the listing stops changing. Gone or
// unchanged, the lines stay as they were.
TEST(PlaceAction, AWindowChangedSinceTheListIsLookedForAgainAsItIsNow) {
    using Entry = doubles::WindowEntry;
    const Entry moved{.number = 7, .pid = kPid, .name = "Report", .owner = "Editor", .x = 650, .y = 380};
    const std::string again = "Window 7 has changed since the list was taken; looking for it as it is now.";
    const struct {
        const char* what;
        std::optional<Entry> now;  // the fresh listing's entry; none when gone
        std::string title;         // the window's as it is
        double x;
        long lookups;
        bool placed;
    } cases[] = {
        {"moved", moved, "Report", 650, 2, true},
        {"retitled", Entry{.number = 7, .pid = kPid, .name = "Report 2", .owner = "Editor"}, "Report 2", 10, 2, true},
        {"changed again before the second look", moved, "Report", 660, 2, false},
        {"gone", std::nullopt, "Report", 650, 1, false},
        {"listed as it was", Entry{.number = 7, .pid = kPid, .name = "Report", .owner = "Editor"}, "Report", 650, 1,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerRig rig;
        prepare(rig);
        window(rig) = {.title = ScriptedAttribute::title(c.title),
                       .position = ScriptedAttribute::point(c.x, c.x == 10 ? 40 : 380),
                       .size = ScriptedAttribute::size(800, 600)};
        // The source answers with every window; the one asked for is picked out.
        rig.windowList.list = platform::WindowList{doubles::windowEntry({.number = 8, .pid = kPid, .x = 650})};
        if (c.now) {
            rig.windowList.list->push_back(doubles::windowEntry(*c.now));
        }
        rig.controller.handlePlaceButtonClick();
        const auto count = [&](const std::string& line) { return std::ranges::count(rig.output.lines, line); };
        EXPECT_EQ(count("Window title: " + c.title), c.lookups);
        EXPECT_EQ(count(again), c.lookups - 1);
        EXPECT_EQ(count(kNoMatch), c.placed ? 1 : c.lookups);
        EXPECT_EQ(count("Window successfully brought to front."), c.placed ? 1 : 0);
        // Listed again after a failed second look, to see whether it changed once more.
        EXPECT_EQ(rig.windowList.calls, (std::vector<std::pair<platform::WindowListOption, std::uint32_t>>(
                                            static_cast<std::size_t>(c.placed ? 1 : c.lookups),
                                            {platform::kWindowListOptionIncludingWindow, 7})));
        EXPECT_EQ(rig.accessibility.live(), 0) << "every element and value released";
        if (c.what == std::string("moved")) {
            EXPECT_EQ(rig.log,
                      concat({{"out: Window title: Report", "out: x=650.0 y=380.0", "out: w.x=10.0 w.y=40.0",
                               "out: not matched", "out: " + kNoMatch, "out: " + again, "out: Window title: Report",
                               "out: x=650.0 y=380.0", "out: w.x=650.0 w.y=380.0", "out: width=800.0 height=600.0"},
                              kSetFrame,
                              saved(),
                              kRaised,
                              kHandedOff}));
        }
    }
}

constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();

TEST(ParseResolution, TwoSignedDecimalPiecesSplitAtEveryStandaloneX) {
    const std::tuple<const char*, std::int64_t, std::int64_t> accepted[] = {
        {"1920x1080", 1920, 1080},
        {"007x08", 7, 8},
        {"+1920x+1080", 1920, 1080},
        {"-1920x-0", -1920, 0},
        {"xx1920xxx1080xx", 1920, 1080},
        {"9223372036854775807x-9223372036854775808", kMax, kMin},
        {"00000000000000000000009223372036854775807x1", kMax, 1},
    };
    for (const auto& [text, width, height] : accepted) {
        const auto parsed = parseResolution(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(std::pair(parsed->width, parsed->height), std::pair(width, height)) << text;
    }
    // "x" with a combining acute is one character, not an "x".
    for (const char* text :
         {"9223372036854775808x1", "1x-9223372036854775809", "1x99999999999999999999", "", "xxx", "1920x1080x720",
          "1920X1080", "1920\uFF581080", "1920x\u03011080", "1920x\u0301x1080", " 1920x1080", "+x1080", "19-20x1080",
          "1920x1080.0", "1920x10:0", "\u0661\u0669x1080", "19\xC0x1080"}) {
        EXPECT_FALSE(parseResolution(text)) << ::testing::PrintToString(std::string(text));
    }
}

TEST(TitlePrefix, UserPerceivedCharactersUpToCanonicalEquivalence) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Report", "Report - Editor", true},
        {"", "Report - Editor", true},
        {"Report - Editor", "Report - Editor", true},
        {"Report - Editor (2)", "Report - Editor", false},
        {"report", "Report - Editor", false},
        {"Repost", "Report - Editor", false},
        {" Report", "Report - Editor", false},
        {"Caf\u00E9", "Cafe\u0301 - Notes", true},
        {"Cafe\u0301", "Caf\u00E9 - Notes", true},
        {"Cafe", "Caf\u00E9 - Notes", false},
        {"Cafe", "Cafe\u0301 - Notes", false},
        {"\U0001F468\u200D\U0001F469", "\U0001F468\u200D\U0001F469\u200D\U0001F467 - Family", false},
        {"a\u0323\u0307", "a\u0307\u0323 x", true},
        {"\uD55C", "\u1112\u1161\u11AB\uAE00", true},
        {"Doc\xFF", "Doc\xFF - App", true},
    };
    for (const auto& [window, entry, prefix] : cases) {
        EXPECT_EQ(isTitlePrefix(window, entry), prefix) << window << " / " << entry;
    }
}

TEST(CaptureSize, TruncatesTowardZeroAndSaturatesBeyondTheRange) {
    const std::pair<double, std::int64_t> cases[] = {
        {1920.0, 1920},
        {-1919.9, -1919},
        {1919.9, 1919},
        {9007199254740992.0, 9007199254740992},
        {9223372036854775808.0, kMax},
        {-9223372036854775808.0, kMin},
        {-INFINITY, kMin},
        {std::nan(""), 0},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(toCaptureInteger(value), expected) << value;
    }
}

}  // namespace
}  // namespace tallowin
