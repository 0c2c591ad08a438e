#include <gtest/gtest.h>

#include "platform/DrawSettling.h"

namespace pellucine {
namespace {

using std::chrono::milliseconds;

const ContinuousInstant shown{std::chrono::seconds(10)};

TEST(DrawSettlingTest, AWindowSettlesAQuietSpellAfterItsLatestDrawingAndNoLaterThanTheLimit) {
    DrawSettling settling{shown, std::nullopt};
    // Never drawn: pictured at the limit all the same.
    EXPECT_EQ(settling.settledAt(), shown + DrawSettling::limit);
    EXPECT_FALSE(settling.isSettled(shown + (DrawSettling::limit - milliseconds(1))));
    EXPECT_TRUE(settling.isSettled(shown + DrawSettling::limit));

    settling.drawn(shown + milliseconds(300));
    EXPECT_EQ(settling.settledAt(), shown + milliseconds(300) + DrawSettling::quietSpell);
    // Each drawing starts the quiet spell again.
    settling.drawn(shown + milliseconds(350));
    EXPECT_EQ(settling.settledAt(), shown + milliseconds(350) + DrawSettling::quietSpell);
    EXPECT_FALSE(settling.isSettled(shown + milliseconds(449)));
    EXPECT_TRUE(settling.isSettled(shown + milliseconds(450)));

    // One waiting looks again often, so that a drawing brings the picture nearer.
    EXPECT_EQ(settling.wait(shown + milliseconds(350)), DrawSettling::lookInterval);
    EXPECT_EQ(settling.wait(shown + milliseconds(440)), milliseconds(10));
    EXPECT_EQ(settling.wait(shown + milliseconds(500)), Duration::zero());

    // One that draws without pause is pictured at the limit.
    settling.drawn(shown + (DrawSettling::limit - milliseconds(10)));
    EXPECT_EQ(settling.settledAt(), shown + DrawSettling::limit);
}

TEST(DrawSettlingTest, DrawingsFromBeforeTheShowingOrOutOfOrderDoNotCount) {
    DrawSettling settling{shown, std::nullopt};
    settling.drawn(shown + milliseconds(-1));
    EXPECT_FALSE(settling.lastDrawnAt);
    EXPECT_EQ(settling.settledAt(), shown + DrawSettling::limit);

    // A drawing right as it comes on screen counts.
    settling.drawn(shown);
    EXPECT_EQ(settling.settledAt(), shown + DrawSettling::quietSpell);
    settling.drawn(shown + milliseconds(200));
    settling.drawn(shown + milliseconds(50));
    EXPECT_EQ(settling.lastDrawnAt, shown + milliseconds(200));
}

}  // namespace
}  // namespace pellucine
