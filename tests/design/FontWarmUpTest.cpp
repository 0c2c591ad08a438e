#include <gtest/gtest.h>

#include <memory>

#include "base/ManualScheduler.h"
#include "design/FontWarmUp.h"
#include "design/YardFonts.h"

namespace pellucine {
namespace {

QList<QFont> threeFonts() {
    return {Yard::bodyFont(), Yard::keyFont(), Yard::kickerFont()};
}

TEST(FontWarmUp, DrawsNothingBeforeTheDelayThenEveryFontOneATurn) {
    ManualScheduler scheduler;
    FontWarmUp warmUp(scheduler, seconds(1), threeFonts());
    scheduler.advance(0.999);
    EXPECT_EQ(warmUp.remaining(), 3);
    EXPECT_EQ(scheduler.pendingCount(), 1U);
    // The first font at the deadline, each further one in a turn of its own.
    EXPECT_EQ(scheduler.advance(0.001), 3);
    EXPECT_EQ(warmUp.remaining(), 0);
    EXPECT_EQ(scheduler.pendingCount(), 0U);
}

TEST(FontWarmUp, FontsMadeLaterAreMadeOnceAtTheDeadline) {
    ManualScheduler scheduler;
    int made = 0;
    FontWarmUp warmUp(scheduler, seconds(1), FontWarmUp::Later([&] {
                          ++made;
                          return threeFonts();
                      }));
    scheduler.advance(0.999);
    EXPECT_EQ(made, 0);
    EXPECT_EQ(scheduler.advance(0.001), 3);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(warmUp.remaining(), 0);
    EXPECT_EQ(scheduler.pendingCount(), 0U);
    // A maker that makes nothing leaves nothing to do.
    FontWarmUp none(scheduler, seconds(1), FontWarmUp::Later([] { return QList<QFont>{}; }));
    EXPECT_EQ(scheduler.advance(1), 1);
    EXPECT_EQ(scheduler.pendingCount(), 0U);
}

TEST(FontWarmUp, DroppedOrEmptyLeavesNothingScheduled) {
    ManualScheduler scheduler;
    auto warmUp = std::make_unique<FontWarmUp>(scheduler, seconds(1), threeFonts());
    warmUp.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0U);
    EXPECT_EQ(scheduler.advance(2), 0);

    const FontWarmUp empty(scheduler, seconds(1), {});
    EXPECT_EQ(scheduler.pendingCount(), 0U);
}

}  // namespace
}  // namespace pellucine
