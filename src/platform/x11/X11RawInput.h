#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <functional>
#include <memory>

#include "base/Subscription.h"
#include "base/WeakList.h"

namespace pellucine {

class X11Connection;

// The XInput 2 raw events of the master devices, selected on the root window for as long as
// someone listens to them. Raw events observe without consuming, and from XInput 2.1 on they
// keep arriving while a client holds a grab. Main thread only.
class X11RawInput {
  public:
    enum Stream : unsigned {
        keys = 1,
        motion = 2,
        buttons = 4,
    };

    struct Event {
        enum class Kind { keyPress, keyRelease, buttonPress, buttonRelease, motion };
        Kind kind = Kind::motion;
        // The key code or the button.
        quint32 detail = 0;
        xcb_timestamp_t time = XCB_CURRENT_TIME;
        // The server marked a key press as an automatic repeat.
        bool isRepeat = false;
    };
    using Handler = std::function<void(const Event&)>;

    // Follows the connection's events.
    explicit X11RawInput(X11Connection& connection);
    ~X11RawInput();
    X11RawInput(const X11RawInput&) = delete;
    X11RawInput& operator=(const X11RawInput&) = delete;

    // The server offers XInput 2.1 or later.
    bool isAvailable() const { return opcode_ != 0; }

    // Selects the streams (a combination of `Stream`) while the subscription lives, from the
    // moment it returns; an inactive subscription when raw events are not available.
    Subscription listen(unsigned streams, Handler handler);

  private:
    struct Listener {
        unsigned streams = 0;
        Handler handler;
    };

    void select();
    void handle(const xcb_generic_event_t& event);

    X11Connection& connection_;
    quint8 opcode_ = 0;
    unsigned selected_ = 0;
    WeakList<Listener> listeners_;
    QMetaObject::Connection events_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
