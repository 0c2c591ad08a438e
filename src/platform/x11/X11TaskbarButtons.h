#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QRect>
#include <optional>

namespace pellucine {

// The Dock items a taskbar shows, from the button rectangles it sets on the clients
// (_NET_WM_ICON_GEOMETRY) and the panels it draws them in. A pure rule; rectangles are in root
// pixels.
//
// A rectangle counts while a viewable panel holds its centre: a taskbar that quit, was
// unmapped or moved away leaves its rectangles behind on the clients, and those stale ones
// count for nothing. Empty rectangles count for nothing either; one reaching beyond its panel
// counts for the part inside it. Windows sharing one rectangle (a grouped button) make one item
// per application; a button per window makes an item per window. A window on another virtual
// desktop counts only where its rectangle meets no rectangle of a window on the current one: a
// taskbar showing the current desktop alone leaves the others' rectangles where it last drew
// them, under the buttons it draws now. Minimized windows keep their buttons, as taskbars show
// them.
struct X11TaskbarButtons {
    // A client that may have a button.
    struct Client {
        xcb_window_t window = XCB_NONE;
        // The application it belongs to.
        qint32 pid = 0;
        // Its button, when the client has the property.
        std::optional<QRect> button;
        bool isOnCurrentDesktop = true;
    };

    // A window that can hold buttons: a dock, or a client reserving a strut.
    struct Panel {
        xcb_window_t window = XCB_NONE;
        QRect frame;
        bool isViewable = false;
    };

    struct Item {
        qint32 pid = 0;
        // The button, within its panel.
        QRect frame;
        // The panel holding it.
        xcb_window_t panel = XCB_NONE;
        // The clients it stands for, in the order given.
        QList<xcb_window_t> windows;

        friend bool operator==(const Item&, const Item&) = default;
    };

    // By panel (top to bottom, then left to right), then along the panel: left to right in a
    // panel wider than tall, top to bottom in another.
    QList<Item> items;
    // The panel holding the most items (the first of them in `items`' order on a tie); none
    // without items.
    std::optional<Panel> dock;

    static X11TaskbarButtons from(const QList<Client>& clients, const QList<Panel>& panels);

    bool isEmpty() const { return items.isEmpty(); }
    friend bool operator==(const X11TaskbarButtons& a, const X11TaskbarButtons& b) {
        return a.items == b.items && a.dockFrame() == b.dockFrame();
    }
    std::optional<QRect> dockFrame() const {
        return dock ? std::optional<QRect>(dock->frame) : std::nullopt;
    }
};

}  // namespace pellucine
