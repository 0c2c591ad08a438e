#include "platform/x11/X11Atoms.h"

#include <array>
#include <cstring>
#include <utility>

#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

#define PELLUCINE_ATOM(name)   \
    std::pair {                \
#name, &X11Atoms::name \
    }

constexpr std::array atomTable{
    PELLUCINE_ATOM(UTF8_STRING),
    PELLUCINE_ATOM(COMPOUND_TEXT),
    PELLUCINE_ATOM(WM_PROTOCOLS),
    PELLUCINE_ATOM(WM_DELETE_WINDOW),
    PELLUCINE_ATOM(WM_STATE),
    PELLUCINE_ATOM(WM_CLIENT_LEADER),
    PELLUCINE_ATOM(WM_CHANGE_STATE),
    PELLUCINE_ATOM(_NET_SUPPORTED),
    PELLUCINE_ATOM(_NET_SUPPORTING_WM_CHECK),
    PELLUCINE_ATOM(_NET_CLIENT_LIST),
    PELLUCINE_ATOM(_NET_CLIENT_LIST_STACKING),
    PELLUCINE_ATOM(_NET_ACTIVE_WINDOW),
    PELLUCINE_ATOM(_NET_CURRENT_DESKTOP),
    PELLUCINE_ATOM(_NET_CLOSE_WINDOW),
    PELLUCINE_ATOM(_NET_MOVERESIZE_WINDOW),
    PELLUCINE_ATOM(_NET_RESTACK_WINDOW),
    PELLUCINE_ATOM(_NET_WM_NAME),
    PELLUCINE_ATOM(_NET_WM_ICON),
    PELLUCINE_ATOM(_NET_WM_PID),
    PELLUCINE_ATOM(_NET_WM_USER_TIME),
    PELLUCINE_ATOM(_NET_WM_USER_TIME_WINDOW),
    PELLUCINE_ATOM(_NET_WM_DESKTOP),
    PELLUCINE_ATOM(_NET_WM_STRUT),
    PELLUCINE_ATOM(_NET_WM_STRUT_PARTIAL),
    PELLUCINE_ATOM(_NET_WM_ICON_GEOMETRY),
    PELLUCINE_ATOM(_NET_FRAME_EXTENTS),
    PELLUCINE_ATOM(_NET_WM_STATE),
    PELLUCINE_ATOM(_NET_WM_STATE_HIDDEN),
    PELLUCINE_ATOM(_NET_WM_STATE_FULLSCREEN),
    PELLUCINE_ATOM(_NET_WM_STATE_SKIP_TASKBAR),
    PELLUCINE_ATOM(_NET_WM_STATE_MODAL),
    PELLUCINE_ATOM(_NET_WM_STATE_MAXIMIZED_VERT),
    PELLUCINE_ATOM(_NET_WM_STATE_MAXIMIZED_HORZ),
    PELLUCINE_ATOM(_NET_WM_STATE_STICKY),
    PELLUCINE_ATOM(_NET_WM_STATE_SKIP_PAGER),
    PELLUCINE_ATOM(_NET_WM_STATE_ABOVE),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_DESKTOP),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_DOCK),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_TOOLBAR),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_MENU),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_UTILITY),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_SPLASH),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_DIALOG),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_DROPDOWN_MENU),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_POPUP_MENU),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_TOOLTIP),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_NOTIFICATION),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_COMBO),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_DND),
    PELLUCINE_ATOM(_NET_WM_WINDOW_TYPE_NORMAL),
    PELLUCINE_ATOM(_GTK_APPLICATION_ID),
    PELLUCINE_ATOM(_GTK_FRAME_EXTENTS),
    PELLUCINE_ATOM(_KDE_NET_WM_DESKTOP_FILE),
    PELLUCINE_ATOM(_BAMF_DESKTOP_FILE),
    PELLUCINE_ATOM(_OB_VERSION),
    PELLUCINE_ATOM(_OB_CONFIG_FILE),
    PELLUCINE_ATOM(_PELLUCINE_TIMESTAMP),
};

#undef PELLUCINE_ATOM

}  // namespace

std::vector<xcb_atom_t> internAtoms(xcb_connection_t* connection,
                                    std::span<const char* const> names) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    cookies.reserve(names.size());
    for (const char* name : names) {
        cookies.push_back(
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name));
    }
    std::vector<xcb_atom_t> atoms;
    atoms.reserve(names.size());
    for (const xcb_intern_atom_cookie_t cookie : cookies) {
        const auto reply = takeReply(connection, xcb_intern_atom_reply, cookie);
        atoms.push_back(reply ? reply->atom : static_cast<xcb_atom_t>(XCB_NONE));
    }
    return atoms;
}

X11Atoms X11Atoms::intern(xcb_connection_t* connection) {
    std::array<xcb_intern_atom_cookie_t, atomTable.size()> cookies{};
    for (std::size_t i = 0; i < atomTable.size(); ++i) {
        const char* name = atomTable[i].first;
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    }
    X11Atoms atoms;
    for (std::size_t i = 0; i < atomTable.size(); ++i) {
        if (auto reply = takeReply(connection, xcb_intern_atom_reply, cookies[i])) {
            atoms.*(atomTable[i].second) = reply->atom;
        }
    }
    return atoms;
}

}  // namespace pellucine
