#include "platform/x11/x11_connection.h"

#include <poll.h>
#include <xcb/randr.h>
#include <xcb/res.h>

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace tallowin::x11 {

namespace {

xcb_screen_t* screenOf(xcb_connection_t* connection, int screenNumber) {
    auto iterator = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int index = 0; iterator.rem > 0; ++index, xcb_screen_next(&iterator)) {
        if (index == screenNumber) {
            return iterator.data;
        }
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::open(const char* displayName) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<X11Connection> opened(new X11Connection(connection, screenNumber));
    if (!opened->initialise()) {
        return nullptr;
    }
    return opened;
}

X11Connection::X11Connection(xcb_connection_t* connection, int screenNumber)
    : connection_(connection), screenNumber_(screenNumber) {}

X11Connection::~X11Connection() {
    if (alive()) {
        if (probeWindow_ != XCB_WINDOW_NONE) {
            xcb_destroy_window(connection_, probeWindow_);
        }
        // XCB does not sync on disconnect; without this the server may drop
        // the last requests we sent.
        sync();
    }
    if (ewmhReady_) {
        xcb_ewmh_connection_wipe(&ewmh_);
    }
    xcb_disconnect(connection_);
}

bool X11Connection::initialise() {
    screen_ = screenOf(connection_, screenNumber_);
    if (screen_ == nullptr) {
        return false;
    }
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(connection_, &ewmh_);
    constexpr std::array<std::string_view, 4> names{"_GTK_FRAME_EXTENTS", "_NET_WM_WINDOW_OPACITY", "COMPOUND_TEXT",
                                                    "_TALLOWIN_TIMESTAMP"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        cookies[i] = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
    }
    const xcb_query_extension_reply_t* xres = xcb_get_extension_data(connection_, &xcb_res_id);
    hasXRes_ = xres != nullptr && xres->present != 0;
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(connection_, &xcb_randr_id);
    std::optional<xcb_randr_query_version_cookie_t> randrVersion;
    if (randr != nullptr && randr->present != 0) {
        randrVersion = xcb_randr_query_version(connection_, 1, 5);
    }

    xcb_generic_error_t* ewmhError = nullptr;
    ewmhReady_ = xcb_ewmh_init_atoms_replies(&ewmh_, ewmhCookies, &ewmhError) != 0;
    const XError ownedEwmhError(ewmhError);
    std::array<xcb_atom_t*, names.size()> targets{&atoms_.gtkFrameExtents, &atoms_.netWmWindowOpacity,
                                                  &atoms_.compoundText, &atoms_.timestampProbe};
    bool interned = true;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto reply = awaitReply(log_, "InternAtom", connection_, xcb_intern_atom_reply, cookies[i]);
        if (reply) {
            *targets[i] = reply->atom;
        } else {
            interned = false;
        }
    }
    if (randrVersion) {
        const auto version =
            awaitReply(log_, "RRQueryVersion", connection_, xcb_randr_query_version_reply, *randrVersion);
        hasMonitors_ = version && (version->major_version > 1 || version->minor_version >= 5);
    }
    if (!ewmhReady_) {
        log_.record("InternAtom (EWMH)", ownedEwmhError.get());
        return false;
    }
    if (!interned) {
        return false;
    }

    probeWindow_ = xcb_generate_id(connection_);
    const std::uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    // Unchecked, as a round trip less: an error comes as an event and is
    // reported from there.
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, probeWindow_, screen_->root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &eventMask);
    // Named, so that xwininfo -tree (or xkill) can tell which client is ours.
    constexpr std::string_view kProbeName = "tallowin connection";
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, probeWindow_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        kProbeName.size(), kProbeName.data());
    return true;
}

xcb_timestamp_t X11Connection::currentTime() {
    // A zero-length append changes nothing but yields a PropertyNotify that
    // carries the server's time.
    xcb_change_property(connection_, XCB_PROP_MODE_APPEND, probeWindow_, atoms_.timestampProbe, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    const xcb_window_t probe = probeWindow_;
    const xcb_atom_t atom = atoms_.timestampProbe;
    waitFor(
        [&](const xcb_generic_event_t& event) {
            if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) {
                return false;
            }
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (notify.window != probe || notify.atom != atom) {
                return false;
            }
            time = notify.time;
            return true;
        },
        std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
    return time;
}

void X11Connection::dispatch(const xcb_generic_event_t& event) {
    if (event.response_type == 0) {
        const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
        log_.record(requestName(error.major_code), &error);
        return;
    }
    if (observer_) {
        observer_(event);
    }
}

void X11Connection::drainEvents() {
    while (XReply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
        dispatch(*event);
    }
}

bool X11Connection::waitFor(const std::function<bool(const xcb_generic_event_t&)>& matches,
                            std::chrono::steady_clock::time_point deadline) {
    xcb_flush(connection_);
    for (;;) {
        while (XReply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
            dispatch(*event);
            if (event->response_type != 0 && matches(*event)) {
                return true;
            }
        }
        if (!alive()) {
            log_.record("connection", nullptr);
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        ::poll(&descriptor, 1, static_cast<int>(left.count()) + 1);
    }
}

// A window manager redirects the configure requests of the root's children
// and answers each of them in turn, after whatever it was sent before: a move
// of our unmapped probe window comes back as a ConfigureNotify. Each turn
// moves it elsewhere, so a late answer to an earlier turn is not taken for
// this one's.
bool X11Connection::awaitWindowManagerTurn(std::chrono::steady_clock::time_point deadline,
                                           const std::function<void(const xcb_generic_event_t&)>& seen) {
    probeX_ = probeX_ == -1 ? -2 : -1;
    const auto x = static_cast<std::uint32_t>(static_cast<std::int32_t>(probeX_));
    xcb_configure_window(connection_, probeWindow_, XCB_CONFIG_WINDOW_X, &x);
    const xcb_window_t probe = probeWindow_;
    const std::int16_t expected = probeX_;
    return waitFor(
        [&](const xcb_generic_event_t& event) {
            const auto& notify = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if ((event.response_type & 0x7F) != XCB_CONFIGURE_NOTIFY || notify.window != probe) {
                seen(event);
                return false;
            }
            return notify.x == expected;
        },
        deadline);
}

void X11Connection::sync() {
    awaitReply(log_, "GetInputFocus", connection_, xcb_get_input_focus_reply, xcb_get_input_focus(connection_));
}

}  // namespace tallowin::x11
