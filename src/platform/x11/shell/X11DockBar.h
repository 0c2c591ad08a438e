#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QMetaObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "platform/SystemDock.h"
#include "platform/Workspace.h"
#include "platform/x11/X11ApplicationIcons.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/shell/X11DockLayout.h"
#include "platform/x11/shell/X11ShellEntry.h"
#include "platform/x11/shell/X11StripWindow.h"

namespace pellucine {

// The Dock X11 lacks, drawn by the program itself and published as the shell's Dock items: a
// bar along the bottom edge of the main screen with an icon and a running dot for each running
// regular application, in the order they were launched, whose strut keeps maximized windows
// clear of it. A click on an icon brings that application forward, restoring its windows when
// all of them are minimized. The bar shows only while it is wanted, while some application runs,
// while no other dock window lies along that edge and while it is not held down (a taskbar
// shows the applications' buttons); it follows the desktop's changes through the window events
// and the notices that the monitors may have moved (`X11DesktopState::movesMonitors`).
// It never takes the focus. Main thread only.
class X11DockBar final : public SystemDock {
  public:
    X11DockBar(std::weak_ptr<X11DesktopState> state, Workspace& workspace);
    ~X11DockBar() override;
    X11DockBar(const X11DockBar&) = delete;
    X11DockBar& operator=(const X11DockBar&) = delete;

    void setWanted(bool wanted) override;
    bool isWanted() const override { return wanted_; }
    Kind kind() const override { return isEdgeTaken() ? Kind::none : Kind::dockBar; }

    // Keeps the bar down, wanted or not, while held; it comes back when released.
    void setHeldDown(bool heldDown);
    // Whether another dock lies along the bar's edge now (read at once).
    bool isEdgeTaken() const;

    bool isShowing() const { return window_ && window_->isShown(); }
    // The bar's frame in root pixels while it shows.
    std::optional<QRect> frame() const {
        return isShowing() ? std::optional<QRect>(layout_.bar) : std::nullopt;
    }
    // The bar's window; none before it was first shown.
    xcb_window_t barWindow() const { return window_ ? window_->id() : XCB_NONE; }
    // Windows whose pictures are held.
    std::size_t pictureCount() const { return icons_.windowCount(); }
    // Reads the desktop and brings the bar up to date at once.
    void refresh();

  private:
    // Every dock the window manager lists but the bar, mapped or not yet: it maps a window after
    // listing it, and the mapping alone announces nothing.
    QList<std::pair<xcb_window_t, QRect>> otherDocks(X11DesktopState& state) const;
    void hide();
    void show(X11DesktopState& state, X11DockLayout layout, QList<X11ShellEntry> entries);
    void clicked(QPoint point);
    void windowEvent(const X11WindowEvent& event);

    std::weak_ptr<X11DesktopState> state_;
    Workspace& workspace_;
    bool wanted_ = false;
    bool heldDown_ = false;
    std::unique_ptr<X11StripWindow> window_;
    // Held while the bar is up.
    std::shared_ptr<X11ShellContent> content_;
    X11ApplicationIcons icons_;
    X11DockLayout layout_;
    QList<X11ShellEntry> entries_;
    // The other dock windows at the last refresh: their moves can free or take the edge.
    QList<xcb_window_t> otherDocks_;
    // Coalesces the events of one turn of the event loop into one refresh.
    QTimer refreshSoon_;
    QMetaObject::Connection windowEvents_;
    // Monitors coming, going or moving, and struts changing.
    QMetaObject::Connection monitorEvents_;
};

}  // namespace pellucine
