#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "base/WeakList.h"
#include "platform/PointerEventSource.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11PointerPoll.h"
#include "platform/x11/X11RawInput.h"

namespace pellucine {

// The session's pointer through XInput 2 raw motion and button events, mapped to the global
// space; buttons 4 to 7 are scroll steps. Raw events carry no position: a click or a scroll reads
// it from the server at once, while a move never waits for it. A move is reported where a motion
// or crossing event on the root or on a window of this connection puts the pointer; after a raw
// motion heard alone, where the server's answer to a position request sent without waiting puts
// it. The moves of one burst arrive as one, at the position after the burst.
//
// A pointer warped by another client makes no raw motion, and its motion reaches the root only
// where no other client's window lies: while moves are watched the position is also read as
// `X11PointerPoll` says for the Dock that `setDock` names (near a taskbar, never with the own Dock
// bar), and a change is a move. Main thread only.
class X11PointerEventSource final : public PointerEventSource {
  public:
    using DockSource = std::function<std::optional<X11PointerPoll::Dock>()>;

    X11PointerEventSource(std::weak_ptr<X11DesktopState> state, X11RawInput& rawInput);
    ~X11PointerEventSource() override;
    X11PointerEventSource(const X11PointerEventSource&) = delete;
    X11PointerEventSource& operator=(const X11PointerEventSource&) = delete;

    Subscription monitor(unsigned kinds, Handler handler) override;
    GlobalPoint pointerLocation() const override;

    // Where the Dock is now, in root pixels; asked after every move.
    void setDock(DockSource dock) { dock_ = std::move(dock); }

    // The event a raw button press or release stands for; none for a release of a scroll step.
    static std::optional<PointerEvent> buttonEvent(quint32 button, bool pressed);

  private:
    struct Monitor {
        unsigned kinds = 0;
        Handler handler;
    };

    void handleRaw(const X11RawInput::Event& event);
    void handleEvent(const xcb_generic_event_t& event);
    void rawMotionSettled();
    void requestPosition(bool moved);
    void takePosition();
    void moved(QPoint rootPixels);
    void forgetRequest();
    std::optional<QPoint> readPosition() const;
    // Whether a window under the pointer, at any depth, is one of this process's: it names the
    // process in _NET_WM_PID, as Qt's windows and the shell's do.
    bool isOwnWindowUnderPointer() const;
    bool isWanted(unsigned kind) const;
    void deliver(unsigned kind, PointerEvent event);
    void reselect();
    void watchRoot(bool watch);
    void repoll();

    std::weak_ptr<X11DesktopState> state_;
    X11RawInput& rawInput_;
    DockSource dock_;
    WeakList<Monitor> monitors_;
    unsigned listening_ = 0;
    Subscription raw_;
    // A raw motion waits for the end of its turn of the event loop: a positioned event of the
    // same move makes a request needless.
    bool motionQueued_ = false;
    bool positionHeard_ = false;
    // The position request in flight, whether a move asked for it, and whether a move came
    // after it was sent.
    std::optional<unsigned> request_;
    bool requestMoved_ = false;
    bool movedSinceRequest_ = false;
    QTimer poll_;
    // Where the last move put the pointer, in root pixels, while moves are watched.
    std::optional<QPoint> lastMove_;
    QMetaObject::Connection events_;
    QMetaObject::Connection turnEnds_;
    QMetaObject::Connection reads_;
    // Context of the queued motion delivery: dropped with the source.
    QObject context_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
