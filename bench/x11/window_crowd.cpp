// Many top-level windows of one process, as a crowded desktop for the
// benchmarks. Usage: window_crowd COUNT [TITLE]
// Titles are "TITLE 1" ... "TITLE COUNT"; the last one mapped is on top.
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <cstdint>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100;
    const std::string title = argc > 2 ? argv[2] : "crowd";
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_ewmh_connection_t ewmh{};
    if (xcb_ewmh_init_atoms_replies(&ewmh, xcb_ewmh_init_atoms(connection, &ewmh), nullptr) == 0) {
        return 1;
    }
    const auto pid = static_cast<std::uint32_t>(::getpid());
    for (long i = 1; i <= count; ++i) {
        const xcb_window_t window = xcb_generate_id(connection);
        const std::uint32_t background = screen->white_pixel;
        const auto x = static_cast<std::int16_t>(i * 7 % 2000);
        const auto y = static_cast<std::int16_t>(i * 5 % 1200);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, x, y, 120, 90, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);
        const std::string name = title + " " + std::to_string(i);
        xcb_icccm_set_wm_name(connection, window, XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(name.size()),
                              name.data());
        xcb_ewmh_set_wm_name(&ewmh, window, static_cast<std::uint32_t>(name.size()), name.data());
        xcb_icccm_set_wm_class(connection, window, 12, "crowd\0Crowd");
        xcb_ewmh_set_wm_pid(&ewmh, window, pid);
        xcb_size_hints_t hints{};
        xcb_icccm_size_hints_set_position(&hints, 1, x, y);
        xcb_icccm_set_wm_normal_hints(connection, window, &hints);
        xcb_map_window(connection, window);
    }
    xcb_flush(connection);
    while (auto* event = xcb_wait_for_event(connection)) {
        std::free(event);  // NOLINT(cppcoreguidelines-no-malloc)
    }
    xcb_ewmh_connection_wipe(&ewmh);
    xcb_disconnect(connection);
    return 0;
}
