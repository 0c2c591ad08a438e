#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "base/WeakList.h"
#include "platform/PointerEventSource.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11RawInput.h"

namespace pellucine {

// The session's pointer through XInput 2 raw motion and button events, with the position read
// from the server (raw events carry none) and mapped to the global space. The moves of one
// burst arrive as one, at the position after the burst; buttons 4 to 7 are scroll steps. A
// pointer moved without a device (warped by another client) makes no raw motion: while moves
// are watched the position is also read every `pollInterval`, and a change is a move.
class X11PointerEventSource final : public PointerEventSource {
  public:
    X11PointerEventSource(std::weak_ptr<X11DesktopState> state, X11RawInput& rawInput);
    ~X11PointerEventSource() override;
    X11PointerEventSource(const X11PointerEventSource&) = delete;
    X11PointerEventSource& operator=(const X11PointerEventSource&) = delete;

    static constexpr int pollIntervalMilliseconds = 100;

    Subscription monitor(unsigned kinds, Handler handler) override;
    GlobalPoint pointerLocation() const override;

    // The event a raw button press or release stands for; none for a release of a scroll step.
    static std::optional<PointerEvent> buttonEvent(quint32 button, bool pressed);

  private:
    struct Monitor {
        unsigned kinds = 0;
        Handler handler;
    };

    void handleRaw(const X11RawInput::Event& event);
    void deliverMotion();
    void deliver(unsigned kind, PointerEvent event);
    void reselect();
    void pollPosition();

    std::weak_ptr<X11DesktopState> state_;
    X11RawInput& rawInput_;
    WeakList<Monitor> monitors_;
    unsigned listening_ = 0;
    Subscription raw_;
    bool motionQueued_ = false;
    // Reads the position while moves are watched; the last position a move reported.
    QTimer poll_;
    std::optional<GlobalPoint> lastMove_;
    // Context of the queued motion delivery: dropped with the source.
    QObject context_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
