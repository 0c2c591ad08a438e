#include <gtest/gtest.h>

#include "preferences/RecordDating.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

const QDateTime now = QDateTime::fromSecsSinceEpoch(1'767'225'600, Qt::UTC);

TEST(RecordDatingTest, DatesUpToTheToleranceAheadCountAsThemselves) {
    RecordDating dating;
    const qint64 tolerance = std::chrono::seconds(RecordDating::tolerance).count();
    for (const QDateTime& claimed : {now.addYears(-3), now, now.addSecs(tolerance), QDateTime()}) {
        EXPECT_EQ(dating.counted(claimed, now), claimed)
            << claimed.toString(Qt::ISODate).toStdString();
    }
    EXPECT_FALSE(RecordDating::isFarAhead(now.addSecs(tolerance), now));
    EXPECT_TRUE(RecordDating::isFarAhead(now.addSecs(tolerance).addMSecs(1), now));
    EXPECT_FALSE(RecordDating::isFarAhead(now.addYears(1), QDateTime()));
}

TEST(RecordDatingTest, ADateFarAheadCountsAsWhenItWasFirstReadUntilAnotherComes) {
    RecordDating dating;
    const QDateTime ahead = now.addYears(900);
    EXPECT_EQ(dating.counted(ahead, now), now);
    // Read again later, it keeps the moment of its first reading.
    EXPECT_EQ(dating.counted(ahead, now.addSecs(60)), now);
    // A date that has come within reach counts as itself and leaves the first one be.
    EXPECT_EQ(dating.counted(now.addSecs(90), now.addSecs(60)), now.addSecs(90));
    EXPECT_EQ(dating.counted(ahead, now.addSecs(120)), now);
    // Another date far ahead is another record: read from now on.
    EXPECT_EQ(dating.counted(ahead.addSecs(1), now.addSecs(180)), now.addSecs(180));
    EXPECT_EQ(dating.counted(ahead, now.addSecs(240)), now.addSecs(240));
}

}  // namespace
}  // namespace pellucine
