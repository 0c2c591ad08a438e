#pragma once

#include <QObject>
#include <memory>
#include <optional>

#include "base/WeakList.h"
#include "platform/PointerEventSource.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11RawInput.h"

namespace pellucine {

// The session's pointer through XInput 2 raw motion and button events, with the position read
// from the server (raw events carry none) and mapped to the global space. The moves of one
// burst arrive as one, at the position after the burst; buttons 4 to 7 are scroll steps.
class X11PointerEventSource final : public PointerEventSource {
  public:
    X11PointerEventSource(std::weak_ptr<X11DesktopState> state, X11RawInput& rawInput);
    ~X11PointerEventSource() override;
    X11PointerEventSource(const X11PointerEventSource&) = delete;
    X11PointerEventSource& operator=(const X11PointerEventSource&) = delete;

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

    std::weak_ptr<X11DesktopState> state_;
    X11RawInput& rawInput_;
    WeakList<Monitor> monitors_;
    unsigned listening_ = 0;
    Subscription raw_;
    bool motionQueued_ = false;
    // Context of the queued motion delivery: dropped with the source.
    QObject context_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
