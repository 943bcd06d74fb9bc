#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/line_output.h"
#include "platform/main_window.h"
#include "platform/preferences.h"
#include "platform/screen_capture_permission.h"
#include "platform/window_list_source.h"
#include "platform/workspace.h"
#include "tests/doubles/call_log.h"

namespace tallowin::doubles {

class ScriptedScreenCapture final : public platform::ScreenCapturePermission {
public:
    bool preflightAnswer = true;
    bool requestAnswer = true;

    bool preflightScreenCaptureAccess() override { return preflightAnswer; }
    bool requestScreenCaptureAccess() override { return requestAnswer; }
};

// Hands out a copy of its list (or nothing) on every call.
class ScriptedWindowListSource final : public platform::WindowListSource {
public:
    std::optional<platform::WindowList> list = platform::WindowList{};
    std::vector<std::pair<platform::WindowListOption, std::uint32_t>> calls;

    std::optional<platform::WindowList> copyWindowInfo(platform::WindowListOption options,
                                                       std::uint32_t relativeToWindow) override {
        calls.emplace_back(options, relativeToWindow);
        return list;
    }
};

// Standard output captured line by line, also into the shared log.
class RecordingOutput final : public platform::LineOutput {
public:
    explicit RecordingOutput(CallLog* log = nullptr) : log_(log) {}
    std::vector<std::string> lines;

    void writeLine(std::string_view text) override {
        lines.emplace_back(text);
        note(log_, "out: " + std::string(text));
    }

private:
    CallLog* log_;
};

// The application's main window, or none when hasWindow is false.
class FakeMainWindowSource final : public platform::MainWindowSource, platform::MainWindow {
public:
    explicit FakeMainWindowSource(CallLog* log = nullptr) : log_(log) {}
    bool hasWindow = true;
    platform::MainWindow* mainWindow() override { return hasWindow ? this : nullptr; }
    void miniaturize() override { note(log_, "miniaturize"); }

private:
    CallLog* log_;
};

class FakeWorkspace final : public platform::Workspace {
public:
    explicit FakeWorkspace(CallLog* log = nullptr) : log_(log) {}
    std::vector<std::string> opened;
    bool openURL(const platform::FileURL& url) override {
        opened.push_back(url.path);
        note(log_, "open: " + url.path);
        return true;
    }

private:
    CallLog* log_;
};

// Domains held in memory: suite name -> key -> dictionary.
class FakePreferences final : public platform::Preferences {
public:
    explicit FakePreferences(CallLog* log = nullptr) : log_(log) {}
    using Domain = std::map<std::string, platform::IntegerDictionary, std::less<>>;
    std::map<std::string, Domain, std::less<>> stored;
    bool canOpen = true;

    std::unique_ptr<platform::PreferencesDomain> openSuite(std::string_view suiteName) override;

private:
    CallLog* log_;
};

}  // namespace tallowin::doubles
