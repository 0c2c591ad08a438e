#include <gtest/gtest.h>

#include "base/ManualScheduler.h"
#include "platform/sim/SimulatedDesktop.h"
#include "support/QtPrinters.h"
#include "support/TaskOutcome.h"

namespace pellucine {
namespace {

using testing::follow;

TEST(SimulatedCloudStoreTest, OneOffFailuresGoFirstAndStaleTagsAreRefused) {
    ManualScheduler scheduler;
    SimulatedCloudStore store(scheduler);
    store.failFetches(CloudErrorCode::networkFailure);
    store.failNextFetch(CloudErrorCode::quotaExceeded);
    const auto first = follow(store.fetch(QStringLiteral("r")));
    const auto second = follow(store.fetch(QStringLiteral("r")));
    store.failFetches(std::nullopt);
    const auto third = follow(store.fetch(QStringLiteral("r")));
    scheduler.runUntilIdle();
    EXPECT_EQ(first->errorAs<CloudStoreError>()->code(), CloudErrorCode::quotaExceeded);
    EXPECT_EQ(second->errorAs<CloudStoreError>()->code(), CloudErrorCode::networkFailure)
        << "fixed when the operation started";
    EXPECT_EQ(third->errorAs<CloudStoreError>()->code(), CloudErrorCode::unknownItem);

    store.putRecord(CloudRecord{QStringLiteral("T"), QStringLiteral("r"), {}, {}});
    const CloudRecord stored = *store.storedRecord(QStringLiteral("r"));
    EXPECT_FALSE(stored.changeTag.isEmpty());
    const auto fresh =
        follow(store.save(CloudRecord{QStringLiteral("T"), QStringLiteral("r"), {}, {}}));
    const auto update = follow(store.save(stored));
    scheduler.runUntilIdle();
    EXPECT_EQ(fresh->errorAs<CloudStoreError>()->code(), CloudErrorCode::serverRecordChanged);
    ASSERT_TRUE(update->succeeded());
    EXPECT_NE(update->value->changeTag, stored.changeTag);
    EXPECT_EQ(store.savedRecords().size(), 1);
}

TEST(SimulatedCloudStoreTest, AStoredRecordIsFetchedWholeEveryTime) {
    ManualScheduler scheduler;
    SimulatedCloudStore store(scheduler);
    store.putRecord(CloudRecord{QStringLiteral("T"),
                                QStringLiteral("r"),
                                {{QStringLiteral("f"), QStringLiteral("value")}},
                                {}});
    const CloudRecord stored = *store.storedRecord(QStringLiteral("r"));
    for (int i = 0; i < 3; ++i) {
        const auto fetched = follow(store.fetch(QStringLiteral("r")));
        scheduler.runUntilIdle();
        ASSERT_TRUE(fetched->succeeded()) << "fetch " << i;
        EXPECT_EQ(*fetched->value, stored) << "fetch " << i;
    }
    EXPECT_EQ(store.storedRecord(QStringLiteral("r")), stored);
}

TEST(SimulatedPermissionsTest, APromptAppliesTheScriptedAnswerAndLiveCaptureFollowsTheGrant) {
    ManualScheduler scheduler;
    SimulatedDesktop desktop(scheduler);
    SimulatedPermissions& permissions = desktop.simulatedPermissions();
    permissions.setScreenCapture(SimulatedPermission::denied);
    EXPECT_FALSE(permissions.requestScreenCapture()) << "no answer scripted: nothing changes";
    EXPECT_FALSE(permissions.canCaptureLive());
    permissions.setScreenCaptureAnswer(SimulatedPermission::awaitingRelaunch);
    EXPECT_FALSE(permissions.requestScreenCapture());
    EXPECT_FALSE(permissions.isScreenCaptureAllowed());
    EXPECT_TRUE(permissions.canCaptureLive());

    desktop.setTrusted(false);
    permissions.setAccessibilityAnswer(SimulatedPermission::granted);
    EXPECT_TRUE(permissions.requestAccessibility());
    EXPECT_TRUE(desktop.accessibility().isProcessTrusted());
    EXPECT_EQ(permissions.prompts(),
              (QStringList{"screen capture", "screen capture", "accessibility"}));
}

}  // namespace
}  // namespace pellucine
