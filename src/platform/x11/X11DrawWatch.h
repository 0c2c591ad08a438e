#pragma once

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QHash>
#include <QObject>
#include <optional>

#include "base/Clock.h"
#include "platform/DrawSettling.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowEvents.h"

namespace pellucine {

// Follows the clients that have just come on screen until they have drawn their content, as
// DrawSettling rules, through Damage objects that report every drawing. A client gets one when
// it is unmapped (minimized, on another desktop), so that its next showing is heard from the
// start: its MapNotify opens it, the server's painting of the background before its Expose does
// not count, and what it draws after does. A client heard of only once shown (a new one, or one
// whose window manager keeps it mapped while minimized) gets one then, and counts every drawing
// from then on. The object goes once the client has settled. Without Damage every client is
// taken for drawn at the limit. Main thread only; the clients' Expose events come through
// X11WindowEvents' selection.
class X11DrawWatch final : public QObject {
    Q_OBJECT

  public:
    X11DrawWatch(X11Connection& connection, X11WindowEvents& events, const ContinuousClock& clock,
                 QObject* parent = nullptr);
    ~X11DrawWatch() override;
    X11DrawWatch(const X11DrawWatch&) = delete;
    X11DrawWatch& operator=(const X11DrawWatch&) = delete;

    // How long one waiting for the client to draw sleeps before asking again (DrawSettling::wait);
    // none when it has drawn, or was on screen before it was heard of.
    std::optional<Duration> wait(xcb_window_t window);
    // Whether the event is a Damage notice, which changes nothing a reader reads.
    bool isDamageNotice(const xcb_generic_event_t& event) const;

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
    };

    void handle(const xcb_generic_event_t& event);
    void windowEvent(const X11WindowEvent& event);
    // Gives the client a Damage object unless it has one.
    void arm(Followed& followed, xcb_window_t window);
    void shown(xcb_window_t window);
    void shownLate(xcb_window_t window);
    void hidden(xcb_window_t window);
    void drawn(xcb_window_t window);
    void end(xcb_window_t window, bool destroyed = false);
    // Asks for the extension on first use; whether the server offers it.
    bool damageOffered();

    X11Connection& connection_;
    const ContinuousClock& clock_;
    QHash<xcb_window_t, Followed> followed_;
    std::optional<bool> offered_;
    // The event code of Damage notices; 0 without Damage.
    uint8_t noticeCode_ = 0;
};

}  // namespace pellucine
