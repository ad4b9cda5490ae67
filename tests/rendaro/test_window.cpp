// A window for the launcher to minimize or maximize: it maps one top-level
// window with _NET_WM_PID set, appends "<executable>\t<pid>\t<window id>" to the file
// named by RENDARO_TEST_LOG once the window is mapped, and stays up for at
// most a minute.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

static std::string executable()
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n < 0 ? std::string("?") : std::string(buffer, size_t(n));
}

static xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return a;
}

int main()
{
    const char *log = std::getenv("RENDARO_TEST_LOG");
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (!log || xcb_connection_has_error(c))
        return 3;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, 200, 150, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    const uint32_t pid = uint32_t(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    const char title[] = "rendaro test window";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof title - 1, title);
    xcb_map_window(c, window);
    xcb_flush(c);

    bool told = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end && !xcb_connection_has_error(c)) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !told) {
                const std::string line = executable() + '\t' + std::to_string(pid) + '\t' + std::to_string(window) + '\n';
                const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT, 0644);
                if (fd >= 0) {
                    told = write(fd, line.data(), line.size()) == ssize_t(line.size());
                    close(fd);
                }
            }
            free(event);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    xcb_disconnect(c);
    return 0;
}
