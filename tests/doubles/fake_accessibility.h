#pragma once

#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/accessibility.h"
#include "tests/doubles/call_log.h"

namespace tallowin::doubles {

// What one attribute copy answers: an error, or a text, a geometry value
// (of a kind, holding first and second), something else, or nothing.
struct ScriptedAttribute {
    platform::AxError error = platform::AxError::success;
    std::variant<std::monostate, std::string, platform::AxValueKind, platform::AXOtherValue> value{};
    double first = 0;
    double second = 0;

    static ScriptedAttribute title(std::string text) { return {.value = std::move(text)}; }
    static ScriptedAttribute point(double x, double y) {
        return {.value = platform::AxValueKind::point, .first = x, .second = y};
    }
    static ScriptedAttribute size(double w, double h) {
        return {.value = platform::AxValueKind::size, .first = w, .second = h};
    }
    static ScriptedAttribute failure(platform::AxError error) { return {.error = error}; }
    static ScriptedAttribute absent() { return {}; }
    static ScriptedAttribute other() { return {.value = platform::AXOtherValue{}}; }
};

struct FakeAXWindow {
    ScriptedAttribute title;
    ScriptedAttribute position;
    ScriptedAttribute size;
    platform::AxError setPositionResult = platform::AxError::success;
    platform::AxError setSizeResult = platform::AxError::success;
    platform::AxError raiseResult = platform::AxError::success;
    // What was done to it.
    std::vector<std::pair<double, double>> positionsSet{};
    std::vector<std::pair<double, double>> sizesSet{};
    int raises = 0;
};

struct FakeAXApplication {
    platform::AxError windowsError = platform::AxError::success;
    bool windowsNotAnArray = false;  // "AXWindows" succeeds without a list
    std::vector<FakeAXWindow> windows;
};

// Accessibility answered from scripted applications. Counts every element
// and value it hands out that is still alive, so tests can prove that all
// of them were released. Logs the effects (sets and actions), not the reads.
class FakeAccessibility final : public platform::AccessibilityServices {
public:
    explicit FakeAccessibility(CallLog* log = nullptr) : log_(log) {}

    bool trusted = true;
    std::vector<bool> trustPrompts;  // the prompt option of every trust-with-options query
    bool valueCreationFails = false;
    // An unknown pid answers "AXWindows" with kAXErrorCannotComplete.
    std::map<pid_t, FakeAXApplication> applications;

    bool isProcessTrustedWithOptions(bool prompt) override;
    bool isProcessTrusted() override { return trusted; }
    platform::AXElementPtr createApplication(pid_t pid) override;
    platform::AXCopyResult copyAttributeValue(const platform::AXElement& element, std::string_view attribute) override;
    platform::AXValuePtr createValue(platform::AxValueKind type, double first, double second) override;
    platform::AxError setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                        const platform::AXValue& value) override;
    platform::AxError performAction(const platform::AXElement& element, std::string_view action) override;

    [[nodiscard]] int liveElements() const { return liveElements_; }
    [[nodiscard]] int liveValues() const { return liveValues_; }
    [[nodiscard]] int elementsCreated() const { return elementsCreated_; }

private:
    platform::AXElementPtr makeElement(pid_t pid, int windowIndex);
    platform::AXValuePtr makeValue(platform::AxValueKind type, double first, double second);
    FakeAXWindow* windowOf(const platform::AXElement& element);

    CallLog* log_;
    int liveElements_ = 0;
    int liveValues_ = 0;
    int elementsCreated_ = 0;
};

}  // namespace tallowin::doubles
