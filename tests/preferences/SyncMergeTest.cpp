#include <gtest/gtest.h>

#include "preferences/SyncMerge.h"

namespace pellucine {
namespace {

const QDateTime earlier = QDateTime::fromSecsSinceEpoch(1'767'225'600, Qt::UTC);
const QDateTime later = earlier.addSecs(1);
const QDateTime never = distantPast();

TEST(SyncMergeTest, TheRemoteCopyWinsOnlyAsTheRuleSays) {
    using Read = SyncMerge::Read;
    struct Row {
        const char* name;
        Read read;
        QDateTime local;
        QDateTime remote;
        bool remoteCountsFromRead;
        bool remoteWins;
    };
    const Row rows[] = {
        {"a later edit there wins", Read::update, earlier, later, false, true},
        {"an earlier edit there loses", Read::update, later, earlier, false, false},
        {"a tie keeps this copy", Read::update, earlier, earlier, false, false},
        {"a tie goes to a date counted from its reading", Read::update, earlier, earlier, true,
         true},
        {"an edit there beats defaults here", Read::update, never, earlier, false, true},
        {"defaults there never beat an edit here", Read::update, later, never, false, false},
        {"defaults on both sides keep this copy", Read::update, never, never, false, false},
        {"an invalid date there is no edit", Read::update, earlier, QDateTime(), false, false},
        {"joining takes an older edit", Read::join, later, earlier, false, true},
        {"joining takes an edit over defaults", Read::join, never, earlier, false, true},
        {"joining takes defaults over defaults", Read::join, never, never, false, true},
        {"joining never takes defaults over an edit", Read::join, later, never, false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SyncMerge::remoteWins(row.read, row.local, row.remote, row.remoteCountsFromRead),
                  row.remoteWins)
            << row.name;
    }
}

TEST(SyncMergeTest, RecordsDifferOnlyInTheirSettings) {
    PortablePreferences a;
    PortablePreferences b = a;
    b.modifiedAt = later;
    b.syncEnabled = true;
    EXPECT_FALSE(SyncMerge::differ(a, b));
    b.excludedDockAppBundleIdentifiers = QStringList{"galculator"};
    EXPECT_TRUE(SyncMerge::differ(a, b));
}

}  // namespace
}  // namespace pellucine
