#pragma once

#include <xcb/xcb.h>

#include <optional>

#include "panels/FloatingPanelHints.h"

namespace pellucine {

// A floating panel's hints on the X server Qt draws on: _NET_WM_STATE above, sticky, skip
// taskbar and skip pager, _NET_WM_DESKTOP on every desktop, and the window's background pixel.
// The EWMH atoms are interned once, ahead of or at the first showing. Without Qt's X
// connection (another platform) it does nothing. Main thread only.
class X11FloatingPanelHints final : public FloatingPanelHints {
  public:
    void prepare() override;
    void apply(QWidget& panel) override;
    void fillBackdrop(QWidget& panel, const QColor& colour) override;

  private:
    struct Atoms {
        xcb_atom_t state = XCB_NONE;
        xcb_atom_t above = XCB_NONE;
        xcb_atom_t sticky = XCB_NONE;
        xcb_atom_t skipTaskbar = XCB_NONE;
        xcb_atom_t skipPager = XCB_NONE;
        xcb_atom_t desktop = XCB_NONE;
    };

    std::optional<Atoms> atoms_;
};

}  // namespace pellucine
