#pragma once

#include <memory>

#include "base/Scheduler.h"
#include "platform/DesktopAppearance.h"
#include "platform/NoticeList.h"

namespace pellucine {

// The simulated desktop's scheme preference: it changes when the test sets it.
class SimulatedAppearance final : public DesktopAppearance {
  public:
    explicit SimulatedAppearance(Scheduler& scheduler) : scheduler_(scheduler) {}
    SimulatedAppearance(const SimulatedAppearance&) = delete;
    SimulatedAppearance& operator=(const SimulatedAppearance&) = delete;

    SchemePreference preference() const override { return preference_; }
    Subscription subscribe(Handler handler) override;

    // Driver: a change reaches every subscriber on the scheduler's next turn.
    void setPreference(SchemePreference preference);

  private:
    Scheduler& scheduler_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    SchemePreference preference_ = SchemePreference::none;
    NoticeList<SchemePreference> handlers_;
};

}  // namespace pellucine
