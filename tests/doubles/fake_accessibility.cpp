#include "tests/doubles/fake_accessibility.h"

#include "platform/number_text.h"

namespace tallowin::doubles {

namespace {

// Counts itself among the live handles while it exists.
struct Counted {
    explicit Counted(int& live) : live_(live) { ++live_; }
    ~Counted() { --live_; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    int& live_;
};

struct FakeElement final : platform::AXElement, Counted {
    FakeElement(int& live, pid_t ownerPid, int index) : Counted(live), pid(ownerPid), windowIndex(index) {}
    const pid_t pid;
    const int windowIndex;  // -1 for the application itself
};

struct FakeValue final : platform::AXValue, Counted {
    FakeValue(int& live, platform::AxValueKind boxedType, double a, double b)
        : Counted(live), type(boxedType), first(a), second(b) {}
    [[nodiscard]] std::optional<std::pair<double, double>> getValue(platform::AxValueKind wanted) const override {
        return wanted == type ? std::optional(std::make_pair(first, second)) : std::nullopt;
    }
    const platform::AxValueKind type;
    const double first;
    const double second;
};

}  // namespace

bool FakeAccessibility::isProcessTrustedWithOptions(bool prompt) {
    trustPrompts.push_back(prompt);
    return trusted;
}

platform::AXElementPtr FakeAccessibility::makeElement(pid_t pid, int windowIndex) {
    ++elementsCreated_;
    return std::make_unique<FakeElement>(liveElements_, pid, windowIndex);
}

platform::AXValuePtr FakeAccessibility::makeValue(platform::AxValueKind type, double first, double second) {
    return std::make_unique<FakeValue>(liveValues_, type, first, second);
}

platform::AXElementPtr FakeAccessibility::createApplication(pid_t pid) { return makeElement(pid, -1); }

FakeAXWindow* FakeAccessibility::windowOf(const platform::AXElement& element) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    auto app = applications.find(fake.pid);
    if (fake.windowIndex < 0 || app == applications.end()) {
        return nullptr;
    }
    return &app->second.windows.at(static_cast<std::size_t>(fake.windowIndex));
}

platform::AXCopyResult FakeAccessibility::copyAttributeValue(const platform::AXElement& element,
                                                             std::string_view attribute) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    if (fake.windowIndex < 0) {
        auto app = applications.find(fake.pid);
        if (attribute != platform::kAXWindowsAttributeName || app == applications.end()) {
            return {platform::AxError::cannotComplete, {}};
        }
        if (app->second.windowsError != platform::AxError::success || app->second.windowsNotAnArray) {
            return {app->second.windowsError, {}};
        }
        platform::AXElementArray windows;
        for (std::size_t i = 0; i < app->second.windows.size(); ++i) {
            windows.push_back(makeElement(fake.pid, static_cast<int>(i)));
        }
        return {platform::AxError::success, std::move(windows)};
    }
    FakeAXWindow& window = *windowOf(element);
    const ScriptedAttribute& scripted = attribute == platform::kAXTitleAttributeName      ? window.title
                                        : attribute == platform::kAXPositionAttributeName ? window.position
                                                                                          : window.size;
    if (scripted.error != platform::AxError::success) {
        return {scripted.error, {}};
    }
    if (const auto* kind = std::get_if<platform::AxValueKind>(&scripted.value)) {
        return {platform::AxError::success, makeValue(*kind, scripted.first, scripted.second)};
    }
    if (const auto* text = std::get_if<std::string>(&scripted.value)) {
        return {platform::AxError::success, *text};
    }
    if (std::holds_alternative<platform::AXOtherValue>(scripted.value)) {
        return {platform::AxError::success, platform::AXOtherValue{}};
    }
    return {platform::AxError::success, std::monostate{}};
}

platform::AXValuePtr FakeAccessibility::createValue(platform::AxValueKind type, double first, double second) {
    return valueCreationFails ? nullptr : makeValue(type, first, second);
}

platform::AxError FakeAccessibility::setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                                       const platform::AXValue& value) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    const auto& boxed = dynamic_cast<const FakeValue&>(value);
    note(log_, "ax: set " + std::string(attribute) + " (" + platform::formatDouble(boxed.first) + ", " +
                   platform::formatDouble(boxed.second) + ") on window " + std::to_string(fake.windowIndex));
    FakeAXWindow& window = *windowOf(element);
    if (attribute == platform::kAXPositionAttributeName && boxed.type == platform::AxValueKind::point) {
        window.positionsSet.emplace_back(boxed.first, boxed.second);
        return window.setPositionResult;
    }
    if (attribute == platform::kAXSizeAttributeName && boxed.type == platform::AxValueKind::size) {
        window.sizesSet.emplace_back(boxed.first, boxed.second);
        return window.setSizeResult;
    }
    return platform::AxError::illegalArgument;
}

platform::AxError FakeAccessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    note(log_, "ax: perform " + std::string(action) + " on window " + std::to_string(fake.windowIndex));
    FakeAXWindow& window = *windowOf(element);
    ++window.raises;
    return action == platform::kAXRaiseActionName ? window.raiseResult : platform::AxError::actionUnsupported;
}

}  // namespace tallowin::doubles
