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

bool isUnmapped(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    const bool unmapped = reply && reply->map_state == XCB_MAP_STATE_UNMAPPED;
    free(reply);
    return unmapped;
}

// Withdraws a window as its own program would (ICCCM 4.1.4): unmapped, and
// the window manager told so, which then drops its frame and taskbar entry.
void withdraw(xcb_connection_t *c, xcb_window_t root, xcb_window_t window)
{
    xcb_unmap_window(c, window);
    xcb_unmap_notify_event_t event{};
    event.response_type = XCB_UNMAP_NOTIFY;
    event.event = root;
    event.window = window;
    event.from_configure = 0;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

// How long a display's server may take to answer a new connection.
constexpr std::chrono::milliseconds kConnectLimit{5000};

// The toolkits' own switches that put a program's windows on the X11
// display rather than on the Wayland compositor.
const char *const kOnX11[] = {"GDK_BACKEND=x11", "QT_QPA_PLATFORM=xcb", "SDL_VIDEODRIVER=x11", "MOZ_ENABLE_WAYLAND=0",
                              "ELECTRON_OZONE_PLATFORM_HINT=x11"};

namespace {

// Minimizes, maximizes or withdraws the windows of started programs, found
// by their _NET_WM_PID, once they appear, under X11 with an EWMH window
// manager, and asks again until a window of each program shows its state.
class X11Styler : public WindowStyler
{
public:
    explicit X11Styler(bool xwayland) : m_xwayland(xwayland) {}

    QString how(schedule::RunStyle style) const override
    {
        const QString done = style == schedule::RunStyle::Hide  ? QStringLiteral("withdrawn (not shown, no taskbar entry)")
                             : style == schedule::RunStyle::Min ? QStringLiteral("minimized")
                                                                : QStringLiteral("maximized");
        if (!m_xwayland)
            return QStringLiteral("its windows %1 through the X11 window manager as they appear").arg(done);
        return QStringLiteral("started on XWayland (%1) and its windows %2 there as they appear; "
                              "a window it opens on Wayland itself is left as it is")
            .arg(QString::fromLatin1(kOnX11[0]), done);
    }

    QStringList environment(schedule::RunStyle style) const override
    {
        QStringList variables;
        if (m_xwayland && style != schedule::RunStyle::Normal)
            for (const char *variable : kOnX11)
                variables.append(QString::fromLatin1(variable));
        return variables;
    }

    QList<StyleMissed> apply(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                             std::chrono::milliseconds patience) override;

private:
    bool m_xwayland;
};

} // namespace

QList<StyleMissed> X11Styler::apply(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                                    std::chrono::milliseconds patience)
{
    if (pending.isEmpty())
        return {};
    int screenNumber = 0;
    Connection connection(connectWithin(kConnectLimit, &screenNumber));
    xcb_connection_t *c = connection.get();
    if (stopped())
        return {};
    if (!c)
        return missedAll(pending, QStringLiteral("the X11 display did not answer"));
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return missedAll(pending, QStringLiteral("the X11 display has no such screen"));
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
        return missedAll(pending, QStringLiteral("no window manager that takes such requests runs on the X11 display"));

    // A request may come before a program has set up its window, which then
    // sets its own state over it: each window is asked again, at most every
    // half second, until it shows the state or patience runs out.
    auto reached = [&](xcb_window_t window, schedule::RunStyle style) {
        if (style == schedule::RunStyle::Hide) // withdrawn, not iconic
            return isUnmapped(c, window) && cardinals(c, window, wmState, wmState).value(0) != kIconicState;
        if (style == schedule::RunStyle::Min)
            return cardinals(c, window, wmState, wmState).value(0) == kIconicState;
        const QList<uint32_t> states = cardinals(c, window, netWmState, XCB_ATOM_ATOM);
        return states.contains(maxVert) && states.contains(maxHorz);
    };
    QHash<xcb_window_t, QDeadlineTimer> askedAgainAt;
    QSet<qint64> served;
    QSet<qint64> seen; // programs a window of which was found
    const QDeadlineTimer deadline(patience);
    for (;;) {
        // A withdrawn window leaves the client list: those asked are looked at too.
        QList<uint32_t> windows = cardinals(c, root, clientList, XCB_ATOM_WINDOW);
        for (auto asked = askedAgainAt.keyBegin(); asked != askedAgainAt.keyEnd(); ++asked)
            if (!windows.contains(*asked))
                windows.append(*asked);
        for (uint32_t window : std::as_const(windows)) {
            const qint64 pid = cardinals(c, window, wmPid, XCB_ATOM_CARDINAL).value(0, 0);
            for (const PendingWindows &p : pending) {
                if (p.pid != pid || served.contains(pid))
                    continue;
                seen.insert(pid);
                if (reached(window, p.style)) {
                    served.insert(pid);
                } else if (!askedAgainAt.contains(window) || askedAgainAt[window].hasExpired()) {
                    if (p.style == schedule::RunStyle::Hide)
                        withdraw(c, root, window);
                    else if (p.style == schedule::RunStyle::Max)
                        sendToRoot(c, root, window, netWmState, {kNetWmStateAdd, maxVert, maxHorz, kSourceApplication, 0});
                    else
                        sendToRoot(c, root, window, changeState, {kIconicState, 0, 0, 0, 0});
                    askedAgainAt[window] = QDeadlineTimer(500);
                }
            }
        }
        xcb_flush(c);
        if (stopped())
            return {};
        if (served.size() >= pending.size() || deadline.hasExpired() || xcb_connection_has_error(c))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    QList<StyleMissed> missed;
    for (const PendingWindows &p : pending) {
        if (served.contains(p.pid))
            continue;
        if (!seen.contains(p.pid))
            missed.append({p, m_xwayland ? QStringLiteral("no window of it appeared on XWayland") : QStringLiteral("no window of it appeared")});
        else
            missed.append({p, p.style == schedule::RunStyle::Max   ? QStringLiteral("the window manager did not maximize its window")
                              : p.style == schedule::RunStyle::Min ? QStringLiteral("the window manager did not minimize its window")
                                                                   : QStringLiteral("its window stayed shown")});
    }
    return missed;
}

std::unique_ptr<WindowStyler> x11WindowStyler(bool xwayland)
{
    return std::make_unique<X11Styler>(xwayland);
}

} // namespace rendaro
