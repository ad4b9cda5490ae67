#include "companions/rendaro/session/X11Windows.h"

#ifdef VELLOMAR_XCB_RES
#include <xcb/res.h>
#endif

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace rendaro::x11 {

Atoms::Atoms(xcb_connection_t *c)
{
    const char *const names[] = {"_NET_SUPPORTING_WM_CHECK",
                                 "_NET_CLIENT_LIST",
                                 "_NET_WM_PID",
                                 "WM_STATE",
                                 "WM_CHANGE_STATE",
                                 "_NET_WM_STATE",
                                 "_NET_WM_STATE_MAXIMIZED_VERT",
                                 "_NET_WM_STATE_MAXIMIZED_HORZ"};
    xcb_atom_t *const atoms[] = {&wmCheck,     &clientList, &wmPid,   &wmState,
                                 &changeState, &netWmState, &maxVert, &maxHorz};
    xcb_intern_atom_cookie_t asked[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
        asked[i] = xcb_intern_atom(c, 0, uint16_t(strlen(names[i])), names[i]);
    for (size_t i = 0; i < std::size(names); ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, asked[i], nullptr);
        *atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
    }
}

namespace {

xcb_get_property_reply_t *property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    return xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr);
}

QList<uint32_t> values(xcb_get_property_reply_t *reply)
{
    QList<uint32_t> values;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        values = QList<uint32_t>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return values;
}

QList<xcb_window_t> children(xcb_connection_t *c, xcb_window_t window)
{
    QList<xcb_window_t> windows;
    if (xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr)) {
        const xcb_window_t *first = xcb_query_tree_children(tree);
        windows = QList<xcb_window_t>(first, first + xcb_query_tree_children_length(tree));
        free(tree);
    }
    return windows;
}

// The client windows among windows and, for those that are frames, among
// their children, down to depth levels; every request of a level is sent
// before its answers are read.
void findClients(xcb_connection_t *c, const QList<xcb_window_t> &windows, int depth, xcb_atom_t wmState,
                 xcb_atom_t wmPid, QList<xcb_window_t> &clients)
{
    struct Asked {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t state, pid;
    };
    QList<Asked> asked;
    for (xcb_window_t window : windows)
        asked.append({xcb_get_window_attributes(c, window), xcb_get_property(c, 0, window, wmState, XCB_ATOM_ANY, 0, 0),
                      xcb_get_property(c, 0, window, wmPid, XCB_ATOM_ANY, 0, 0)});
    QList<xcb_window_t> frames;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        xcb_get_window_attributes_reply_t *attributes =
            xcb_get_window_attributes_reply(c, asked[i].attributes, nullptr);
        xcb_get_property_reply_t *state = xcb_get_property_reply(c, asked[i].state, nullptr);
        xcb_get_property_reply_t *pid = xcb_get_property_reply(c, asked[i].pid, nullptr);
        const bool shown =
            attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && !attributes->override_redirect;
        if (shown && ((state && state->type != XCB_ATOM_NONE) || (pid && pid->type != XCB_ATOM_NONE)))
            clients.append(windows[i]);
        else if (shown)
            frames.append(windows[i]);
        free(attributes);
        free(state);
        free(pid);
    }
    if (depth > 0)
        for (xcb_window_t frame : std::as_const(frames))
            findClients(c, children(c, frame), depth - 1, wmState, wmPid, clients);
}

} // namespace

QList<uint32_t> cardinals(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    return values(property(c, window, name, type));
}

QList<xcb_window_t> clientWindows(xcb_connection_t *c, const Atoms &atoms, xcb_window_t root)
{
    xcb_get_property_reply_t *list = property(c, root, atoms.clientList, XCB_ATOM_WINDOW);
    if (list && list->type == XCB_ATOM_WINDOW)
        return values(list);
    free(list);
    QList<xcb_window_t> clients;
    findClients(c, children(c, root), 2, atoms.wmState, atoms.wmPid, clients);
    return clients;
}

QList<qint64> windowProcesses(xcb_connection_t *c, const Atoms &atoms, xcb_window_t window)
{
    QList<qint64> processes;
    for (uint32_t pid : cardinals(c, window, atoms.wmPid, XCB_ATOM_CARDINAL).mid(0, 1))
        processes.append(pid);
#ifdef VELLOMAR_XCB_RES
    // A request of an extension the server lacks would close the connection.
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(c, &xcb_res_id);
    if (!extension || !extension->present)
        return processes;
    const xcb_res_client_id_spec_t asked{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    xcb_res_query_client_ids_reply_t *reply =
        xcb_res_query_client_ids_reply(c, xcb_res_query_client_ids(c, 1, &asked), nullptr);
    for (auto ids = reply ? xcb_res_query_client_ids_ids_iterator(reply) : xcb_res_client_id_value_iterator_t{};
         ids.rem; xcb_res_client_id_value_next(&ids))
        if (ids.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID
            && xcb_res_client_id_value_value_length(ids.data) > 0)
            processes.append(*xcb_res_client_id_value_value(ids.data));
    free(reply);
#endif
    return processes;
}

} // namespace rendaro::x11
