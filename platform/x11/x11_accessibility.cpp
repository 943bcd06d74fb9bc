#include "platform/x11/x11_accessibility.h"

#include "platform/window_list_source.h"
#include "platform/x11/x11_client_windows.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_live_connection.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_window_manager.h"

namespace tallowin::x11 {

namespace {

using platform::AXCopyResult;
using platform::AxError;
using platform::AxValueKind;

constexpr platform::WindowListOption kListedWindows =
    platform::kWindowListOnScreenOnly | platform::kWindowListExcludeDesktopElements;

// Elements come only from this provider, but a caller may mix providers up.
const X11Element* asX11(const platform::AXElement& element) { return dynamic_cast<const X11Element*>(&element); }

AXCopyResult failure(AxError error) { return AXCopyResult{error, std::monostate{}}; }

// The one place where X11 outcomes become accessibility errors.
AxError axErrorOf(WmOutcome outcome) {
    switch (outcome) {
        case WmOutcome::done:
            return AxError::success;
        case WmOutcome::windowGone:
            return AxError::invalidUIElement;
        case WmOutcome::badRequest:
            return AxError::illegalArgument;
        case WmOutcome::notThere:
        case WmOutcome::disconnected:
            return AxError::cannotComplete;
    }
    return AxError::failure;
}

}  // namespace

std::optional<std::pair<double, double>> X11GeometryValue::getValue(AxValueKind type) const {
    if (type != type_) {
        return std::nullopt;
    }
    return std::pair{first_, second_};
}

// Nothing to grant on X11; a connection that cannot be had again ends the
// process before any caller could take it for a missing permission.
bool X11Accessibility::isProcessTrustedWithOptions(bool /*prompt*/) { return isProcessTrusted(); }

bool X11Accessibility::isProcessTrusted() {
    live_.windowManager();
    return true;
}

platform::AXElementPtr X11Accessibility::createApplication(pid_t pid) {
    return std::make_unique<X11Element>(pid, XCB_WINDOW_NONE);
}

AXCopyResult X11Accessibility::copyAttributeValue(const platform::AXElement& element, std::string_view attribute) {
    const X11Element* x11 = asX11(element);
    if (x11 == nullptr) {
        return failure(platform::AxError::illegalArgument);
    }
    if (x11->isApplication()) {
        if (attribute == platform::kAXWindowsAttributeName) {
            return windowsOf(*x11);
        }
        return failure(platform::AxError::attributeUnsupported);
    }
    return attributeOf(*x11, attribute);
}

AXCopyResult X11Accessibility::windowsOf(const X11Element& application) {
    auto windows =
        live_.retried([](WindowManager& windowManager) { return listClientWindows(windowManager, kListedWindows); });
    if (!windows) {
        return failure(platform::AxError::cannotComplete);
    }
    platform::AXElementArray elements;
    for (const auto& window : *windows) {
        if (window.pid == application.pid()) {
            elements.push_back(std::make_unique<X11Element>(application.pid(), window.id));
        }
    }
    return AXCopyResult{platform::AxError::success, std::move(elements)};
}

AXCopyResult X11Accessibility::attributeOf(const X11Element& window, std::string_view attribute) {
    const bool title = attribute == platform::kAXTitleAttributeName;
    const bool position = attribute == platform::kAXPositionAttributeName;
    const bool size = attribute == platform::kAXSizeAttributeName;
    if (!title && !position && !size) {
        return failure(platform::AxError::attributeUnsupported);
    }
    bool connected = true;
    const auto client = live_.retried([&](WindowManager& windowManager) {
        auto seen = windowManager.windowAsLastSeen(window.window());
        connected = windowManager.connection().alive();
        return seen;
    });
    if (!client) {
        return failure(connected ? AxError::invalidUIElement : AxError::cannotComplete);
    }
    if (title) {
        // An untitled window reports an empty title, so position and size decide.
        return AXCopyResult{platform::AxError::success, client->name.value_or(std::string{})};
    }
    if (position) {
        return AXCopyResult{platform::AxError::success,
                            std::make_unique<X11GeometryValue>(AxValueKind::point, client->frame.x, client->frame.y)};
    }
    return AXCopyResult{platform::AxError::success, std::make_unique<X11GeometryValue>(
                                                        AxValueKind::size, client->frame.width, client->frame.height)};
}

platform::AXValuePtr X11Accessibility::createValue(AxValueKind type, double first, double second) {
    if (type != AxValueKind::point && type != AxValueKind::size) {
        return nullptr;
    }
    return std::make_unique<X11GeometryValue>(type, first, second);
}

AxError X11Accessibility::setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                            const platform::AXValue& value) {
    const X11Element* x11 = asX11(element);
    if (x11 == nullptr) {
        return platform::AxError::illegalArgument;
    }
    if (x11->isApplication()) {
        return platform::AxError::attributeUnsupported;
    }
    const bool position = attribute == platform::kAXPositionAttributeName;
    if (!position && attribute != platform::kAXSizeAttributeName) {
        return platform::AxError::attributeUnsupported;
    }
    const auto pair = value.getValue(position ? AxValueKind::point : AxValueKind::size);
    if (!pair) {
        return platform::AxError::illegalArgument;
    }
    return axErrorOf(live_.retried([&](WindowManager& windowManager) {
        return position ? windowManager.moveFrame(x11->window(), pair->first, pair->second)
                        : windowManager.resizeFrame(x11->window(), pair->first, pair->second);
    }));
}

std::string X11Accessibility::frameShortfall(const platform::AXElement& window) {
    const X11Element* x11 = asX11(window);
    if (x11 == nullptr || x11->isApplication()) {
        return {};
    }
    return live_.retried([&](WindowManager& windowManager) { return windowManager.shortfall(x11->window()); });
}

AxError X11Accessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const X11Element* x11 = asX11(element);
    if (x11 == nullptr) {
        return platform::AxError::illegalArgument;
    }
    if (x11->isApplication() || action != platform::kAXRaiseActionName) {
        return platform::AxError::actionUnsupported;
    }
    return axErrorOf(live_.retried([&](WindowManager& windowManager) { return windowManager.raise(x11->window()); }));
}

}  // namespace tallowin::x11
