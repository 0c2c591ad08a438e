#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

namespace pellucine {

// What a top-level panel asks of the window manager on X11: to be on every desktop and out of
// the taskbar and the pager, and to take the keyboard when it opens. The focus request names the
// panel as a direct user action (the source a pager uses) and carries a fresh server timestamp,
// so that focus-stealing prevention lets a panel opened by a global hotkey have the keyboard
// even though the program's own windows saw no input. Elsewhere Qt's own calls stand in.
// Main thread only.
class PanelWindowHints final : public QAbstractNativeEventFilter {
  public:
    // `panel` is a top-level widget that outlives these hints or is deleted with them.
    explicit PanelWindowHints(QWidget& panel);
    ~PanelWindowHints() override;
    PanelWindowHints(const PanelWindowHints&) = delete;
    PanelWindowHints& operator=(const PanelWindowHints&) = delete;

    // Puts the panel on every desktop, out of the taskbar and the pager. Call before the panel
    // is first shown; the states already on the window stay.
    void applyBeforeMapping();
    // Asks for the keyboard for the shown panel and brings it to the front. On X11 the request
    // leaves once the server has stamped it, a turn of the event loop later; a panel hidden
    // meanwhile asks for nothing.
    void requestFocus();

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
