#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "app/LinkAdmission.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Verdict = LinkAdmission::Verdict;
using std::chrono::milliseconds;
using std::chrono::seconds;

const LinkAdmission::Rule rule{.burst = 4, .refill = seconds(10), .repeatWindow = seconds(2)};

class LinkAdmissionTest : public ::testing::Test {
  protected:
    Verdict admit(const QString& link) {
        const LinkAdmission::Outcome outcome = state.admit(rule, now, link);
        state = outcome.next;
        return outcome.verdict;
    }
    int handledOf(const QStringList& links) {
        int handled = 0;
        for (const QString& link : links) {
            handled += admit(link) == Verdict::handle ? 1 : 0;
        }
        return handled;
    }

    LinkAdmission state;
    ContinuousInstant now{std::chrono::hours(5)};
};

TEST_F(LinkAdmissionTest, AnIdenticalLinkWithinTheWindowIsARepeatAndSpendsNothing) {
    EXPECT_EQ(admit("pellucine://settings"), Verdict::handle);
    now = now + seconds(2);
    EXPECT_EQ(admit("pellucine://settings"), Verdict::repeat);
    // The window slides with each arrival: a steady stream stays one repeat.
    for (int i = 0; i < 100; ++i) {
        now = now + seconds(1);
        EXPECT_EQ(admit("pellucine://settings"), Verdict::repeat);
    }
    now = now + seconds(2) + milliseconds(1);
    EXPECT_EQ(admit("pellucine://settings"), Verdict::handle);
    // Another link between two identical ones ends the repeat.
    EXPECT_EQ(admit("pellucine://diagnostics"), Verdict::handle);
    EXPECT_EQ(admit("pellucine://settings"), Verdict::handle);
    EXPECT_EQ(admit("pellucine://settings"), Verdict::repeat);
}

TEST_F(LinkAdmissionTest, ABurstHandlesAtMostItsTokensAndNotesTheFirstDropOnce) {
    const QStringList distinct{"a", "b", "c", "d"};
    EXPECT_EQ(handledOf(distinct), 4);
    EXPECT_EQ(admit("e"), Verdict::firstDropped);
    EXPECT_EQ(admit("f"), Verdict::dropped);
    EXPECT_EQ(admit("g"), Verdict::dropped);

    // A token back after the refill time, not before.
    now = now + (seconds(10) - milliseconds(1));
    EXPECT_EQ(admit("h"), Verdict::dropped);
    now = now + milliseconds(1);
    EXPECT_EQ(admit("i"), Verdict::handle);
    // A new drop after a handled link is noted again.
    EXPECT_EQ(admit("j"), Verdict::firstDropped);

    // A long quiet fills the bucket, never beyond its size.
    now = now + std::chrono::hours(10);
    EXPECT_EQ(handledOf({"k", "l", "m", "n", "o", "p"}), 4);
}

TEST_F(LinkAdmissionTest, AFloodRecordsABoundedNumberWhateverItsLength) {
    // Ten thousand links a few milliseconds apart, alternating so none is a repeat.
    int handled = 0;
    int noted = 0;
    for (int i = 0; i < 10'000; ++i) {
        now = now + milliseconds(3);
        const Verdict verdict = admit(i % 2 == 0 ? QStringLiteral("x") : QStringLiteral("y"));
        handled += verdict == Verdict::handle ? 1 : 0;
        noted += verdict == Verdict::firstDropped ? 1 : 0;
    }
    // Just under 30 s of flood after the first: the burst and two refills.
    EXPECT_EQ(handled, 4 + 2);
    EXPECT_EQ(noted, 3);
}

TEST_F(LinkAdmissionTest, AClockThatGoesBackGivesNoTokens) {
    EXPECT_EQ(handledOf({"a", "b", "c", "d"}), 4);
    now = ContinuousInstant{seconds(1)};
    EXPECT_EQ(admit("e"), Verdict::firstDropped);
    now = ContinuousInstant{std::chrono::hours(5) + seconds(9)};
    EXPECT_EQ(admit("f"), Verdict::dropped);
    now = ContinuousInstant{std::chrono::hours(5) + seconds(10)};
    EXPECT_EQ(admit("g"), Verdict::handle);
}

}  // namespace
}  // namespace pellucine
