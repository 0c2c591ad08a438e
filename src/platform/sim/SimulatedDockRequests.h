#pragma once

#include "platform/SystemDock.h"

namespace pellucine {

// The simulated desktop has a Dock of its own (`SimulatedSystemDock` scripts it): the program's
// wish for one is only noted, for tests to check.
class SimulatedDockRequests final : public SystemDock {
  public:
    void setWanted(bool wanted) override {
        wanted_ = wanted;
        ++requests_;
    }
    bool isWanted() const override { return wanted_; }
    Kind kind() const override { return kind_; }

    // Driver: how often the wish was stated.
    int requestCount() const { return requests_; }
    // Driver: the Dock the desktop has.
    void setKind(Kind kind) { kind_ = kind; }

  private:
    bool wanted_ = false;
    int requests_ = 0;
    Kind kind_ = Kind::systemDock;
};

}  // namespace pellucine
