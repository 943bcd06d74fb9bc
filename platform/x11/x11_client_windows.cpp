#include "platform/x11/x11_client_windows.h"

#include <algorithm>
#include <limits>
#include <span>
#include <string_view>
#include <unordered_set>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_process_ids.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_text.h"

namespace tallowin::x11 {

namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kWatchedEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;

std::optional<FrameExtents> extentsOf(const PropertyReply& reply) {
    const auto values = cardinals(reply);
    if (values.size() < 4) {
        return std::nullopt;
    }
    return FrameExtents{values[0], values[1], values[2], values[3]};
}

// WM_CLASS is "instance\0class\0"; the class names the application.
std::optional<std::string> classPartOf(const PropertyReply& reply) {
    const std::string_view bytes = bytesOf(reply);
    const auto separator = bytes.find('\0');
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = bytes.substr(separator + 1);
    if (const auto end = rest.find('\0'); end != std::string_view::npos) {
        rest = rest.substr(0, end);
    }
    if (rest.empty()) {
        return std::nullopt;
    }
    return latin1ToUtf8(rest);
}

bool containsAtom(std::span<const xcb_atom_t> atoms, xcb_atom_t atom) {
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

constexpr std::uint32_t lengthOf(ClientWindows::Property property) {
    switch (property) {
        case ClientWindows::kState:
        case ClientWindows::kType:
            return 64;
        case ClientWindows::kClass:
        case ClientWindows::kNetName:
        case ClientWindows::kName:
            return kTextLength;
        case ClientWindows::kFrameExtents:
        case ClientWindows::kGtkExtents:
            return 4;
        default:
            return 1;
    }
}

}  // namespace

FrameRect outerFrame(std::int32_t clientRootX, std::int32_t clientRootY, std::uint16_t clientWidth,
                     std::uint16_t clientHeight, const FrameExtents& decorations, const FrameExtents& csdShadow) {
    const double left = static_cast<double>(decorations.left) - static_cast<double>(csdShadow.left);
    const double top = static_cast<double>(decorations.top) - static_cast<double>(csdShadow.top);
    const double horizontal = static_cast<double>(decorations.left) + static_cast<double>(decorations.right) -
                              static_cast<double>(csdShadow.left) - static_cast<double>(csdShadow.right);
    const double vertical = static_cast<double>(decorations.top) + static_cast<double>(decorations.bottom) -
                            static_cast<double>(csdShadow.top) - static_cast<double>(csdShadow.bottom);
    return FrameRect{static_cast<double>(clientRootX) - left, static_cast<double>(clientRootY) - top,
                     std::max(0.0, static_cast<double>(clientWidth) + horizontal),
                     std::max(0.0, static_cast<double>(clientHeight) + vertical)};
}

ClientWindows::ClientWindows(X11Connection& connection) : connection_(connection) {
    auto& ewmh = connection.ewmh();
    atoms_ = {ewmh._NET_WM_STATE,
              ewmh._NET_WM_DESKTOP,
              ewmh._NET_WM_WINDOW_TYPE,
              ewmh._NET_WM_PID,
              XCB_ATOM_WM_CLASS,
              ewmh._NET_WM_NAME,
              XCB_ATOM_WM_NAME,
              ewmh._NET_FRAME_EXTENTS,
              connection.atoms().gtkFrameExtents,
              connection.atoms().netWmWindowOpacity};
    connection.setEventObserver([this](const xcb_generic_event_t& event) { observe(event); });
    // Stacking changes come as property events of the root.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection.xcb(), connection.root(), XCB_CW_EVENT_MASK, &rootEvents);
}

void ClientWindows::watch(xcb_window_t window) {
    xcb_change_window_attributes(connection_.xcb(), window, XCB_CW_EVENT_MASK, &kWatchedEvents);
}

void ClientWindows::markLayoutStale(xcb_window_t window, bool parentChanged) {
    const auto mark = [&](xcb_window_t client) {
        if (const auto found = records_.find(client); found != records_.end()) {
            found->second.layoutStale = true;
            if (parentChanged) {
                found->second.parent.reset();
            }
        }
    };
    mark(window);
    const auto [first, last] = clientsOfFrame_.equal_range(window);
    for (auto it = first; it != last; ++it) {
        mark(it->second);
    }
}

void ClientWindows::observe(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7F) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            const auto found = records_.find(notify.window);
            if (found == records_.end()) {
                return;
            }
            for (std::size_t i = 0; i < atoms_.size(); ++i) {
                if (atoms_[i] == notify.atom && notify.atom != XCB_ATOM_NONE) {
                    found->second.staleProperties |= 1U << i;
                }
            }
            return;
        }
        case XCB_CONFIGURE_NOTIFY:
            markLayoutStale(reinterpret_cast<const xcb_configure_notify_event_t&>(event).window, false);
            return;
        case XCB_MAP_NOTIFY:
            markLayoutStale(reinterpret_cast<const xcb_map_notify_event_t&>(event).window, false);
            return;
        case XCB_UNMAP_NOTIFY:
            markLayoutStale(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window, false);
            return;
        case XCB_REPARENT_NOTIFY:
            markLayoutStale(reinterpret_cast<const xcb_reparent_notify_event_t&>(event).window, true);
            return;
        case XCB_DESTROY_NOTIFY: {
            const xcb_window_t window = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
            markLayoutStale(window, true);
            if (const auto found = records_.find(window); found != records_.end()) {
                found->second.gone = true;
            }
            clientsOfFrame_.erase(window);
            return;
        }
        default:
            return;
    }
}

// Everything stale of every window is asked for before any answer is read:
// one round trip, however many windows. Answers are taken in the order asked,
// as XCB looks a reply up among those read ahead of it.
struct ClientWindows::PendingRead {
    struct PropertyCookie {
        ClientWindows::Property property;
        xcb_get_property_cookie_t cookie;
    };
    struct Layout {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t position;
    };
    Record* record = nullptr;
    std::vector<PropertyCookie> properties;
    std::optional<Layout> layout;
    std::optional<xcb_query_tree_cookie_t> parent;
};

void ClientWindows::requestStale(Record& record, PendingRead& pending) {
    xcb_connection_t* xcb = connection_.xcb();
    pending.record = &record;
    for (std::uint8_t i = 0; i < kPropertyCount; ++i) {
        if ((record.staleProperties & (1U << i)) != 0) {
            const auto property = static_cast<Property>(i);
            pending.properties.push_back(
                {property, requestProperty(connection_, record.id, atoms_[i], lengthOf(property))});
        }
    }
    record.staleProperties = 0;
    if (record.layoutStale) {
        // The client's root position alone places the frame: the extents
        // give the rest, so the frames themselves need not be read.
        pending.layout =
            PendingRead::Layout{xcb_get_window_attributes(xcb, record.id), xcb_get_geometry(xcb, record.id),
                                xcb_translate_coordinates(xcb, record.id, connection_.root(), 0, 0)};
        record.layoutStale = false;
    }
    if (!record.parent) {
        pending.parent = xcb_query_tree(xcb, record.id);
    }
}

void ClientWindows::takeReplies(PendingRead& pending) {
    auto& ewmh = connection_.ewmh();
    Record* record = pending.record;
    for (const auto& [property, cookie] : pending.properties) {
        const auto reply = awaitProperty(connection_, cookie);
        if (!reply) {
            record->gone = true;
            continue;
        }
        const auto values = cardinals(reply);
        switch (property) {
            case kState:
                record->states.assign(values.begin(), values.end());
                break;
            case kDesktop:
                record->desktop = values.empty() ? std::nullopt : std::optional(values[0]);
                break;
            case kType:
                record->desktopType = containsAtom(values, ewmh._NET_WM_WINDOW_TYPE_DESKTOP);
                record->dockType = containsAtom(values, ewmh._NET_WM_WINDOW_TYPE_DOCK);
                break;
            case kPid:
                record->pid = values.empty() ? std::nullopt : pidFrom(values[0]);
                record->pidLookedUp = false;
                break;
            case kClass:
                record->className = classPartOf(reply);
                break;
            case kNetName:
                record->netName = textOf(connection_, reply);
                break;
            case kName:
                record->name = textOf(connection_, reply);
                break;
            case kFrameExtents:
                record->extents = extentsOf(reply).value_or(FrameExtents{});
                break;
            case kGtkExtents:
                record->csdShadow = extentsOf(reply).value_or(FrameExtents{});
                break;
            case kOpacity:
                record->alpha = values.empty()
                                    ? std::nullopt
                                    : std::optional(static_cast<double>(values[0]) / static_cast<double>(0xFFFFFFFFU));
                break;
            case kPropertyCount:
                break;
        }
    }
    XCallLog& log = connection_.log();
    xcb_connection_t* xcb = connection_.xcb();
    if (pending.layout) {
        const auto& [attributesCookie, geometryCookie, positionCookie] = *pending.layout;
        const auto attributes =
            awaitReply(log, "GetWindowAttributes", xcb, xcb_get_window_attributes_reply, attributesCookie);
        const auto geometry = awaitReply(log, "GetGeometry", xcb, xcb_get_geometry_reply, geometryCookie);
        const auto position =
            awaitReply(log, "TranslateCoordinates", xcb, xcb_translate_coordinates_reply, positionCookie);
        if (!attributes || !geometry || !position) {
            record->gone = true;
        } else {
            record->viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            record->width = geometry->width;
            record->height = geometry->height;
            record->border = geometry->border_width;
            record->rootX = position->dst_x;
            record->rootY = position->dst_y;
        }
    }
    if (pending.parent) {
        const auto tree = awaitReply(log, "QueryTree", xcb, xcb_query_tree_reply, *pending.parent);
        if (!tree) {
            record->gone = true;
            return;
        }
        record->parent = tree->parent;
        // A frame that moves tells its own watchers, not the client's.
        if (tree->parent != tree->root && tree->parent != XCB_WINDOW_NONE) {
            clientsOfFrame_.emplace(tree->parent, record->id);
            watch(tree->parent);
        }
    }
}

void ClientWindows::readStale(std::vector<Record*>& stale) {
    std::vector<PendingRead> pending(stale.size());
    for (std::size_t i = 0; i < stale.size(); ++i) {
        requestStale(*stale[i], pending[i]);
    }
    for (PendingRead& read : pending) {
        takeReplies(read);
    }
}

void ClientWindows::readMissingPids(std::vector<Record*>& records) {
    std::vector<Record*> missing;
    std::vector<xcb_window_t> ids;
    for (Record* record : records) {
        if (!record->pid && !record->pidLookedUp && !record->gone) {
            record->pidLookedUp = true;
            missing.push_back(record);
            ids.push_back(record->id);
        }
    }
    const auto pids = pidsFromServer(connection_, ids);
    for (std::size_t i = 0; i < missing.size(); ++i) {
        missing[i]->pid = pids[i];
    }
    for (Record* record : records) {
        // A window without WM_CLASS is still an application the user knows by
        // its process's name.
        if (!record->className && !record->processName && record->pid) {
            record->processName = processName(*record->pid);
        }
    }
}

platform::SystemWindow systemWindow(ClientWindow&& window) {
    return platform::SystemWindow{
        .id = window.id,
        .pid = window.pid,
        .title = std::move(window.name),
        .owner = std::move(window.ownerName),
        .frame = {window.frame.x, window.frame.y, window.frame.width, window.frame.height},
        .opacity = window.alpha,
    };
}

ClientWindow ClientWindows::compose(const Record& record, std::uint32_t currentDesktop) const {
    auto& ewmh = connection_.ewmh();
    ClientWindow client;
    client.id = record.id;
    client.pid = record.pid;
    client.ownerName = record.className ? record.className : record.processName;
    client.name = record.netName ? record.netName : record.name;
    client.alpha = record.alpha;
    client.extents = record.extents;
    if (!managed_) {
        // Unmanaged: the window's own border is its only decoration.
        client.extents.left += record.border;
        client.extents.right += record.border;
        client.extents.top += record.border;
        client.extents.bottom += record.border;
    }
    client.csdShadow = record.csdShadow;
    client.clientWidth = record.width;
    client.clientHeight = record.height;
    client.frame =
        outerFrame(record.rootX, record.rootY, record.width, record.height, client.extents, record.csdShadow);
    const bool hidden = containsAtom(record.states, ewmh._NET_WM_STATE_HIDDEN);
    client.maximizedOrFullscreen = containsAtom(record.states, ewmh._NET_WM_STATE_MAXIMIZED_VERT) ||
                                   containsAtom(record.states, ewmh._NET_WM_STATE_MAXIMIZED_HORZ) ||
                                   containsAtom(record.states, ewmh._NET_WM_STATE_FULLSCREEN);
    const bool onDesktop = !record.desktop || *record.desktop == kAllDesktops || *record.desktop == currentDesktop;
    client.onScreen = record.viewable && !hidden && onDesktop;
    client.desktopType = record.desktopType;
    client.dockType = record.dockType;
    return client;
}

void ClientWindows::readEach(const std::vector<xcb_window_t>& ids, std::uint32_t currentDesktop,
                             const std::function<void(ClientWindow&&)>& take) {
    connection_.drainEvents();
    std::vector<Record*> records;
    records.reserve(ids.size());
    for (const xcb_window_t id : ids) {
        auto [found, added] = records_.try_emplace(id);
        Record& record = found->second;
        record.id = id;
        if (added) {
            // Watched before it is read, so that whatever changes after the
            // read is reported.
            watch(id);
        }
        records.push_back(&record);
    }
    std::vector<Record*> stale;
    for (Record* record : records) {
        if (record->staleProperties != 0 || record->layoutStale || !record->parent) {
            stale.push_back(record);
        }
    }
    readStale(stale);
    readMissingPids(records);
    for (const Record* record : records) {
        if (!record->gone) {
            take(compose(*record, currentDesktop));
        }
    }
    std::erase_if(records_, [](const auto& entry) { return entry.second.gone; });
}

std::vector<ClientWindow> ClientWindows::read(const std::vector<xcb_window_t>& ids, std::uint32_t currentDesktop,
                                              bool onScreenOnly) {
    std::vector<ClientWindow> windows;
    windows.reserve(ids.size());
    readEach(ids, currentDesktop, [&](ClientWindow&& window) {
        if (!onScreenOnly || window.onScreen) {
            windows.push_back(std::move(window));
        }
    });
    return windows;
}

// Straight into the listing's shape: a listing of thousands of windows would
// otherwise build each of them twice.
std::vector<platform::SystemWindow> ClientWindows::listed(const std::vector<xcb_window_t>& ids,
                                                          std::uint32_t currentDesktop) {
    std::vector<platform::SystemWindow> windows;
    windows.reserve(ids.size());
    readEach(ids, currentDesktop, [&](ClientWindow&& window) {
        if (window.onScreen && !window.desktopType && !window.dockType) {
            windows.push_back(systemWindow(std::move(window)));
        }
    });
    return windows;
}

std::optional<ClientWindow> ClientWindows::unchanged(xcb_window_t id, std::uint32_t currentDesktop) {
    connection_.drainEvents();
    const auto found = records_.find(id);
    if (found == records_.end()) {
        return std::nullopt;
    }
    const Record& record = found->second;
    if (record.gone || record.layoutStale || !record.parent || record.staleProperties != 0) {
        return std::nullopt;
    }
    return compose(record, currentDesktop);
}

void ClientWindows::keepOnly(const std::vector<xcb_window_t>& ids) {
    if (records_.size() <= ids.size()) {
        return;
    }
    const std::unordered_set<xcb_window_t> kept(ids.begin(), ids.end());
    std::erase_if(records_, [&](const auto& entry) { return !kept.contains(entry.first); });
    std::erase_if(clientsOfFrame_, [&](const auto& entry) { return !kept.contains(entry.second); });
}

}  // namespace tallowin::x11
