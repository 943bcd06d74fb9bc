#include "discovery/window_snapshot.h"

#include <algorithm>
#include <string>

#include "discovery/title_order.h"
#include "discovery/window_filter.h"
#include "discovery/window_title.h"
#include "platform/window_list_source.h"

namespace tallowin {

namespace {

struct Listed {
    std::uint32_t windowID;
    std::int32_t pid;
    std::string title;
    WindowBounds bounds;
    std::string sortKey;
};

const std::string* textOf(const platform::Value* value) { return value != nullptr ? value->asText() : nullptr; }

std::optional<Listed> listedFrom(const platform::Value& entryValue) {
    const WindowEntryFields entry = readEntryFields(entryValue);
    const auto bounds = boundsOfIncludedWindow(entry);
    if (!bounds) {
        return std::nullopt;
    }
    const auto pid = entry.ownerPID != nullptr ? entry.ownerPID->asInt32() : std::nullopt;
    if (!pid) {
        return std::nullopt;
    }
    const auto windowID = entry.number != nullptr ? entry.number->asUInt32() : std::nullopt;
    if (!windowID) {
        return std::nullopt;
    }
    std::string title = displayTitle(textOf(entry.name), textOf(entry.ownerName));
    std::string key = titleSortKey(title);
    return Listed{*windowID, *pid, std::move(title), *bounds, std::move(key)};
}

}  // namespace

std::optional<platform::WindowList> takeWindowSnapshot(platform::WindowListSource& source) {
    auto list = source.copyWindowInfo(platform::kWindowListOnScreenOnly | platform::kWindowListExcludeDesktopElements,
                                      platform::kNullWindowID);
    if (!list) {
        return std::nullopt;
    }
    const bool allDictionaries =
        std::all_of(list->begin(), list->end(), [](const platform::Value& entry) { return entry.isDictionary(); });
    if (!allDictionaries) {
        return std::nullopt;
    }
    return list;
}

std::vector<VisibleWindow> visibleWindowsFrom(const platform::WindowList& snapshot) {
    std::vector<Listed> listed;
    listed.reserve(snapshot.size());
    for (const platform::Value& entry : snapshot) {
        if (auto window = listedFrom(entry)) {
            listed.push_back(std::move(*window));
        }
    }
    // Keys are made once per entry above, never inside the comparison; the
    // sort moves pointers, not the entries.
    std::vector<Listed*> order(listed.size());
    std::transform(listed.begin(), listed.end(), order.begin(), [](Listed& window) { return &window; });
    std::stable_sort(order.begin(), order.end(),
                     [](const Listed* a, const Listed* b) { return a->sortKey < b->sortKey; });
    std::vector<VisibleWindow> windows;
    windows.reserve(listed.size());
    for (Listed* window : order) {
        windows.push_back(VisibleWindow{window->windowID, window->pid, std::move(window->title), window->bounds.x,
                                        window->bounds.y, window->bounds.width, window->bounds.height});
    }
    return windows;
}

std::optional<VisibleWindow> listedWindowNow(platform::WindowListSource& source, std::uint32_t windowID) {
    const auto list = source.copyWindowInfo(platform::kWindowListOptionIncludingWindow, windowID);
    if (!list) {
        return std::nullopt;
    }
    for (const platform::Value& entry : *list) {
        if (!entry.isDictionary()) {
            continue;
        }
        if (auto window = listedFrom(entry); window && window->windowID == windowID) {
            return VisibleWindow{window->windowID, window->pid,          std::move(window->title), window->bounds.x,
                                 window->bounds.y, window->bounds.width, window->bounds.height};
        }
    }
    return std::nullopt;
}

bool sameListing(const VisibleWindow& a, const VisibleWindow& b) {
    return a.windowID == b.windowID && a.pid == b.pid && a.title == b.title && a.x == b.x && a.y == b.y &&
           a.width == b.width && a.height == b.height;
}

}  // namespace tallowin
