#pragma once

#include <functional>

#include "platform/SystemSwitcher.h"

namespace pellucine {

// The switcher of the simulated desktop. The shell carries the system Dock's identifier; what
// dismissing does is up to the strip that is attached (`SimulatedSystemDock` attaches itself).
class SimulatedSystemSwitcher final : public SystemSwitcher {
  public:
    QString shellBundleIdentifier() const override;
    bool dismiss() override;
    std::optional<SwitcherBinding> binding() const override { return binding_; }

    // Driver: what a dismissal does; it answers whether a strip was up. None: nothing is up.
    void setDismissHandler(std::function<bool()> handler) { onDismiss_ = std::move(handler); }
    int dismissCount() const { return dismissals_; }
    // Driver: the keys the strip opens on, Super+Tab unless set.
    void setBinding(std::optional<SwitcherBinding> binding) { binding_ = binding; }

  private:
    std::function<bool()> onDismiss_;
    int dismissals_ = 0;
    std::optional<SwitcherBinding> binding_ = SwitcherBinding{};
};

}  // namespace pellucine
