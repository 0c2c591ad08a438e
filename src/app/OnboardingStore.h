#pragma once

#include <QString>

#include "preferences/KeyValueStore.h"

namespace pellucine {

// Whether the user has finished the welcome flow, kept in the user defaults.
class OnboardingStore final {
  public:
    static inline const QString completedKey = QStringLiteral("hasCompletedTaskSwitcherOnboarding");

    explicit OnboardingStore(KeyValueStore& defaults) : defaults_(defaults) {}

    // False when the key is absent.
    bool hasCompletedOnboarding() const;
    void setCompletedOnboarding(bool completed);

  private:
    KeyValueStore& defaults_;
};

}  // namespace pellucine
