#include "platform/window_system_adapter.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tallowin::platform {

namespace {

constexpr WindowListOption kSupportedOptions = kWindowListOnScreenOnly | kWindowListExcludeDesktopElements;

// An application (no window) or one of its windows.
class WindowSystemElement final : public AXElement {
public:
    WindowSystemElement(pid_t pid, std::optional<std::uint32_t> window) : pid_(pid), window_(window) {}
    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] const std::optional<std::uint32_t>& window() const { return window_; }

private:
    pid_t pid_;
    std::optional<std::uint32_t> window_;
};

class GeometryValue final : public AXValue {
public:
    GeometryValue(AxValueKind type, double first, double second) : type_(type), first_(first), second_(second) {}
    [[nodiscard]] std::optional<std::pair<double, double>> getValue(AxValueKind type) const override {
        if (type != type_) {
            return std::nullopt;
        }
        return std::pair{first_, second_};
    }

private:
    AxValueKind type_;
    double first_;
    double second_;
};

Value boundsOf(const WindowFrame& frame) {
    return Value::dictionary({{"X", Value::floating(frame.x)},
                              {"Y", Value::floating(frame.y)},
                              {"Width", Value::floating(frame.width)},
                              {"Height", Value::floating(frame.height)}});
}

// Elements come only from this adapter, but a caller may mix providers up.
const WindowSystemElement* asOurs(const AXElement& element) {
    return dynamic_cast<const WindowSystemElement*>(&element);
}

AXCopyResult failure(AxError error) { return AXCopyResult{error, std::monostate{}}; }

}  // namespace

AxError axErrorOf(WindowOutcome outcome) {
    switch (outcome) {
        case WindowOutcome::done:
            return AxError::success;
        case WindowOutcome::windowGone:
            return AxError::invalidUIElement;
        case WindowOutcome::badFrame:
            return AxError::illegalArgument;
        case WindowOutcome::refused:
            return AxError::failure;
        case WindowOutcome::notExact:
        case WindowOutcome::disconnected:
            return AxError::cannotComplete;
    }
    return AxError::failure;
}

Value windowListEntry(SystemWindow window) {
    Value::Entries entries;
    entries.emplace_back(kWindowNumberKey, Value::integer(window.id));
    if (window.pid) {
        entries.emplace_back(kWindowOwnerPIDKey, Value::integer(*window.pid));
    }
    if (window.owner) {
        entries.emplace_back(kWindowOwnerNameKey, Value::text(std::move(*window.owner)));
    }
    if (window.title) {
        entries.emplace_back(kWindowNameKey, Value::text(std::move(*window.title)));
    }
    entries.emplace_back(kWindowBoundsKey, boundsOf(window.frame));
    if (window.opacity) {
        entries.emplace_back(kWindowAlphaKey, Value::floating(*window.opacity));
    }
    return Value::dictionary(std::move(entries));
}

// The core measures the band that windows stay below from a menu bar window at
// the left edge; here that band is whatever lies above the placement area.
Value menubarEntry(const WindowFrame& placementArea) {
    return Value::dictionary({
        {kWindowNumberKey, Value::integer(kNullWindowID)},
        {kWindowOwnerNameKey, Value::text(std::string(kWindowServerOwnerName))},
        {kWindowNameKey, Value::text(std::string(kMenubarWindowName))},
        {kWindowBoundsKey, boundsOf({0, 0, placementArea.x + placementArea.width, placementArea.y})},
    });
}

std::optional<WindowList> WindowSystemWindowList::copyWindowInfo(WindowListOption options,
                                                                 std::uint32_t relativeToWindow) {
    if (options == kWindowListOptionIncludingWindow) {
        auto now = system_.windowNow(relativeToWindow);
        if (now.outcome == WindowOutcome::disconnected) {
            return std::nullopt;
        }
        WindowList list;
        if (now.window) {
            list.push_back(windowListEntry(std::move(*now.window)));
        }
        return list;
    }
    // Ordering relative to a window has no counterpart; an empty answer would
    // look like a real one.
    if ((options & ~kSupportedOptions) != 0) {
        return std::nullopt;
    }
    auto seen = system_.snapshot();
    if (!seen) {
        return std::nullopt;
    }
    WindowList list;
    list.reserve(seen->windows.size() + 1);
    list.push_back(menubarEntry(seen->placementArea));
    for (auto& window : seen->windows) {
        list.push_back(windowListEntry(std::move(window)));
    }
    return list;
}

bool WindowSystemAccessibility::isProcessTrustedWithOptions(bool /*prompt*/) { return true; }

bool WindowSystemAccessibility::isProcessTrusted() { return true; }

AXElementPtr WindowSystemAccessibility::createApplication(pid_t pid) {
    return std::make_unique<WindowSystemElement>(pid, std::nullopt);
}

SystemWindow* WindowSystemAccessibility::lastSeen(std::uint32_t window) {
    if (!seen_) {
        return nullptr;
    }
    const auto found =
        std::ranges::find_if(seen_->windows, [window](const SystemWindow& each) { return each.id == window; });
    return found == seen_->windows.end() ? nullptr : &*found;
}

AXCopyResult WindowSystemAccessibility::copyAttributeValue(const AXElement& element, std::string_view attribute) {
    const WindowSystemElement* ours = asOurs(element);
    if (ours == nullptr) {
        return failure(AxError::illegalArgument);
    }
    if (!ours->window()) {
        if (attribute != kAXWindowsAttributeName) {
            return failure(AxError::attributeUnsupported);
        }
        seen_ = system_.snapshot();
        if (!seen_) {
            return failure(AxError::cannotComplete);
        }
        AXElementArray windows;
        for (const auto& window : seen_->windows) {
            if (window.pid == ours->pid()) {
                windows.push_back(std::make_unique<WindowSystemElement>(ours->pid(), window.id));
            }
        }
        return AXCopyResult{AxError::success, std::move(windows)};
    }
    const SystemWindow* window = lastSeen(*ours->window());
    if (window == nullptr) {
        return failure(AxError::invalidUIElement);
    }
    if (attribute == kAXTitleAttributeName) {
        // An untitled window reports an empty title, so position and size decide.
        return AXCopyResult{AxError::success, window->title.value_or(std::string{})};
    }
    if (attribute == kAXPositionAttributeName) {
        return AXCopyResult{AxError::success,
                            std::make_unique<GeometryValue>(AxValueKind::point, window->frame.x, window->frame.y)};
    }
    if (attribute == kAXSizeAttributeName) {
        return AXCopyResult{AxError::success, std::make_unique<GeometryValue>(AxValueKind::size, window->frame.width,
                                                                              window->frame.height)};
    }
    return failure(AxError::attributeUnsupported);
}

AXValuePtr WindowSystemAccessibility::createValue(AxValueKind type, double first, double second) {
    if (type != AxValueKind::point && type != AxValueKind::size) {
        return nullptr;
    }
    return std::make_unique<GeometryValue>(type, first, second);
}

AxError WindowSystemAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                                     const AXValue& value) {
    const WindowSystemElement* ours = asOurs(element);
    if (ours == nullptr) {
        return AxError::illegalArgument;
    }
    if (!ours->window()) {
        return AxError::attributeUnsupported;
    }
    const bool position = attribute == kAXPositionAttributeName;
    if (!position && attribute != kAXSizeAttributeName) {
        return AxError::attributeUnsupported;
    }
    const auto pair = value.getValue(position ? AxValueKind::point : AxValueKind::size);
    if (!pair) {
        return AxError::illegalArgument;
    }
    SystemWindow* window = lastSeen(*ours->window());
    if (window == nullptr) {
        return AxError::invalidUIElement;
    }
    // The screen's origin for a window is the placement area's: nothing goes
    // under the bars.
    WindowFrame target = window->frame;
    if (position) {
        target.x = std::max(pair->first, seen_->placementArea.x);
        target.y = std::max(pair->second, seen_->placementArea.y);
    } else {
        target.width = pair->first;
        target.height = pair->second;
    }
    const WindowOutcome outcome = system_.setFrame(window->id, target);
    // Part of a request may have been carried out, or the application may
    // have answered with a size of its own: the next step and the report
    // start from where the window is.
    auto now = system_.windowNow(window->id);
    if (now.window) {
        *window = std::move(*now.window);
    } else if (now.outcome == WindowOutcome::windowGone) {
        std::erase_if(seen_->windows, [id = window->id](const SystemWindow& each) { return each.id == id; });
    }
    return axErrorOf(outcome);
}

std::string WindowSystemAccessibility::frameShortfall(const AXElement& window) {
    const WindowSystemElement* ours = asOurs(window);
    if (ours == nullptr || !ours->window()) {
        return {};
    }
    return system_.shortfall(*ours->window());
}

AxError WindowSystemAccessibility::performAction(const AXElement& element, std::string_view action) {
    const WindowSystemElement* ours = asOurs(element);
    if (ours == nullptr) {
        return AxError::illegalArgument;
    }
    if (!ours->window() || action != kAXRaiseActionName) {
        return AxError::actionUnsupported;
    }
    return axErrorOf(system_.raise(*ours->window()));
}

WindowSystemProvider::WindowSystemProvider(std::unique_ptr<StatusLines> status, std::unique_ptr<WindowSystem> system,
                                           std::unique_ptr<Preferences> preferences)
    : status_(std::move(status)),
      system_(std::move(system)),
      preferences_(std::move(preferences)),
      windowList_(*system_),
      accessibility_(*system_) {}

// The services refer to the window system, and it to the status lines: the
// members go in reverse order, services first.
WindowSystemProvider::~WindowSystemProvider() = default;

}  // namespace tallowin::platform
