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
        if (wanted != type) {
            return std::nullopt;
        }
        return std::make_pair(first, second);
    }

    FakeAccessibility& owner_;
    const platform::AxValueKind type;
    const double first;
    const double second;
};

std::string nameOf(const FakeElement& element) {
    if (element.windowIndex < 0) {
        return "app " + std::to_string(element.pid);
    }
    return "window " + std::to_string(element.windowIndex) + " of " + std::to_string(element.pid);
}

}  // namespace

void FakeAccessibility::log(std::string entry) {
    if (log_ != nullptr) {
        log_->add("ax: " + std::move(entry));
    }
}

bool FakeAccessibility::isProcessTrustedWithOptions(bool prompt) {
    trustPrompts.push_back(prompt);
    return trusted;
}

bool FakeAccessibility::isProcessTrusted() {
    ++isProcessTrustedCalls;
    return trusted;
}

platform::AXElementPtr FakeAccessibility::makeElement(pid_t pid, int windowIndex) {
    ++liveElements_;
    ++elementsCreated_;
    return std::make_unique<FakeElement>(*this, pid, windowIndex);
}

platform::AXValuePtr FakeAccessibility::makeValue(platform::AxValueKind type, double first, double second) {
    ++liveValues_;
    ++valuesCreated_;
    return std::make_unique<FakeValue>(*this, type, first, second);
}

platform::AXElementPtr FakeAccessibility::createApplication(pid_t pid) {
    log("create app " + std::to_string(pid));
    return makeElement(pid, -1);
}

platform::AXAttributeValue FakeAccessibility::answer(const ScriptedAttribute& scripted) {
    using Kind = ScriptedAttribute::Kind;
    switch (scripted.kind) {
        case Kind::Text:
            return scripted.text;
        case Kind::Point:
            return makeValue(platform::AxValueKind::point, scripted.first, scripted.second);
        case Kind::Size:
            return makeValue(platform::AxValueKind::size, scripted.first, scripted.second);
        case Kind::Other:
            return platform::AXOtherValue{};
        case Kind::Absent:
            break;
    }
    return std::monostate{};
}

FakeAXWindow* FakeAccessibility::windowOf(const platform::AXElement& element) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    auto app = applications.find(fake.pid);
    if (fake.windowIndex < 0 || app == applications.end() ||
        static_cast<std::size_t>(fake.windowIndex) >= app->second.windows.size()) {
        return nullptr;
    }
    return &app->second.windows[static_cast<std::size_t>(fake.windowIndex)];
}

platform::AXCopyResult FakeAccessibility::copyAttributeValue(const platform::AXElement& element,
                                                             std::string_view attribute) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    log("copy " + std::string(attribute) + " of " + nameOf(fake));
    if (fake.windowIndex < 0) {
        auto app = applications.find(fake.pid);
        if (attribute != platform::kAXWindowsAttributeName) {
            return {platform::AxError::attributeUnsupported, {}};
        }
        if (app == applications.end()) {
            return {platform::AxError::cannotComplete, {}};
        }
        if (app->second.windowsError != platform::AxError::success) {
            return {app->second.windowsError, {}};
        }
        platform::AXElementArray windows;
        for (std::size_t i = 0; i < app->second.windows.size(); ++i) {
            windows.push_back(makeElement(fake.pid, static_cast<int>(i)));
        }
        return {platform::AxError::success, std::move(windows)};
    }
    FakeAXWindow* window = windowOf(element);
    if (window == nullptr) {
        return {platform::AxError::invalidUIElement, {}};
    }
    const ScriptedAttribute* scripted = nullptr;
    if (attribute == platform::kAXTitleAttributeName) {
        scripted = &window->title;
    } else if (attribute == platform::kAXPositionAttributeName) {
        scripted = &window->position;
    } else if (attribute == platform::kAXSizeAttributeName) {
        scripted = &window->size;
    } else {
        return {platform::AxError::attributeUnsupported, {}};
    }
    if (scripted->error != platform::AxError::success) {
        return {scripted->error, {}};
    }
    return {platform::AxError::success, answer(*scripted)};
}

platform::AXValuePtr FakeAccessibility::createValue(platform::AxValueKind type, double first, double second) {
    if (valueCreationFails) {
        return nullptr;
    }
    return makeValue(type, first, second);
}

platform::AxError FakeAccessibility::setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                                       const platform::AXValue& value) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    FakeAXWindow* window = windowOf(element);
    const auto& boxed = dynamic_cast<const FakeValue&>(value);
    log("set " + std::string(attribute) + " (" + platform::formatDouble(boxed.first) + ", " + platform::formatDouble(boxed.second) +
        ") on " + nameOf(fake));
    if (window == nullptr) {
        return platform::AxError::invalidUIElement;
    }
    if (attribute == platform::kAXPositionAttributeName && boxed.type == platform::AxValueKind::point) {
        window->positionsSet.emplace_back(boxed.first, boxed.second);
        return window->setPositionResult;
    }
    if (attribute == platform::kAXSizeAttributeName && boxed.type == platform::AxValueKind::size) {
        window->sizesSet.emplace_back(boxed.first, boxed.second);
        return window->setSizeResult;
    }
    return platform::AxError::illegalArgument;
}

platform::AxError FakeAccessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    log("perform " + std::string(action) + " on " + nameOf(fake));
    FakeAXWindow* window = windowOf(element);
    if (window == nullptr) {
        return platform::AxError::invalidUIElement;
    }
    if (action != platform::kAXRaiseActionName) {
        return platform::AxError::actionUnsupported;
    }
    ++window->raises;
    return window->raiseResult;
}

}  // namespace tallowin::doubles
