#pragma once

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QHash>
#include <QObject>
#include <QSize>
#include <optional>

#include "base/Clock.h"
#include "platform/DrawSettling.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowEvents.h"

namespace pellucine {

// Follows the clients that have just come on screen, or changed size, until they have drawn
// their content, as DrawSettling rules, through Damage objects that report every drawing. A
// client gets one when it is unmapped (minimized, on another desktop), so that its next showing
// is heard from the start: its MapNotify opens it, the server's painting of the background
// before its Expose does not count, and what it draws after does. A client heard of only once
// shown (a new one, or one whose window manager keeps it mapped while minimized) gets one then,
// and counts every drawing from then on. A change of the size of a shown client, or of the
// window manager's frame holding it, opens it again: what the server puts into the new area
// (its background, or with redirection what lay behind the window) is reported before this
// hears of the change, and only what is reported after counts. The object goes once the client
// has settled. Without Damage every client is taken for drawn at the limit. Main thread only.
// Events are noted as they arrive (`note`), before they are handed out, so that a window read
// after a change is waited for; the clients' Expose and ConfigureNotify events come through
// X11WindowEvents' selection, the frames' through this one's.
class X11DrawWatch final : public QObject {
    Q_OBJECT

  public:
    X11DrawWatch(X11Connection& connection, X11WindowEvents& events, const ContinuousClock& clock,
                 QObject* parent = nullptr);
    ~X11DrawWatch() override;
    X11DrawWatch(const X11DrawWatch&) = delete;
    X11DrawWatch& operator=(const X11DrawWatch&) = delete;

    // How long one waiting for the client to draw sleeps before asking again (DrawSettling::wait);
    // none when it has drawn, or was on screen before it was heard of. `size` is the client's
    // size as last read: one of unknown size is taken to have had it all along.
    std::optional<Duration> wait(xcb_window_t window, QSize size);
    // Whether the event is a Damage notice, which changes nothing a reader reads.
    bool isDamageNotice(const xcb_generic_event_t& event) const;
    // An event as it arrives from the server, in the order they come.
    void note(const xcb_generic_event_t& event);
    // Whether the event is about a window manager's frame heard of here, which no reader reads.
    bool isFrameNotice(const xcb_generic_event_t& event) const;

  private:
    struct Followed {
        xcb_damage_damage_t damage = XCB_NONE;
        // The request that made it: the notice the server sends as it makes one for a window on
        // screen reports what the window held already.
        unsigned int made = 0;
        // While on screen and not settled yet.
        std::optional<DrawSettling> settling;
        // Whether its drawings count: after its Expose, or from the start when heard of late.
        bool exposed = false;
        // Followed since a change of size (of the client or its frame), marked by the request
        // `heardAt` of this connection: drawings the server reports from then on count.
        bool changed = false;
        unsigned int heardAt = 0;
    };

    void windowEvent(const X11WindowEvent& event);
    // Gives the client a Damage object unless it has one.
    void arm(Followed& followed, xcb_window_t window);
    void shown(xcb_window_t window);
    void shownLate(xcb_window_t window);
    // A client's or a frame's own ConfigureNotify.
    void resized(xcb_window_t window, QSize size);
    void changed(xcb_window_t window);
    // Listens to the frame holding the client (its ancestor below the root), once.
    void watchFrame(xcb_window_t window);
    void forget(xcb_window_t window);
    void hidden(xcb_window_t window);
    void drawn(xcb_window_t window, unsigned int sequence);
    void end(xcb_window_t window, bool destroyed = false);
    // Asks for the extension on first use; whether the server offers it.
    bool damageOffered();

    X11Connection& connection_;
    const ContinuousClock& clock_;
    QHash<xcb_window_t, Followed> followed_;
    // Each client's and frame's size as last heard, from its ConfigureNotify or a read.
    QHash<xcb_window_t, QSize> sizes_;
    // The frame holding each client whose size has changed (itself when it has none), and the
    // client each of those frames holds.
    QHash<xcb_window_t, xcb_window_t> framed_;
    QHash<xcb_window_t, xcb_window_t> frames_;
    static constexpr int maximumFrameDepth = 8;
    std::optional<bool> offered_;
    // The event code of Damage notices; 0 without Damage.
    uint8_t noticeCode_ = 0;
};

}  // namespace pellucine
