#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <deque>
#include <functional>
#include <memory>

#include "platform/x11/X11Atoms.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

// The backend's own connection to the X server, read on the thread that owns it (the main
// thread) through a socket notifier. Events are handed out in arrival order through
// `eventReceived`, including those that arrived while a reply was awaited.
class X11Connection final : public QObject {
    Q_OBJECT

  public:
    static constexpr std::size_t eventsPerTurn = 128;

    // Connects to `displayName`, or to DISPLAY when it is empty; throws X11Error when no server
    // answers.
    explicit X11Connection(const QByteArray& displayName = {}, QObject* parent = nullptr);
    ~X11Connection() override;

    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* get() const { return connection_.get(); }
    xcb_window_t root() const { return screen_->root; }
    const xcb_screen_t& screen() const { return *screen_; }
    const X11Atoms& atoms() const { return atoms_; }
    // The display as given, or DISPLAY.
    const QByteArray& displayName() const { return displayName_; }
    bool hasError() const;

    // Whether the window manager lists the hint in _NET_SUPPORTED.
    bool supports(xcb_atom_t hint) const;

    // Sends every buffered request.
    void flush();
    // Sends every buffered request and waits until the server has carried them out.
    void sync();
    // Hands out, in order, the events received by now, at most `eventsPerTurn`; the rest, and
    // those arriving meanwhile, follow in later turns of the event loop. True when none is left.
    bool dispatchPendingEvents();
    // A timestamp of the server's clock, for requests that the window manager orders by time.
    // Costs one round trip; CurrentTime when the connection has failed.
    xcb_timestamp_t serverTime();
    // How many events have arrived from the server so far, those waiting in the socket
    // included; they are handed out later from the event loop.
    quint64 receivedEventCount();
    // Of those, the ones `isChange` accepts; every one while none is set.
    quint64 receivedChangeCount();
    void setChangeFilter(std::function<bool(const xcb_generic_event_t&)> isChange);
    // The most recent timestamp seen in an event, CurrentTime before the first.
    xcb_timestamp_t lastEventTime() const { return lastEventTime_; }

    // Sets the events this connection receives for `window` (other clients keep their own),
    // together with those kept for it.
    void selectEvents(xcb_window_t window, uint32_t mask);
    // The events a window of this connection's own needs whatever else is selected on it
    // here; none forgets them.
    void keepEvents(xcb_window_t window, uint32_t mask);
    uint32_t keptEvents(xcb_window_t window) const {
        return keptEvents_.value(window, XCB_EVENT_MASK_NO_EVENT);
    }

  signals:
    void eventReceived(const xcb_generic_event_t& event);
    // The socket was read: replies to requests sent without waiting may have come in with the
    // events, where only xcb_poll_for_reply finds them.
    void socketRead();
    void connectionLost();

  private:
    struct Disconnect {
        void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
    };

    void readSupported();
    void hold(X11Reply<xcb_generic_event_t> event);
    void count(const xcb_generic_event_t& event);
    void handle(const xcb_generic_event_t& event);
    void noteTime(const xcb_generic_event_t& event);

    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    QHash<xcb_window_t, uint32_t> keptEvents_;
    QByteArray displayName_;
    xcb_screen_t* screen_ = nullptr;
    X11Atoms atoms_;
    xcb_window_t timeWindow_ = XCB_NONE;
    QList<xcb_atom_t> supported_;
    std::deque<X11Reply<xcb_generic_event_t>> held_;
    xcb_timestamp_t lastEventTime_ = XCB_CURRENT_TIME;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool lost_ = false;
    quint64 received_ = 0;
    quint64 changes_ = 0;
    std::function<bool(const xcb_generic_event_t&)> isChange_;
    bool dispatchPosted_ = false;
};

}  // namespace pellucine
