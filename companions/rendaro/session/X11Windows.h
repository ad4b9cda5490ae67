#pragma once

#include <xcb/xcb.h>

#include <QList>

namespace rendaro::x11 {

// The atoms the launcher's requests name, asked for at once.
struct Atoms {
    explicit Atoms(xcb_connection_t *c);
    xcb_atom_t wmCheck, clientList, wmPid, wmState, changeState, netWmState, maxVert, maxHorz;
};

// The 32-bit values of a window property, empty when it is not set.
QList<uint32_t> cardinals(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

// The windows of programs that the window manager shows or keeps iconic:
// its client list, or where it keeps none (as weston's XWayland window
// manager), the mapped windows with WM_STATE or _NET_WM_PID at the top of
// the window tree or inside a frame.
QList<xcb_window_t> clientWindows(xcb_connection_t *c, const Atoms &atoms, xcb_window_t root);

// The processes a window may be of: its _NET_WM_PID, which some programs do
// not set and one in a sandbox of its own gives as the sandbox counts, and
// the local client the X server knows it by (X-Resource).
QList<qint64> windowProcesses(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window);

} // namespace rendaro::x11
