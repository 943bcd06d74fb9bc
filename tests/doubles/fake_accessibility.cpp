#include "tests/doubles/fake_accessibility.h"

#include "platform/number_text.h"

namespace tallowin::doubles {

namespace {

class FakeElement final : public platform::AXElement {
public:
    FakeElement(FakeAccessibility& owner, pid_t ownerPid, int index)
        : owner_(owner), pid(ownerPid), windowIndex(index) {}
    ~FakeElement() override { owner_.elementGone(); }
    FakeElement(const FakeElement&) = delete;
    FakeElement& operator=(const FakeElement&) = delete;

    FakeAccessibility& owner_;
    const pid_t pid;
    const int windowIndex;  // -1 for the application itself
};

class FakeValue final : public platform::AXValue {
public:
    FakeValue(FakeAccessibility& owner, platform::AxValueKind boxedType, double a, double b)
        : owner_(owner), type(boxedType), first(a), second(b) {}
    ~FakeValue() override { owner_.valueGone(); }
    FakeValue(const FakeValue&) = delete;
    FakeValue& operator=(const FakeValue&) = delete;

    [[nodiscard]] std::optional<std::pair<double, double>> getValue(platform::AxValueKind wanted) const override {
        return wanted == type ? std::optional(std::make_pair(first, second)) : std::nullopt;
    }

    FakeAccessibility& owner_;
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
    ++liveElements_;
    ++elementsCreated_;
    return std::make_unique<FakeElement>(*this, pid, windowIndex);
}

platform::AXValuePtr FakeAccessibility::makeValue(platform::AxValueKind type, double first, double second) {
    ++liveValues_;
    return std::make_unique<FakeValue>(*this, type, first, second);
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
    using Kind = ScriptedAttribute::Kind;
    switch (scripted.error != platform::AxError::success ? Kind::Absent : scripted.kind) {
        case Kind::Text:
            return {platform::AxError::success, scripted.text};
        case Kind::Point:
            return {platform::AxError::success,
                    makeValue(platform::AxValueKind::point, scripted.first, scripted.second)};
        case Kind::Size:
            return {platform::AxError::success,
                    makeValue(platform::AxValueKind::size, scripted.first, scripted.second)};
        case Kind::Other:
            return {platform::AxError::success, platform::AXOtherValue{}};
        case Kind::Absent:
            break;
    }
    return {scripted.error, std::monostate{}};
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
