#pragma once

#include <xcb/xcb.h>

#include <span>
#include <vector>

namespace pellucine {

// The atoms of `names`, asked for together: one round trip. XCB_NONE for any not answered.
std::vector<xcb_atom_t> internAtoms(xcb_connection_t* connection,
                                    std::span<const char* const> names);

// Every atom the backend uses, interned once per connection in one round trip.
struct X11Atoms {
    xcb_atom_t UTF8_STRING = XCB_NONE;
    xcb_atom_t COMPOUND_TEXT = XCB_NONE;
    xcb_atom_t WM_PROTOCOLS = XCB_NONE;
    xcb_atom_t WM_DELETE_WINDOW = XCB_NONE;
    xcb_atom_t WM_STATE = XCB_NONE;
    xcb_atom_t WM_CLIENT_LEADER = XCB_NONE;
    xcb_atom_t WM_CHANGE_STATE = XCB_NONE;
    xcb_atom_t _NET_SUPPORTED = XCB_NONE;
    xcb_atom_t _NET_SUPPORTING_WM_CHECK = XCB_NONE;
    xcb_atom_t _NET_CLIENT_LIST = XCB_NONE;
    xcb_atom_t _NET_CLIENT_LIST_STACKING = XCB_NONE;
    xcb_atom_t _NET_ACTIVE_WINDOW = XCB_NONE;
    xcb_atom_t _NET_CURRENT_DESKTOP = XCB_NONE;
    xcb_atom_t _NET_CLOSE_WINDOW = XCB_NONE;
    xcb_atom_t _NET_MOVERESIZE_WINDOW = XCB_NONE;
    xcb_atom_t _NET_RESTACK_WINDOW = XCB_NONE;
    xcb_atom_t _NET_WM_NAME = XCB_NONE;
    xcb_atom_t _NET_WM_ICON = XCB_NONE;
    xcb_atom_t _NET_WM_PID = XCB_NONE;
    xcb_atom_t _NET_WM_USER_TIME = XCB_NONE;
    xcb_atom_t _NET_WM_USER_TIME_WINDOW = XCB_NONE;
    xcb_atom_t _NET_WM_DESKTOP = XCB_NONE;
    xcb_atom_t _NET_WM_STRUT = XCB_NONE;
    xcb_atom_t _NET_WM_STRUT_PARTIAL = XCB_NONE;
    xcb_atom_t _NET_WM_ICON_GEOMETRY = XCB_NONE;
    xcb_atom_t _NET_FRAME_EXTENTS = XCB_NONE;
    xcb_atom_t _NET_WM_STATE = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_HIDDEN = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_FULLSCREEN = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_SKIP_TASKBAR = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_MODAL = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_MAXIMIZED_VERT = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_MAXIMIZED_HORZ = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_STICKY = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_SKIP_PAGER = XCB_NONE;
    xcb_atom_t _NET_WM_STATE_ABOVE = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_DESKTOP = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_DOCK = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_TOOLBAR = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_MENU = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_UTILITY = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_SPLASH = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_DIALOG = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_DROPDOWN_MENU = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_POPUP_MENU = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_TOOLTIP = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_NOTIFICATION = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_COMBO = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_DND = XCB_NONE;
    xcb_atom_t _NET_WM_WINDOW_TYPE_NORMAL = XCB_NONE;
    xcb_atom_t _GTK_APPLICATION_ID = XCB_NONE;
    xcb_atom_t _GTK_FRAME_EXTENTS = XCB_NONE;
    xcb_atom_t _KDE_NET_WM_DESKTOP_FILE = XCB_NONE;
    xcb_atom_t _BAMF_DESKTOP_FILE = XCB_NONE;
    xcb_atom_t _OB_VERSION = XCB_NONE;
    xcb_atom_t _OB_CONFIG_FILE = XCB_NONE;
    xcb_atom_t _PELLUCINE_TIMESTAMP = XCB_NONE;

    // Interns every atom; an atom the server refuses stays XCB_NONE.
    static X11Atoms intern(xcb_connection_t* connection);
};

}  // namespace pellucine
