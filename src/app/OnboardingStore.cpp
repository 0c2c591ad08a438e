#include "app/OnboardingStore.h"

namespace pellucine {

bool OnboardingStore::hasCompletedOnboarding() const {
    return defaults_.value(completedKey).toBool();
}

void OnboardingStore::setCompletedOnboarding(bool completed) {
    defaults_.setValue(completedKey, completed);
}

}  // namespace pellucine
