#pragma once

#include <memory>

#include "base/WeakList.h"
#include "platform/PointerEventSource.h"

namespace pellucine {

// The pointer of the simulated desktop: the test moves it, clicks and scrolls, and every monitor
// of that kind of event sees it at once, as the desktop's event delivery would.
class SimulatedPointer final : public PointerEventSource {
  public:
    enum class Button { left, right, other };

    Subscription monitor(unsigned kinds, Handler handler) override;
    GlobalPoint pointerLocation() const override { return location_; }

    // Driver.
    void moveTo(GlobalPoint location);
    // Down, then up, where the pointer is; `onOwnWindow`: on a window of the program.
    void click(Button button, bool onOwnWindow = false);
    void scroll(double x, double y);
    // Later monitors are refused.
    void setMonitorsRefused(bool refused) { refused_ = refused; }

    int monitorCount() const;

  private:
    struct Monitor {
        unsigned kinds = 0;
        Handler handler;
    };

    void deliver(unsigned kind, const PointerEvent& event);

    WeakList<Monitor> monitors_;
    GlobalPoint location_;
    bool refused_ = false;
};

}  // namespace pellucine
