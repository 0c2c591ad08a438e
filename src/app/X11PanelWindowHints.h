#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include "panels/PanelWindowHints.h"

namespace pellucine {

// What a top-level panel asks of the window manager on the X server Qt draws on: to be on every
// desktop and out of the taskbar and the pager, and to take the keyboard when it opens. The
// focus request names the panel as a direct user action (the source a pager uses) and carries a
// fresh server timestamp, so that focus-stealing prevention lets a panel opened by a global
// hotkey have the keyboard even though the program's own windows saw no input. The request
// leaves once the server has stamped it, a turn of the event loop later. Without Qt's X
// connection (another platform) Qt's own calls stand in. Main thread only.
class X11PanelWindowHints final : public PanelWindowHints, public QAbstractNativeEventFilter {
  public:
    // `panel` is a top-level widget that outlives these hints or is deleted with them.
    explicit X11PanelWindowHints(QWidget& panel);
    ~X11PanelWindowHints() override;
    X11PanelWindowHints(const X11PanelWindowHints&) = delete;
    X11PanelWindowHints& operator=(const X11PanelWindowHints&) = delete;

    void applyBeforeMapping() override;
    void requestFocus() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct Atoms {
        xcb_atom_t state = XCB_NONE;
        xcb_atom_t sticky = XCB_NONE;
        xcb_atom_t skipTaskbar = XCB_NONE;
        xcb_atom_t skipPager = XCB_NONE;
        xcb_atom_t desktop = XCB_NONE;
        xcb_atom_t activeWindow = XCB_NONE;
        xcb_atom_t supported = XCB_NONE;
        xcb_atom_t stamp = XCB_NONE;
    };

    void activate(xcb_timestamp_t time);
    static void catchUpActivation(const QPointer<QWidget>& panel);
    bool managerSupportsActivation();

    QPointer<QWidget> panel_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    Atoms atoms_;
    // A focus request waits for its timestamp.
    bool focusPending_ = false;
};

}  // namespace pellucine
