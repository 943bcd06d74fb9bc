#include "tests/doubles/doubles.h"

#include <cmath>

#include "platform/number_text.h"

namespace tallowin::doubles {

platform::Value windowEntry(const WindowEntry& entry) {
    using platform::Value;
    Value::Entries bounds;
    if (entry.x) bounds.emplace_back("X", Value::floating(*entry.x));
    if (entry.y) bounds.emplace_back("Y", Value::floating(*entry.y));
    if (entry.width) bounds.emplace_back("Width", Value::floating(*entry.width));
    if (entry.height) bounds.emplace_back("Height", Value::floating(*entry.height));

    Value::Entries fields;
    if (entry.number) fields.emplace_back(platform::kWindowNumberKey, Value::integer(*entry.number));
    if (entry.pid) fields.emplace_back(platform::kWindowOwnerPIDKey, Value::integer(*entry.pid));
    if (entry.name) fields.emplace_back(platform::kWindowNameKey, Value::text(*entry.name));
    if (entry.owner) fields.emplace_back(platform::kWindowOwnerNameKey, Value::text(*entry.owner));
    if (entry.alpha) fields.emplace_back(platform::kWindowAlphaKey, Value::floating(*entry.alpha));
    fields.emplace_back(platform::kWindowBoundsKey, Value::dictionary(std::move(bounds)));
    return Value::dictionary(std::move(fields));
}

platform::WindowList windowList(const std::vector<WindowEntry>& entries) {
    platform::WindowList list;
    for (const auto& entry : entries) list.push_back(windowEntry(entry));
    return list;
}

namespace {

struct FakeDomain final : platform::PreferencesDomain {
    FakeDomain(FakePreferences& owner, std::string_view name) : preferences(&owner), suite(name) {}
    void setObject(const platform::IntegerDictionary& value, std::string_view key) override {
        std::string entry = "prefs set: " + suite + " " + std::string(key);
        for (const auto& [name, number] : value) {
            entry += " " + name + "=" + std::to_string(number);
        }
        preferences->note(entry);
    }
    void setInteger(std::int64_t value, std::string_view key) override {
        preferences->note("prefs set: " + suite + " " + std::string(key) + " " + std::to_string(value));
    }
    bool synchronize() override {
        preferences->note("prefs synchronize: " + suite);
        return preferences->canSynchronize;
    }
    FakePreferences* preferences;
    std::string suite;
};

struct VirtualTimer final : platform::RepeatingTimer {
    explicit VirtualTimer(std::shared_ptr<VirtualTimerFactory::Scheduled> timer) : scheduled(std::move(timer)) {}
    ~VirtualTimer() override { scheduled->valid = false; }
    void invalidate() override { scheduled->valid = false; }
    std::shared_ptr<VirtualTimerFactory::Scheduled> scheduled;
};

// Each holds a token of its FakeAccessibility, so it counts as live.
struct FakeElement final : platform::AXElement {
    FakeElement(std::shared_ptr<int> live, FakeAXApplication* application, int windowIndex)
        : token(std::move(live)), app(application), index(windowIndex) {}
    FakeAXWindow& window() const { return app->windows.at(static_cast<std::size_t>(index)); }
    std::shared_ptr<int> token;
    FakeAXApplication* app;
    int index;  // -1 for the application itself
};

struct FakeValue final : platform::AXValue {
    FakeValue(std::shared_ptr<int> live, AxValueKind kind, double a, double b)
        : token(std::move(live)), type(kind), first(a), second(b) {}
    [[nodiscard]] std::optional<std::pair<double, double>> getValue(AxValueKind wanted) const override {
        return wanted == type ? std::optional(std::make_pair(first, second)) : std::nullopt;
    }
    std::shared_ptr<int> token;
    AxValueKind type;
    double first;
    double second;
};

}  // namespace

std::unique_ptr<platform::PreferencesDomain> FakePreferences::openSuite(std::string_view suiteName) {
    return canOpen ? std::make_unique<FakeDomain>(*this, suiteName) : nullptr;
}

std::unique_ptr<platform::RepeatingTimer> VirtualTimerFactory::scheduledTimer(double intervalSeconds,
                                                                              std::function<void()> callback) {
    const std::int64_t interval = std::max<std::int64_t>(1, std::llround(intervalSeconds * 1000.0));
    scheduled.push_back(std::make_shared<Scheduled>(Scheduled{interval, nowMs + interval, std::move(callback)}));
    return std::make_unique<VirtualTimer>(scheduled.back());
}

void VirtualTimerFactory::advanceMs(std::int64_t milliseconds) {
    const std::int64_t until = nowMs + milliseconds;
    const auto next = [](const auto& timer) { return timer->valid ? timer->nextFireMs : INT64_MAX; };
    for (auto due = std::ranges::min_element(scheduled, {}, next); due != scheduled.end() && next(*due) <= until;
         due = std::ranges::min_element(scheduled, {}, next)) {
        const std::shared_ptr<Scheduled> timer = *due;  // its callback may add timers
        nowMs = timer->nextFireMs;
        timer->nextFireMs += timer->intervalMs;
        timer->callback();
    }
    nowMs = until;
}

platform::AXElementPtr FakeAccessibility::createApplication(pid_t pid) {
    ++elementsCreated;
    auto app = applications.find(pid);
    return std::make_unique<FakeElement>(token_, app == applications.end() ? nullptr : &app->second, -1);
}

platform::AXCopyResult FakeAccessibility::copyAttributeValue(const platform::AXElement& element,
                                                             std::string_view attribute) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    if (fake.index < 0) {
        if (attribute != platform::kAXWindowsAttributeName || fake.app == nullptr) return {AxError::cannotComplete, {}};
        if (fake.app->windowsError != AxError::success || fake.app->windowsNotAnArray) {
            return {fake.app->windowsError, {}};
        }
        platform::AXElementArray windows;
        for (std::size_t i = 0; i < fake.app->windows.size(); ++i) {
            windows.push_back(std::make_unique<FakeElement>(token_, fake.app, static_cast<int>(i)));
        }
        return {AxError::success, std::move(windows)};
    }
    const FakeAXWindow& window = fake.window();
    const ScriptedAttribute& scripted = attribute == platform::kAXTitleAttributeName      ? window.title
                                        : attribute == platform::kAXPositionAttributeName ? window.position
                                                                                          : window.size;
    if (scripted.error != AxError::success) return {scripted.error, {}};
    const auto answer = [&](const auto& value) -> platform::AXAttributeValue {
        if constexpr (std::is_same_v<decltype(value), const AxValueKind&>) {
            return std::make_unique<FakeValue>(token_, value, scripted.first, scripted.second);
        } else {
            return value;
        }
    };
    return {AxError::success, std::visit(answer, scripted.value)};
}

platform::AXValuePtr FakeAccessibility::createValue(AxValueKind type, double first, double second) {
    return valueCreationFails ? nullptr : std::make_unique<FakeValue>(token_, type, first, second);
}

AxError FakeAccessibility::setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                             const platform::AXValue& value) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    const auto& boxed = dynamic_cast<const FakeValue&>(value);
    note("ax: set " + std::string(attribute) + " (" + platform::formatDouble(boxed.first) + ", " +
         platform::formatDouble(boxed.second) + ") on window " + std::to_string(fake.index));
    FakeAXWindow& window = fake.window();
    // Only a readable geometry value follows a set; an unreadable one stays so.
    const auto follows = [](ScriptedAttribute& scripted, AxError result, double first, double second) {
        if (result == AxError::success && scripted.error == AxError::success &&
            std::holds_alternative<AxValueKind>(scripted.value)) {
            scripted.first = first;
            scripted.second = second;
        }
        return result;
    };
    if (attribute == platform::kAXPositionAttributeName && boxed.type == AxValueKind::point) {
        return follows(window.position, window.setPositionResult, std::max(boxed.first, leftInset),
                       std::max(boxed.second, topInset));
    }
    if (attribute == platform::kAXSizeAttributeName && boxed.type == AxValueKind::size) {
        window.sizesSet.emplace_back(boxed.first, boxed.second);
        if (window.takesSizeBack) {
            return window.setSizeResult;
        }
        return follows(window.size, window.setSizeResult, boxed.first, boxed.second);
    }
    return AxError::illegalArgument;
}

std::string FakeAccessibility::frameShortfall(const platform::AXElement& window) {
    return dynamic_cast<const FakeElement&>(window).window().shortfall;
}

AxError FakeAccessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const auto& fake = dynamic_cast<const FakeElement&>(element);
    note("ax: perform " + std::string(action) + " on window " + std::to_string(fake.index));
    return action == platform::kAXRaiseActionName ? fake.window().raiseResult : AxError::actionUnsupported;
}

WindowSystemRig::WindowSystemRig(const Make& make) {
    auto status = std::make_unique<platform::StatusLines>();
    auto system = make(*status);
    provider = std::make_unique<platform::WindowSystemProvider>(std::move(status), std::move(system),
                                                                std::make_unique<FakePreferences>(&log));
    provider->reportTo(output);
    controller = std::make_unique<ViewController>(PlatformServices{*provider, timers, application, workspace, output});
    controller->setWindowListComboBox(windows);
    controller->setResolutionComboBox(resolutions);
    controller->setMessage(std::make_shared<FakeTextControl>());
    controller->viewDidLoad();
    resolutions->selected = 0;
}

void WindowSystemRig::place(const std::string& title) {
    const auto row = std::ranges::find(windows->rows, title);
    windows->selected = row == windows->rows.end() ? -1 : row - windows->rows.begin();
    log.clear();
    output.lines.clear();
    controller->handlePlaceButtonClick();
}

}  // namespace tallowin::doubles
