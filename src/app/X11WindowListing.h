#pragma once

#include <xcb/xcb.h>

#include <memory>

#include "app/WindowListing.h"

namespace pellucine {

// Keeps windows out of the taskbar and the pager with the _NET_WM_STATE skip states, over the
// Qt application's own X connection: a window about to be mapped gets the property, a mapped
// one is changed through the window manager.
class X11WindowListing final : public WindowListing {
  public:
    // None unless the application runs on X11.
    static std::unique_ptr<X11WindowListing> forApplication();

    void setUnlisted(QWindow& window, bool unlisted, bool mapped) override;

  private:
    X11WindowListing(xcb_connection_t* connection, xcb_window_t root);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_atom_t state_ = XCB_NONE;
    xcb_atom_t skipTaskbar_ = XCB_NONE;
    xcb_atom_t skipPager_ = XCB_NONE;
};

}  // namespace pellucine
