#pragma once

#include <algorithm>
#include <functional>
#include <map>

#include "app/view_controller.h"
#include "platform/accessibility.h"
#include "platform/line_output.h"
#include "platform/list_control.h"
#include "platform/main_window.h"
#include "platform/preferences.h"
#include "platform/provider.h"
#include "platform/repeating_timer.h"
#include "platform/screen_capture_permission.h"
#include "platform/text_control.h"
#include "platform/value.h"
#include "platform/window_list_source.h"
#include "platform/window_system_adapter.h"
#include "platform/workspace.h"

namespace tallowin::doubles {

using platform::AxError;
using platform::AxValueKind;

// One ordered record of every effect the doubles see, output lines included,
// so tests can assert the order of effects across services.
using CallLog = std::vector<std::string>;

// Doubles built without a log note nothing.
struct Logged {
    explicit Logged(CallLog* into = nullptr) : log(into) {}
    void note(std::string entry) const {
        if (log != nullptr) log->push_back(std::move(entry));
    }
    CallLog* log;
};

// A window-list entry as the window server reports one; leave a field empty
// to leave its key out.
struct WindowEntry {
    std::optional<std::int64_t> number = 1;
    std::optional<std::int64_t> pid = 100;
    std::optional<std::string> name = "Window";
    std::optional<std::string> owner = "App";
    std::optional<double> x = 10;
    std::optional<double> y = 40;
    std::optional<double> width = 800;
    std::optional<double> height = 600;
    std::optional<double> alpha = 1.0;
};
platform::Value windowEntry(const WindowEntry& entry);
platform::WindowList windowList(const std::vector<WindowEntry>& entries);

struct ScriptedScreenCapture final : platform::ScreenCapturePermission {
    bool preflightAnswer = true;
    bool requestAnswer = true;
    std::function<void()> onPreflight = [] {};  // runs as the question is asked
    bool preflightScreenCaptureAccess() override { return onPreflight(), preflightAnswer; }
    bool requestScreenCaptureAccess() override { return requestAnswer; }
};

// Hands out a copy of its list (or nothing) on every call.
struct ScriptedWindowListSource final : platform::WindowListSource {
    std::optional<platform::WindowList> list = platform::WindowList{};
    std::vector<std::pair<platform::WindowListOption, std::uint32_t>> calls;
    std::optional<platform::WindowList> copyWindowInfo(platform::WindowListOption options,
                                                       std::uint32_t relativeToWindow) override {
        calls.emplace_back(options, relativeToWindow);
        return list;
    }
};

struct RecordingOutput final : platform::LineOutput, Logged {
    using Logged::Logged;
    std::vector<std::string> lines;
    std::function<void()> onLine = [] {};  // runs as each line is written
    void writeLine(std::string_view text) override {
        lines.emplace_back(text);
        note("out: " + std::string(text));
        onLine();
    }
};

// The application's main window, or none when hasWindow is false.
struct FakeMainWindowSource final : platform::MainWindowSource, platform::MainWindow, Logged {
    using Logged::Logged;
    bool hasWindow = true;
    platform::MainWindow* mainWindow() override { return hasWindow ? this : nullptr; }
    void miniaturize() override { note("miniaturize"); }
};

struct FakeWorkspace final : platform::Workspace, Logged {
    using Logged::Logged;
    std::vector<std::string> opened;
    std::vector<platform::CaptureHandoff> handoffs;
    bool openURL(const platform::FileURL& url) override {
        opened.push_back(url.path);
        note("open: " + url.path);
        return true;
    }
    // Logged as the plain open it is by default.
    bool openCaptureTool(const platform::CaptureHandoff& handoff) override {
        handoffs.push_back(handoff);
        return openURL(handoff.tool);
    }
};

// Logs each dictionary set, entry by entry, and each integer set.
struct FakePreferences final : platform::Preferences, Logged {
    using Logged::Logged;
    bool canOpen = true;
    bool canSynchronize = true;
    std::unique_ptr<platform::PreferencesDomain> openSuite(std::string_view suiteName) override;
};

// A provider over services the test holds itself.
struct ServicesProvider final : platform::Provider {
    ServicesProvider(platform::WindowListSource& windowList, platform::ScreenCapturePermission& screenCapture,
                     platform::AccessibilityServices& accessibility, platform::Preferences& preferences)
        : windowList_(windowList), capture_(screenCapture), ax_(accessibility), preferences_(preferences) {}
    platform::WindowListSource& windowList() override { return windowList_; }
    platform::ScreenCapturePermission& screenCapture() override { return capture_; }
    platform::AccessibilityServices& accessibility() override { return ax_; }
    platform::Preferences& preferences() override { return preferences_; }
    platform::WindowListSource& windowList_;
    platform::ScreenCapturePermission& capture_;
    platform::AccessibilityServices& ax_;
    platform::Preferences& preferences_;
};

// Behaves like a combo box: selecting a row that does not exist clears the
// selection instead of failing. A user pick sets selected to any row, or -1.
struct FakeListControl final : platform::ListControl {
    std::vector<std::string> rows;
    std::ptrdiff_t selected = -1;
    int addCalls = 0;

    void removeAllItems() override {
        rows.clear();
        selected = -1;
    }
    void addItemsWithObjectValues(const std::vector<std::string_view>& values) override {
        rows.insert(rows.end(), values.begin(), values.end());
        ++addCalls;
    }
    void selectItemAtIndex(std::ptrdiff_t index) override {
        selected = index >= 0 && static_cast<std::size_t>(index) < rows.size() ? index : -1;
    }
    [[nodiscard]] std::ptrdiff_t indexOfSelectedItem() const override { return selected; }
    [[nodiscard]] std::optional<std::string> objectValueOfSelectedItem() const override {
        return selected < 0 ? std::nullopt : std::optional(rows[static_cast<std::size_t>(selected)]);
    }
};

struct FakeTextControl final : platform::TextControl {
    std::string text = "(never set)";
    void setStringValue(std::string_view value) override { text = value; }
};

// Timers on a clock that only tests move; destroying a handle invalidates its
// timer, as the interface promises.
struct VirtualTimerFactory final : platform::TimerFactory {
    std::unique_ptr<platform::RepeatingTimer> scheduledTimer(double intervalSeconds,
                                                             std::function<void()> callback) override;
    // Moves the clock forward, firing every due timer in time order.
    void advanceMs(std::int64_t milliseconds);
    void advanceSeconds(double seconds) { advanceMs(static_cast<std::int64_t>(seconds * 1000.0)); }
    [[nodiscard]] int liveTimers() const {
        return static_cast<int>(std::ranges::count_if(scheduled, [](const auto& timer) { return timer->valid; }));
    }

    struct Scheduled {
        std::int64_t intervalMs;
        std::int64_t nextFireMs;
        std::function<void()> callback;
        bool valid = true;
    };
    std::int64_t nowMs = 0;
    std::vector<std::shared_ptr<Scheduled>> scheduled;
};

// What one attribute copy answers: an error, or a text, a geometry value
// (of a kind, holding first and second), something else, or nothing.
struct ScriptedAttribute {
    AxError error = AxError::success;
    std::variant<std::monostate, std::string, AxValueKind, platform::AXOtherValue> value{};
    double first = 0;
    double second = 0;

    static ScriptedAttribute title(std::string text) { return {.value = std::move(text)}; }
    static ScriptedAttribute point(double x, double y) {
        return {.value = AxValueKind::point, .first = x, .second = y};
    }
    static ScriptedAttribute size(double w, double h) { return {.value = AxValueKind::size, .first = w, .second = h}; }
    static ScriptedAttribute failure(AxError error) { return {.error = error}; }
};

struct FakeAXWindow {
    ScriptedAttribute title;
    ScriptedAttribute position;
    ScriptedAttribute size;
    AxError setPositionResult = AxError::success;
    AxError setSizeResult = AxError::success;
    AxError raiseResult = AxError::success;
    std::vector<std::pair<double, double>> sizesSet{};
    // A position or size set with success is read back from then on (the
    // position kept below topInset), unless the window takes its size back.
    bool takesSizeBack = false;
    std::string shortfall{};  // what frameShortfall answers
};

struct FakeAXApplication {
    AxError windowsError = AxError::success;
    bool windowsNotAnArray = false;  // "AXWindows" succeeds without a list
    std::vector<FakeAXWindow> windows;
};

// Accessibility answered from scripted applications; an unknown pid answers
// "AXWindows" with kAXErrorCannotComplete. Logs the effects (sets and
// actions), not the reads.
class FakeAccessibility final : public platform::AccessibilityServices, public Logged {
public:
    using Logged::Logged;
    bool trusted = true;
    std::vector<bool> trustPrompts;  // the prompt option of every trust-with-options query
    bool valueCreationFails = false;
    double topInset = 0;   // the menu bar that windows are kept below
    double leftInset = 0;  // a panel on the left that windows are kept beside
    std::map<pid_t, FakeAXApplication> applications;
    int elementsCreated = 0;
    // Elements and values handed out and not yet released.
    [[nodiscard]] long live() const { return token_.use_count() - 1; }

    bool isProcessTrustedWithOptions(bool prompt) override {
        trustPrompts.push_back(prompt);
        return trusted;
    }
    bool isProcessTrusted() override { return trusted; }
    platform::AXElementPtr createApplication(pid_t pid) override;
    platform::AXCopyResult copyAttributeValue(const platform::AXElement& element, std::string_view attribute) override;
    platform::AXValuePtr createValue(AxValueKind type, double first, double second) override;
    AxError setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                              const platform::AXValue& value) override;
    AxError performAction(const platform::AXElement& element, std::string_view action) override;
    std::string frameShortfall(const platform::AXElement& window) override;

private:
    std::shared_ptr<int> token_ = std::make_shared<int>();  // one more owner per live element or value
};

// A controller wired to a full set of doubles, its outlets connected.
struct ControllerRig {
    CallLog log;
    ScriptedWindowListSource windowList;
    ScriptedScreenCapture screenCapture;
    FakeAccessibility accessibility{&log};
    VirtualTimerFactory timers;
    FakeMainWindowSource application{&log};
    FakeWorkspace workspace{&log};
    FakePreferences preferences{&log};
    RecordingOutput output{&log};
    ServicesProvider system{windowList, screenCapture, accessibility, preferences};
    std::shared_ptr<FakeListControl> windowListComboBox = std::make_shared<FakeListControl>();
    std::shared_ptr<FakeListControl> resolutionComboBox = std::make_shared<FakeListControl>();
    std::shared_ptr<FakeTextControl> message = std::make_shared<FakeTextControl>();
    ViewController controller{PlatformServices{system, timers, application, workspace, output}};

    ControllerRig() {
        controller.setWindowListComboBox(windowListComboBox);
        controller.setResolutionComboBox(resolutionComboBox);
        controller.setMessage(message);
    }
};

// The controller over a window system through the adapter, its lines and
// the window system's own in one log; the first resolution preset is picked.
struct WindowSystemRig {
    using Make = std::function<std::unique_ptr<platform::WindowSystem>(platform::LineOutput& status)>;
    explicit WindowSystemRig(const Make& make);
    // Picks the row showing title (none when absent) and presses Place.
    void place(const std::string& title);

    CallLog log;
    VirtualTimerFactory timers;
    FakeMainWindowSource application{&log};
    FakeWorkspace workspace{&log};
    RecordingOutput output{&log};
    std::unique_ptr<platform::WindowSystemProvider> provider;
    std::shared_ptr<FakeListControl> windows = std::make_shared<FakeListControl>();
    std::shared_ptr<FakeListControl> resolutions = std::make_shared<FakeListControl>();
    std::unique_ptr<ViewController> controller;
};

}  // namespace tallowin::doubles
