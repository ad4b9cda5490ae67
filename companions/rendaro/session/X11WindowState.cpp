#include "companions/rendaro/session/ProcessFamily.h"
#include "companions/rendaro/session/WindowState.h"
#include "companions/rendaro/session/X11Connection.h"
#include "companions/rendaro/session/X11Windows.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

namespace rendaro {

namespace {

constexpr uint32_t kIconicState = 3;   // ICCCM WM_STATE
constexpr uint32_t kNetWmStateAdd = 1; // EWMH _NET_WM_STATE action
constexpr uint32_t kSourceApplication = 1;

struct ConnectionCloser {
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

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

// A window's map state, nothing once it is gone.
std::optional<uint8_t> mapState(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    const std::optional<uint8_t> state = reply ? std::optional<uint8_t>(reply->map_state) : std::nullopt;
    free(reply);
    return state;
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

// Minimizes, maximizes or withdraws the windows of started programs and of
// the processes they start, once they appear, under X11 with an EWMH window
// manager, and asks again until a window of each program shows its state.
class X11Styler : public WindowStyler
{
public:
    explicit X11Styler(bool xwayland)
        : m_xwayland(xwayland)
    {
    }

    QString how(schedule::RunStyle style) const override
    {
        const QString done = style == schedule::RunStyle::Hide
                                 ? QStringLiteral("withdrawn (not shown, no taskbar entry)")
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
    using schedule::RunStyle;
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
    const x11::Atoms atoms(c);
    // Without an EWMH window manager nobody would act on the requests.
    if (x11::cardinals(c, root, atoms.wmCheck, XCB_ATOM_WINDOW).isEmpty())
        return missedAll(pending, QStringLiteral("no window manager that takes such requests runs on the X11 display"));

    auto reached = [&](xcb_window_t window, RunStyle style) {
        if (style == RunStyle::Hide) // withdrawn, not iconic
            return mapState(c, window) == XCB_MAP_STATE_UNMAPPED
                   && x11::cardinals(c, window, atoms.wmState, atoms.wmState).value(0) != kIconicState;
        if (style == RunStyle::Min)
            return x11::cardinals(c, window, atoms.wmState, atoms.wmState).value(0) == kIconicState;
        const QList<uint32_t> states = x11::cardinals(c, window, atoms.netWmState, XCB_ATOM_ATOM);
        return states.contains(atoms.maxVert) && states.contains(atoms.maxHorz);
    };
    // Whose a window is, as the index of its program in pending (-1: none
    // of them), once a process of it is known.
    QHash<xcb_window_t, qsizetype> owners;
    auto ownerOf = [&](xcb_window_t window) -> qsizetype {
        if (const auto known = owners.constFind(window); known != owners.cend())
            return *known;
        const QList<qint64> processes = x11::windowProcesses(c, atoms, window);
        if (processes.isEmpty())
            return -1;
        for (qint64 process : processes)
            for (qsizetype i = 0; i < pending.size(); ++i)
                if (startedBy(process, pending[i].pid, pending[i].session))
                    return owners[window] = i;
        return owners[window] = -1;
    };
    const bool hiding = std::any_of(pending.cbegin(), pending.cend(),
                                    [](const PendingWindows &p) { return p.style == RunStyle::Hide; });

    // A request may come before a program has set up its window, which then
    // sets its own state over it: each window is asked again, at most every
    // half second, until it shows the state or patience runs out. Hide goes
    // on for every window of its program that appears in that time.
    QHash<xcb_window_t, QDeadlineTimer> askedAgainAt;
    QSet<qsizetype> served;  // a window of it shows its state
    QSet<qsizetype> seen;    // a window of it was found
    QSet<qsizetype> showing; // Hide: a window of it is shown still
    const QDeadlineTimer deadline(patience);
    for (;;) {
        // A withdrawn window leaves the client list: those asked are looked at too.
        QList<xcb_window_t> windows = x11::clientWindows(c, atoms, root);
        for (auto asked = askedAgainAt.keyBegin(); asked != askedAgainAt.keyEnd(); ++asked)
            if (!windows.contains(*asked))
                windows.append(*asked);
        showing.clear();
        for (xcb_window_t window : std::as_const(windows)) {
            const qsizetype owner = ownerOf(window);
            if (owner < 0 || (served.contains(owner) && pending[owner].style != RunStyle::Hide))
                continue;
            const RunStyle style = pending[owner].style;
            seen.insert(owner);
            if (!mapState(c, window)) { // gone
                askedAgainAt.remove(window);
            } else if (reached(window, style)) {
                served.insert(owner);
            } else {
                if (style == RunStyle::Hide)
                    showing.insert(owner);
                if (askedAgainAt.contains(window) && !askedAgainAt[window].hasExpired())
                    continue;
                if (style == RunStyle::Hide)
                    withdraw(c, root, window);
                else if (style == RunStyle::Max)
                    sendToRoot(c, root, window, atoms.netWmState,
                               {kNetWmStateAdd, atoms.maxVert, atoms.maxHorz, kSourceApplication, 0});
                else
                    sendToRoot(c, root, window, atoms.changeState, {kIconicState, 0, 0, 0, 0});
                askedAgainAt[window] = QDeadlineTimer(500);
            }
        }
        xcb_flush(c);
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) // errors of windows gone meanwhile
            free(event);
        if (stopped())
            return {};
        if ((served.size() >= pending.size() && !hiding) || deadline.hasExpired() || xcb_connection_has_error(c))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    QList<StyleMissed> missed;
    for (qsizetype i = 0; i < pending.size(); ++i) {
        const RunStyle style = pending[i].style;
        if (!seen.contains(i))
            missed.append({pending[i], m_xwayland ? QStringLiteral("no window of it appeared on XWayland")
                                                  : QStringLiteral("no window of it appeared")});
        else if (style == RunStyle::Hide ? showing.contains(i)
                                         : !served.contains(i)) // a window closed by itself is not shown
            missed.append(
                {pending[i], style == RunStyle::Max   ? QStringLiteral("the window manager did not maximize its window")
                             : style == RunStyle::Min ? QStringLiteral("the window manager did not minimize its window")
                                                      : QStringLiteral("its window stayed shown")});
    }
    return missed;
}

std::unique_ptr<WindowStyler> x11WindowStyler(bool xwayland)
{
    return std::make_unique<X11Styler>(xwayland);
}

} // namespace rendaro
