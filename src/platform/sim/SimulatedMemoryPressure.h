#pragma once

#include <memory>

#include "base/Scheduler.h"
#include "platform/MemoryPressure.h"
#include "platform/NoticeList.h"

namespace pellucine {

// Memory pressure of the simulated desktop: events come when the test fires them.
class SimulatedMemoryPressure final : public MemoryPressure {
  public:
    explicit SimulatedMemoryPressure(Scheduler& scheduler) : scheduler_(scheduler) {}
    SimulatedMemoryPressure(const SimulatedMemoryPressure&) = delete;
    SimulatedMemoryPressure& operator=(const SimulatedMemoryPressure&) = delete;

    std::optional<QString> unavailableReason() const override { return unavailable_; }
    Subscription subscribe(Handler handler) override;

    // Driver. An unavailable source fires nothing.
    void setUnavailable(std::optional<QString> reason) { unavailable_ = std::move(reason); }
    // Delivers the event to every subscriber on the scheduler's next turn.
    void fire(MemoryPressureEvents events);
    int subscriberCount() const { return subscribed_; }

  private:
    Scheduler& scheduler_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    std::optional<QString> unavailable_;
    NoticeList<MemoryPressureEvents> handlers_;
    int subscribed_ = 0;
};

}  // namespace pellucine
