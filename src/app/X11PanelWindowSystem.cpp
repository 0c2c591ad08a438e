#include "app/X11PanelWindowSystem.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <array>
#include <cstdlib>
#include <memory>

#include "app/X11FloatingPanelHints.h"
#include "app/X11PanelWindowHints.h"
#include "platform/x11/X11Atoms.h"

namespace pellucine {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    const std::array<const char*, 1> names{name.constData()};
    return internAtoms(connection, names).front();
}

// The X screen number in DISPLAY (":0.1" is screen 1); 0 when it names none.
int displayScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.lastIndexOf('.');
    if (colon < 0 || dot < colon) {
        return 0;
    }
    bool ok = false;
    const int number = display.mid(dot + 1).toInt(&ok);
    return ok ? number : 0;
}

}  // namespace

std::unique_ptr<FloatingPanelHints> X11PanelWindowSystem::floatingHints() const {
    return std::make_unique<X11FloatingPanelHints>();
}

std::unique_ptr<PanelWindowHints> X11PanelWindowSystem::windowHints(QWidget& panel) const {
    return std::make_unique<X11PanelWindowHints>(panel);
}

bool X11PanelWindowSystem::compositingManagerRunning() const {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return true;
    }
    const xcb_atom_t selection =
        internAtom(connection, "_NET_WM_CM_S" + QByteArray::number(displayScreenNumber()));
    if (selection == XCB_NONE) {
        return false;
    }
    const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr));
    return reply && reply->owner != XCB_NONE;
}

}  // namespace pellucine
