// One window for the tests, kept until the process is killed.
// Usage: x_test_client panel HEIGHT   a dock that reserves a band at the top
//        x_test_client panel HEIGHT at X WIDTH  the same, from X, WIDTH wide
//        x_test_client panel WIDTH left  a dock that reserves a band on the left
//        x_test_client limited TITLE     at most 800x600 (WM_NORMAL_HINTS)
//        x_test_client stubborn TITLE    asks for 300x200 again 80 ms after every resize
//        x_test_client bare TITLE [pid] no WM_CLASS; _NET_WM_PID only with "pid"
//        x_test_client ticking TITLE     titled "TITLE n", n counting up every 100 ms
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_ewmh_connection_t ewmh{};
    if (argc < 3 || xcb_connection_has_error(connection) != 0 ||
        xcb_ewmh_init_atoms_replies(&ewmh, xcb_ewmh_init_atoms(connection, &ewmh), nullptr) == 0) {
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::string_view mode = argv[1];
    const bool panel = mode == "panel";
    const bool left = panel && argc > 3 && std::string_view(argv[3]) == "left";
    const auto band = static_cast<std::uint16_t>(panel ? std::strtoul(argv[2], nullptr, 10) : 0);
    const bool spanned = panel && argc > 5 && std::string_view(argv[3]) == "at";
    const auto from = static_cast<std::int16_t>(spanned ? std::strtol(argv[4], nullptr, 10) : 0);
    const std::uint16_t width = !panel    ? 300
                                : left    ? band
                                : spanned ? static_cast<std::uint16_t>(std::strtoul(argv[5], nullptr, 10))
                                          : screen->width_in_pixels;
    const std::uint16_t height = !panel ? 200 : left ? screen->height_in_pixels : band;
    const xcb_window_t window = xcb_generate_id(connection);
    const std::uint32_t background = screen->black_pixel;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, from, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);
    if (panel) {
        xcb_atom_t dock = ewmh._NET_WM_WINDOW_TYPE_DOCK;
        xcb_ewmh_set_wm_window_type(&ewmh, window, 1, &dock);
        xcb_ewmh_set_wm_strut_partial(
            &ewmh, window,
            left ? xcb_ewmh_wm_strut_partial_t{width, 0, 0, 0, 0, static_cast<std::uint32_t>(height - 1), 0, 0, 0, 0, 0,
                                               0}
                 : xcb_ewmh_wm_strut_partial_t{0, 0, height, 0, 0, 0, 0, 0, static_cast<std::uint32_t>(from),
                                               static_cast<std::uint32_t>(from + width - 1), 0, 0});
        xcb_size_hints_t hints{};
        xcb_icccm_size_hints_set_position(&hints, 1, from, 0);
        xcb_icccm_set_wm_normal_hints(connection, window, &hints);
        xcb_icccm_set_wm_class(connection, window, 22, "strut_panel\0StrutPanel");
    } else {
        const std::string_view title = argv[2];
        const auto length = static_cast<std::uint32_t>(title.size());
        xcb_icccm_set_wm_name(connection, window, XCB_ATOM_STRING, 8, length, title.data());
        xcb_ewmh_set_wm_name(&ewmh, window, length, title.data());
        if (argc > 3 && std::string_view(argv[3]) == "pid") {
            xcb_ewmh_set_wm_pid(&ewmh, window, static_cast<std::uint32_t>(::getpid()));
        }
        if (mode == "limited") {
            xcb_size_hints_t hints{};
            xcb_icccm_size_hints_set_max_size(&hints, 800, 600);
            xcb_icccm_set_wm_normal_hints(connection, window, &hints);
        }
        if (mode == "stubborn") {
            const std::uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &structure);
        }
    }
    xcb_map_window(connection, window);
    xcb_flush(connection);
    if (std::string_view(argv[1]) == "ticking") {
        for (unsigned tick = 1; xcb_connection_has_error(connection) == 0; ++tick) {
            const std::string title = std::string(argv[2]) + " " + std::to_string(tick);
            const auto length = static_cast<std::uint32_t>(title.size());
            xcb_icccm_set_wm_name(connection, window, XCB_ATOM_STRING, 8, length, title.data());
            xcb_ewmh_set_wm_name(&ewmh, window, length, title.data());
            xcb_flush(connection);
            while (auto* event = xcb_poll_for_event(connection)) {
                std::free(event);  // NOLINT(cppcoreguidelines-no-malloc)
            }
            ::usleep(100000);
        }
        return 0;
    }
    while (auto* event = xcb_wait_for_event(connection)) {
        const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if (mode == "stubborn" && (event->response_type & 0x7F) == XCB_CONFIGURE_NOTIFY &&
            configure->window == window && (configure->width != 300 || configure->height != 200)) {
            ::usleep(80000);  // an application that takes its time
            const std::array<std::uint32_t, 2> size = {300, 200};
            xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size.data());
            xcb_flush(connection);
        }
        std::free(event);  // NOLINT(cppcoreguidelines-no-malloc)
    }
    return 0;
}
