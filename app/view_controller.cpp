#include "app/view_controller.h"

#include <string>

#include "platform/list_control.h"
#include "platform/repeating_timer.h"
#include "platform/text_control.h"

namespace tallowin {

namespace {
constexpr const char* kResolutionPresets[] = {"1920x1080", "1280x720"};
}  // namespace

ViewController::ViewController(PlatformServices services) : platform_(services) {}

// The timer handles invalidate themselves as they are destroyed.
ViewController::~ViewController() = default;

std::shared_ptr<platform::ListControl> ViewController::windowListComboBox() const { return windowListComboBox_.lock(); }
void ViewController::setWindowListComboBox(std::weak_ptr<platform::ListControl> control) {
    windowListComboBox_ = std::move(control);
}
std::shared_ptr<platform::ListControl> ViewController::resolutionComboBox() const { return resolutionComboBox_.lock(); }
void ViewController::setResolutionComboBox(std::weak_ptr<platform::ListControl> control) {
    resolutionComboBox_ = std::move(control);
}
std::shared_ptr<platform::TextControl> ViewController::message() const { return message_.lock(); }
void ViewController::setMessage(std::weak_ptr<platform::TextControl> control) { message_ = std::move(control); }

void ViewController::viewDidLoad() {
    if (auto resolutions = resolutionComboBox()) {
        resolutions->addItemsWithObjectValues({std::begin(kResolutionPresets), std::end(kResolutionPresets)});
        resolutions->selectItemAtIndex(0);
    }
    if (ensureScreenRecordingPermission()) {
        setupAccessibilityMonitoring();
        return;
    }
    if (auto text = message()) {
        text->setStringValue("Screen Recording Permission not granted");
    }
}

void ViewController::viewDidDisappear() {
    if (windowsUpdateTimer_) {
        windowsUpdateTimer_->invalidate();
    }
}

void ViewController::updateWindowListComboBox() {
    auto list = windowListComboBox();
    if (!list) {
        return;
    }
    list->removeAllItems();
    std::vector<std::string_view> titles;
    titles.reserve(visibleWindows_.size());
    for (const auto& window : visibleWindows_) {
        titles.emplace_back(window.title);
    }
    list->addItemsWithObjectValues(titles);

    if (selectedWindowId_) {
        for (std::size_t row = 0; row < visibleWindows_.size(); ++row) {
            if (visibleWindows_[row].windowID == *selectedWindowId_) {
                list->selectItemAtIndex(static_cast<std::ptrdiff_t>(row));
                return;
            }
        }
    }
    list->selectItemAtIndex(0);
    selectedWindowId_.reset();
    if (!visibleWindows_.empty()) {
        selectedWindowId_ = visibleWindows_.front().windowID;
    }
}

void ViewController::windowSelectionChanged(const platform::ListControl& sender) {
    const std::ptrdiff_t row = sender.indexOfSelectedItem();
    // A row the list does not hold is ignored like no row at all.
    if (row < 0 || static_cast<std::size_t>(row) >= visibleWindows_.size()) {
        return;
    }
    selectedWindowId_ = visibleWindows_[static_cast<std::size_t>(row)].windowID;
}

}  // namespace tallowin
