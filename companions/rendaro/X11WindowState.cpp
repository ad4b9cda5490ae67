#include "companions/rendaro/WindowState.h"
#include "companions/rendaro/X11Connection.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QSet>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace rendaro {

namespace {

constexpr uint32_t kIconicState = 3;    // ICCCM WM_STATE
constexpr uint32_t kNetWmStateAdd = 1;  // EWMH _NET_WM_STATE action
constexpr uint32_t kSourceApplication = 1;

struct ConnectionCloser {
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

// The 32-bit values of a window property, empty when it is not set.
QList<uint32_t> cardinals(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    QList<uint32_t> values;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < count; ++i)
            values.append(data[i]);
    }
    free(reply);
    return values;
}

void sendToRoot(xcb_connection_t *c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<uint32_t> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    int i = 0;
    for (uint32_t value : data)
        event.data.data32[i++] = value;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

// How long a display's server may take to answer a new connection.
constexpr std::chrono::milliseconds kConnectLimit{5000};

int applyWindowStates(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                      std::chrono::milliseconds patience)
{
    if (pending.isEmpty())
        return 0;
    int screenNumber = 0;
    Connection connection(connectWithin(kConnectLimit, &screenNumber));
    xcb_connection_t *c = connection.get();
    if (!c || stopped())
        return 0;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return 0;
    const xcb_window_t root = screens.data->root;

    const xcb_atom_t wmCheck = atom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_atom_t clientList = atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t wmPid = atom(c, "_NET_WM_PID");
    const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");
    const xcb_atom_t maxVert = atom(c, "_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_atom_t maxHorz = atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ");
    const xcb_atom_t wmState = atom(c, "WM_STATE");
    const xcb_atom_t changeState = atom(c, "WM_CHANGE_STATE");
    // Without an EWMH window manager nobody would act on the requests.
    if (cardinals(c, root, wmCheck, XCB_ATOM_WINDOW).isEmpty())
        return 0;

    // A request may come before a program has set up its window, which then
    // sets its own state over it: each window is asked again, at most every
    // half second, until it shows the state or patience runs out.
    auto reached = [&](xcb_window_t window, schedule::RunStyle style) {
        if (style == schedule::RunStyle::Min)
            return cardinals(c, window, wmState, wmState).value(0) == kIconicState;
        const QList<uint32_t> states = cardinals(c, window, netWmState, XCB_ATOM_ATOM);
        return states.contains(maxVert) && states.contains(maxHorz);
    };
    QHash<xcb_window_t, QDeadlineTimer> askedAgainAt;
    QSet<qint64> served;
    const QDeadlineTimer deadline(patience);
    for (;;) {
        for (uint32_t window : cardinals(c, root, clientList, XCB_ATOM_WINDOW)) {
            const qint64 pid = cardinals(c, window, wmPid, XCB_ATOM_CARDINAL).value(0, 0);
            for (const PendingWindows &p : pending) {
                if (p.pid != pid || served.contains(pid))
                    continue;
                if (reached(window, p.style)) {
                    served.insert(pid);
                } else if (!askedAgainAt.contains(window) || askedAgainAt[window].hasExpired()) {
                    if (p.style == schedule::RunStyle::Max)
                        sendToRoot(c, root, window, netWmState, {kNetWmStateAdd, maxVert, maxHorz, kSourceApplication, 0});
                    else
                        sendToRoot(c, root, window, changeState, {kIconicState, 0, 0, 0, 0});
                    askedAgainAt[window] = QDeadlineTimer(500);
                }
            }
        }
        xcb_flush(c);
        if (served.size() >= pending.size() || deadline.hasExpired() || xcb_connection_has_error(c) || stopped())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return int(served.size());
}

} // namespace rendaro
