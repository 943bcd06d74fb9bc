#include "platform/x11/x11_accessibility.h"

#include "platform/window_list_source.h"
#include "platform/x11/x11_client_windows.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_frame_control.h"
#include "platform/x11/x11_window_list.h"

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

}  // namespace

std::optional<std::pair<double, double>> X11GeometryValue::getValue(AxValueKind type) const {
    if (type != type_) {
        return std::nullopt;
    }
    return std::pair{first_, second_};
}

bool X11Accessibility::isProcessTrustedWithOptions(bool /*prompt*/) { return connection_.alive(); }

bool X11Accessibility::isProcessTrusted() { return connection_.alive(); }

platform::AXElementPtr X11Accessibility::createApplication(pid_t pid) {
    return std::make_unique<X11Element>(pid, XCB_WINDOW_NONE);
}

AXCopyResult X11Accessibility::copyAttributeValue(const platform::AXElement& element, std::string_view attribute) {
    const X11Element* x11 = asX11(element);
    if (x11 == nullptr) {
        return failure(platform::AxError::illegalArgument);
    }
    if (!connection_.alive()) {
        return failure(platform::AxError::cannotComplete);
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
    auto windows = listClientWindows(connection_, kListedWindows);
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
    const auto screen = readScreenState(connection_);
    if (!screen) {
        return failure(platform::AxError::cannotComplete);
    }
    auto windows = readClientWindows(connection_, {window.window()}, screen->currentDesktop);
    if (windows.empty()) {
        return failure(platform::AxError::invalidUIElement);
    }
    const ClientWindow& client = windows.front();
    if (title) {
        // An untitled window reports an empty title, so position and size decide.
        return AXCopyResult{platform::AxError::success, client.name.value_or(std::string{})};
    }
    if (position) {
        return AXCopyResult{platform::AxError::success,
                            std::make_unique<X11GeometryValue>(AxValueKind::point, client.frame.x, client.frame.y)};
    }
    return AXCopyResult{platform::AxError::success,
                        std::make_unique<X11GeometryValue>(AxValueKind::size, client.frame.width, client.frame.height)};
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
    const auto screen = readScreenState(connection_);
    if (!screen) {
        return platform::AxError::cannotComplete;
    }
    auto windows = readClientWindows(connection_, {x11->window()}, screen->currentDesktop);
    if (windows.empty()) {
        return platform::AxError::invalidUIElement;
    }
    FrameRect target = windows.front().frame;
    if (position) {
        target.x = pair->first;
        target.y = pair->second;
    } else {
        target.width = pair->first;
        target.height = pair->second;
    }
    return placeFrame(connection_, x11->window(), target);
}

AxError X11Accessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const X11Element* x11 = asX11(element);
    if (x11 == nullptr) {
        return platform::AxError::illegalArgument;
    }
    if (x11->isApplication() || action != platform::kAXRaiseActionName) {
        return platform::AxError::actionUnsupported;
    }
    return raiseWindow(connection_, x11->window());
}

}  // namespace tallowin::x11
