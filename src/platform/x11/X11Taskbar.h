#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <QSet>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/X11TaskbarButtons.h"

namespace pellucine {

// The desktop's taskbar as the Dock: the buttons it publishes on the clients
// (_NET_WM_ICON_GEOMETRY) in the panels holding them, as `X11TaskbarButtons` groups them, and,
// while published, the shell's Dock list made of them (the list's frame the panel holding the
// most items, each item's frame its button, both in the global space, and the item's
// application).
//
// It follows the server's notices from construction on, whether published or not: a change of
// a client's button, window type or desktop, the current desktop, a panel moving, a client
// mapped, unmapped or destroyed, struts and monitors changing (`X11DesktopState::movesMonitors`).
// The notices of one turn of the event loop make one read, which asks the server only about the
// clients they name; nothing is read as the pointer moves, as the shell's elements answer from
// what was published. The published list is shown again (its old elements failing) only when
// its items or frame change. Main thread only; once the state is gone it reads nothing.
class X11Taskbar {
  public:
    // `isOwnWindow` names the program's own windows, which are never panels of a taskbar.
    X11Taskbar(std::weak_ptr<X11DesktopState> state, std::function<bool(xcb_window_t)> isOwnWindow);
    ~X11Taskbar();
    X11Taskbar(const X11Taskbar&) = delete;
    X11Taskbar& operator=(const X11Taskbar&) = delete;

    // The buttons as the desktop stands now, read at once (asking the server only what has
    // changed since the last read).
    X11TaskbarButtons read() const;
    // The buttons as of the last refresh.
    const X11TaskbarButtons& buttons() const { return buttons_; }
    // Reads the buttons and brings the published list up to date at once.
    void refresh();
    // Publishes the buttons as the shell's Dock items while they are some; withdraws them when
    // not published.
    void setPublished(bool published);
    bool isPublished() const { return published_; }
    // Called after a refresh that changed the buttons; never inside `setPublished`.
    void setOnChange(std::function<void()> callback) { onChange_ = std::move(callback); }

  private:
    struct Reading {
        X11TaskbarButtons buttons;
        QSet<xcb_window_t> panels;
        QSet<xcb_window_t> clients;
    };
    Reading readDesktop() const;
    void event(const xcb_generic_event_t& event);
    void publish();
    void withdraw();

    std::weak_ptr<X11DesktopState> state_;
    std::function<bool(xcb_window_t)> isOwnWindow_;
    std::function<void()> onChange_;
    bool published_ = false;
    X11TaskbarButtons buttons_;
    // The panels and clients of the last refresh.
    QSet<xcb_window_t> panels_;
    QSet<xcb_window_t> clients_;
    // A refresh saw clients for the first time: their changes before they were listened to are
    // read again once the turn of the event loop is over (X11DesktopState), and taken then.
    bool recheck_ = false;
    // Held while the list is published.
    std::shared_ptr<X11ShellContent> content_;
    std::optional<std::pair<GlobalRect, QList<X11ShellContent::Item>>> shown_;
    QTimer refreshSoon_;
    QMetaObject::Connection events_;
    QMetaObject::Connection turnEnded_;
};

}  // namespace pellucine
