#include "platform/x11/X11WindowInfo.h"

#include <utility>

namespace pellucine {

std::optional<X11WindowType> windowTypeFromAtoms(const QList<quint32>& types,
                                                 const X11Atoms& atoms) {
    const std::pair<xcb_atom_t, X11WindowType> known[] = {
        {atoms._NET_WM_WINDOW_TYPE_NORMAL, X11WindowType::normal},
        {atoms._NET_WM_WINDOW_TYPE_DIALOG, X11WindowType::dialog},
        {atoms._NET_WM_WINDOW_TYPE_UTILITY, X11WindowType::utility},
        {atoms._NET_WM_WINDOW_TYPE_TOOLBAR, X11WindowType::toolbar},
        {atoms._NET_WM_WINDOW_TYPE_SPLASH, X11WindowType::splash},
        {atoms._NET_WM_WINDOW_TYPE_MENU, X11WindowType::menu},
        {atoms._NET_WM_WINDOW_TYPE_DROPDOWN_MENU, X11WindowType::dropdownMenu},
        {atoms._NET_WM_WINDOW_TYPE_POPUP_MENU, X11WindowType::popupMenu},
        {atoms._NET_WM_WINDOW_TYPE_COMBO, X11WindowType::combo},
        {atoms._NET_WM_WINDOW_TYPE_TOOLTIP, X11WindowType::tooltip},
        {atoms._NET_WM_WINDOW_TYPE_NOTIFICATION, X11WindowType::notification},
        {atoms._NET_WM_WINDOW_TYPE_DND, X11WindowType::dnd},
        {atoms._NET_WM_WINDOW_TYPE_DOCK, X11WindowType::dock},
        {atoms._NET_WM_WINDOW_TYPE_DESKTOP, X11WindowType::desktop},
    };
    for (const quint32 type : types) {
        for (const auto& [atom, value] : known) {
            if (atom != XCB_NONE && atom == type) {
                return value;
            }
        }
    }
    return std::nullopt;
}

int layerOf(X11WindowType type) {
    switch (type) {
        case X11WindowType::normal:
        case X11WindowType::dialog:
            return 0;
        case X11WindowType::utility:
        case X11WindowType::toolbar:
        case X11WindowType::splash:
            return 3;
        case X11WindowType::dock:
            return 20;
        case X11WindowType::notification:
            return 23;
        case X11WindowType::menu:
        case X11WindowType::dropdownMenu:
        case X11WindowType::popupMenu:
        case X11WindowType::combo:
            return 101;
        case X11WindowType::tooltip:
            return 102;
        case X11WindowType::dnd:
            return 500;
        case X11WindowType::desktop:
            return -2147483603;
    }
    return 0;
}

}  // namespace pellucine
