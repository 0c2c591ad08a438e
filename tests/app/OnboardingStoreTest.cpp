#include <gtest/gtest.h>

#include "app/OnboardingStore.h"
#include "preferences/SettingsFileStore.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

TEST(OnboardingStoreTest, CompletionIsFalseUntilStoredAndSurvivesAFileBackedStore) {
    testing::TempFolder folder;
    const QString path = SettingsFileStore::standardFilePath(folder.paths());
    {
        SettingsFileStore defaults(path);
        OnboardingStore store(defaults);
        EXPECT_FALSE(store.hasCompletedOnboarding());
        store.setCompletedOnboarding(true);
    }
    SettingsFileStore reopened(path);
    OnboardingStore store(reopened);
    EXPECT_TRUE(store.hasCompletedOnboarding());
    store.setCompletedOnboarding(false);
    EXPECT_FALSE(OnboardingStore(reopened).hasCompletedOnboarding());
}

}  // namespace
}  // namespace pellucine
