#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "base/ManualExecutor.h"
#include "base/ManualScheduler.h"
#include "platform/linux/SyncFolderCloudAccount.h"
#include "preferences/CloudPreferenceSync.h"
#include "support/QtPrinters.h"
#include "support/TaskOutcome.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::follow;

// Preference sync over a real sync folder, as two machines sharing it would use it.
class SyncFolderPreferenceSyncTest : public ::testing::Test {
  protected:
    void settle() {
        while (executor.pendingCount() > 0 || scheduler.pendingCount() > 0) {
            executor.runAll();
            scheduler.runUntilIdle();
        }
    }
    PortablePreferences at(int second, double width) {
        PortablePreferences p = PortablePreferences::makeDefault(
            QDateTime(QDate(2026, 3, 14), QTime(9, 0, second), Qt::UTC));
        p.previewWidth = width;
        return p;
    }

    testing::TempFolder temp;
    ManualScheduler scheduler;
    ManualExecutor executor{scheduler};
    SyncFolderCloudAccount account{temp.path(), executor};
    const Bundle configured{{{QStringLiteral("DockCloudSyncConfigured"), true}}, QString()};
    CloudPreferenceSync sync{account, scheduler, configured};
};

TEST_F(SyncFolderPreferenceSyncTest, ThePushedRecordIsWhatAnotherMachinePulls) {
    const auto empty = follow(sync.pull());
    settle();
    ASSERT_TRUE(empty->succeeded());
    EXPECT_FALSE(*empty->value);

    const PortablePreferences mine = at(1, 420);
    const auto pushed = follow(sync.push(mine));
    settle();
    ASSERT_TRUE(pushed->succeeded());
    EXPECT_TRUE(QFileInfo::exists(temp.file("pellucine/portable-preferences-v1.json")));

    ManualExecutor otherExecutor{scheduler};
    SyncFolderCloudAccount otherAccount{temp.path(), otherExecutor};
    CloudPreferenceSync other{otherAccount, scheduler, configured};
    const auto pulled = follow(other.pull());
    otherExecutor.runAll();
    scheduler.runUntilIdle();
    ASSERT_TRUE(pulled->succeeded());
    EXPECT_EQ(**pulled->value, mine);
}

TEST_F(SyncFolderPreferenceSyncTest, EditsWithinOneSecondKeepTheirOrder) {
    PortablePreferences later = at(1, 420);
    later.modifiedAt = later.modifiedAt.addMSecs(600);
    const auto pushed = follow(sync.push(later));
    settle();
    ASSERT_TRUE(pushed->succeeded());
    const auto pulled = follow(sync.pull());
    settle();
    ASSERT_TRUE(pulled->succeeded());
    EXPECT_EQ((*pulled->value)->modifiedAt, later.modifiedAt);

    // An edit earlier in the same second finds the stored one newer.
    PortablePreferences earlier = at(1, 500);
    earlier.modifiedAt = earlier.modifiedAt.addMSecs(300);
    const auto kept = follow(sync.push(earlier, [&](const PortablePreferences& stored) {
        return stored.modifiedAt > earlier.modifiedAt;
    }));
    settle();
    ASSERT_TRUE(kept->succeeded());
    ASSERT_TRUE(*kept->value);
    EXPECT_EQ(**kept->value, later);
}

TEST_F(SyncFolderPreferenceSyncTest, BackToBackPushesDoNotTripOverEachOthersChangeTags) {
    const auto first = follow(sync.push(at(1, 400)));
    const auto second = follow(sync.push(at(2, 500)));
    const auto third = follow(sync.push(at(3, 600)));
    settle();
    EXPECT_TRUE(first->succeeded());
    EXPECT_TRUE(second->succeeded());
    EXPECT_TRUE(third->succeeded());
    const auto pulled = follow(sync.pull());
    settle();
    EXPECT_EQ(**pulled->value, at(3, 600));
}

TEST_F(SyncFolderPreferenceSyncTest, EachOperationGoesToTheFolderChosenAtThatMoment) {
    std::optional<QString> chosen;
    SyncFolderCloudAccount following{[&chosen] { return chosen; }, executor};
    CloudPreferenceSync synced{following, scheduler, configured};
    const auto message = [](const auto& outcome) {
        return CloudPreferenceSync::userMessage(*outcome->template errorAs<CloudStoreError>());
    };

    const auto unchosen = follow(synced.push(at(1, 400)));
    settle();
    ASSERT_TRUE(unchosen->error);
    EXPECT_EQ(message(unchosen), QStringLiteral("Choose a sync folder to sync settings."));

    chosen = temp.file("A");
    QDir().mkpath(*chosen);
    const auto first = follow(synced.push(at(2, 420)));
    settle();
    ASSERT_TRUE(first->succeeded());
    EXPECT_TRUE(QFileInfo::exists(temp.file("A/pellucine/portable-preferences-v1.json")));

    chosen = temp.file("B");
    const auto missing = follow(synced.pull());
    settle();
    ASSERT_TRUE(missing->error);
    EXPECT_TRUE(message(missing).startsWith(u"Sync folder not found."));

    QDir().mkpath(*chosen);
    const auto empty = follow(synced.pull());
    settle();
    ASSERT_TRUE(empty->succeeded());
    EXPECT_FALSE(*empty->value) << "the new folder holds nothing yet";
}

}  // namespace
}  // namespace pellucine
