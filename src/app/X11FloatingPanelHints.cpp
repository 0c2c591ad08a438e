#include "app/X11FloatingPanelHints.h"

#include <QColor>
#include <QGuiApplication>
#include <QWidget>
#include <array>
#include <vector>

#include "platform/x11/X11Atoms.h"

namespace pellucine {

namespace {

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

// Every desktop, in _NET_WM_DESKTOP.
constexpr uint32_t allDesktops = 0xFFFFFFFF;

}  // namespace

void X11FloatingPanelHints::prepare() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || atoms_) {
        return;
    }
    static constexpr std::array<const char*, 6> names{"_NET_WM_STATE",
                                                      "_NET_WM_STATE_ABOVE",
                                                      "_NET_WM_STATE_STICKY",
                                                      "_NET_WM_STATE_SKIP_TASKBAR",
                                                      "_NET_WM_STATE_SKIP_PAGER",
                                                      "_NET_WM_DESKTOP"};
    const std::vector<xcb_atom_t> atoms = internAtoms(connection, names);
    atoms_ = Atoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5]};
}

void X11FloatingPanelHints::apply(QWidget& panel) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || panel.windowHandle() == nullptr) {
        return;
    }
    prepare();
    const auto window = static_cast<xcb_window_t>(panel.winId());
    const std::array<xcb_atom_t, 4> states{atoms_->above, atoms_->sticky, atoms_->skipTaskbar,
                                           atoms_->skipPager};
    if (atoms_->state != XCB_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms_->state, XCB_ATOM_ATOM,
                            32, static_cast<uint32_t>(states.size()), states.data());
    }
    if (atoms_->desktop != XCB_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms_->desktop,
                            XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    }
    xcb_flush(connection);
}

void X11FloatingPanelHints::fillBackdrop(QWidget& panel, const QColor& colour) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return;
    }
    // An opaque panel has the screen's default visual, whose pixels are 0xRRGGBB.
    const uint32_t pixel = colour.rgb() & 0xFFFFFFU;
    xcb_change_window_attributes(connection, static_cast<xcb_window_t>(panel.winId()),
                                 XCB_CW_BACK_PIXEL, &pixel);
    xcb_flush(connection);
}

}  // namespace pellucine
