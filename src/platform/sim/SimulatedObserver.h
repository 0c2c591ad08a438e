#pragma once

#include "platform/AccessibilityObserver.h"
#include "platform/sim/SimulatedDesktop.h"

namespace pellucine {

// An observer of the simulated desktop. Its registrations live in a state that the desktop
// sees weakly, so nothing is delivered once the observer is destroyed.
class SimulatedObserver final : public AccessibilityObserver {
  public:
    SimulatedObserver(SimulatedDesktop& desktop, std::weak_ptr<const bool> desktopAlive,
                      std::shared_ptr<SimulatedDesktop::ObserverState> state)
        : desktop_(&desktop), alive_(std::move(desktopAlive)), state_(std::move(state)) {}

    AccessibilityStatus addNotification(const ElementRef& element,
                                        QStringView notification) override;
    void start() override { state_->started = true; }
    void stop() override { state_->started = false; }

  private:
    SimulatedDesktop* desktop_;
    std::weak_ptr<const bool> alive_;
    std::shared_ptr<SimulatedDesktop::ObserverState> state_;
};

}  // namespace pellucine
