#include <gtest/gtest.h>

#include <QSignalSpy>

#include "panels/WindowSearchState.h"
#include "panels/WindowSearchTexts.h"

namespace pellucine {
namespace {

using WindowSearch::Candidate;
using WindowSearch::Location;

Candidate candidate(quint32 id, const QString& title, qint64 recency = 0) {
    Candidate c;
    c.window.id = id;
    c.window.title = title;
    c.window.applicationName = QStringLiteral("Mail");
    c.applicationRecency = recency;
    return c;
}

// Five windows ranked in id order for an empty query.
void fill(WindowSearchState& state, QList<Candidate> candidates) {
    state.setTotalCount(candidates.size());
    state.setCandidates(std::move(candidates));
    state.refresh();
}

QList<Candidate> five() {
    return {candidate(1, QStringLiteral("one")), candidate(2, QStringLiteral("two")),
            candidate(3, QStringLiteral("three")), candidate(4, QStringLiteral("four")),
            candidate(5, QStringLiteral("five"))};
}

TEST(WindowSearchStateTest, MovesAreClampedWithoutWrapping) {
    WindowSearchState state;
    state.moveSelection(1);
    EXPECT_FALSE(state.selectedID());
    fill(state, five());
    EXPECT_EQ(state.selectedID(), 1u);
    state.moveSelection(-1);
    EXPECT_EQ(state.selectedID(), 1u);
    state.setSelectedID(3);
    state.moveSelection(8);
    EXPECT_EQ(state.selectedID(), 5u);
    state.moveSelection(1);
    EXPECT_EQ(state.selectedID(), 5u);
    state.moveSelection(-8);
    EXPECT_EQ(state.selectedID(), 1u);
    // A selection no result has counts as the first.
    state.setSelectedID(77);
    EXPECT_FALSE(state.selectedWindow());
    state.moveSelection(1);
    EXPECT_EQ(state.selectedID(), 2u);
    EXPECT_EQ(state.selectedWindow()->title, QStringLiteral("two"));
}

TEST(WindowSearchStateTest, TheSameQueryRanksNothingAgain) {
    WindowSearchState state;
    fill(state, five());
    state.setQuery(QStringLiteral("t"));
    ASSERT_EQ(state.results().size(), 2);
    state.setSelectedID(3);
    QSignalSpy results(&state, &WindowSearchState::resultsChanged);
    QSignalSpy query(&state, &WindowSearchState::queryChanged);
    state.setQuery(QStringLiteral("t"));
    EXPECT_EQ(results.count(), 0);
    EXPECT_EQ(query.count(), 0);
    EXPECT_EQ(state.selectedID(), 3u);
}

TEST(WindowSearchStateTest, ARefillKeepsTheSelectedWindowWhereverItRanks) {
    WindowSearchState state;
    fill(state, five());
    state.setSelectedID(4);
    // Window 4's application is now the least recent one: it ranks last but stays selected.
    QList<Candidate> refill = five();
    refill[3].applicationRecency = 9;
    fill(state, refill);
    EXPECT_EQ(state.results().last().candidate.window.id, 4u);
    EXPECT_EQ(state.selectedID(), 4u);
    // Gone from the list: the first result is selected.
    refill.removeAt(3);
    fill(state, refill);
    EXPECT_EQ(state.selectedID(), 1u);
    // A query that matches nothing leaves no selection.
    QSignalSpy query(&state, &WindowSearchState::queryChanged);
    state.setQuery(QStringLiteral("zzz"));
    EXPECT_TRUE(state.results().isEmpty());
    EXPECT_FALSE(state.selectedID());
    // The query is announced after the results were ranked for it.
    ASSERT_EQ(query.count(), 1);
}

TEST(WindowSearchStateTest, ResetKeepsQueryCountHotkeyAndToken) {
    WindowSearchState state;
    EXPECT_EQ(state.hotkey(), (KeyCombo{49, 0x120000}));
    fill(state, five());
    state.setQuery(QStringLiteral("f"));
    state.setHotkey({0, KeyCombo::control});
    state.advanceFocusToken();
    state.reset();
    EXPECT_TRUE(state.candidates().isEmpty());
    EXPECT_TRUE(state.results().isEmpty());
    EXPECT_FALSE(state.selectedID());
    EXPECT_EQ(state.query(), QStringLiteral("f"));
    EXPECT_EQ(state.totalCount(), 5);
    EXPECT_EQ(state.hotkey(), (KeyCombo{0, KeyCombo::control}));
    EXPECT_EQ(state.focusToken(), 1);
    // Ranking after a reset finds nothing to rank.
    state.refresh();
    EXPECT_TRUE(state.results().isEmpty());
}

TEST(WindowSearchTextsTest, CounterNounFollowsTheTotal) {
    using WindowSearchTexts::counter;
    const QString q = QStringLiteral("re");
    EXPECT_EQ(counter(QString(), 12, 12), QStringLiteral("12 WINDOWS"));
    EXPECT_EQ(counter(q, 3, 12), QStringLiteral("3 OF 12 WINDOWS"));
    EXPECT_EQ(counter(q, 0, 12), QStringLiteral("0 OF 12 WINDOWS"));
    EXPECT_EQ(counter(QString(), 1, 1), QStringLiteral("1 WINDOW"));
    EXPECT_EQ(counter(q, 0, 1), QStringLiteral("0 OF 1 WINDOW"));
    EXPECT_EQ(counter(QString(), 0, 0), QStringLiteral("0 WINDOWS"));
    // A query of blanks is still a query.
    EXPECT_EQ(counter(QStringLiteral(" "), 2, 2), QStringLiteral("2 OF 2 WINDOWS"));
}

TEST(WindowSearchTextsTest, EmptyStatesChipAndLabels) {
    using namespace WindowSearchTexts;
    EXPECT_EQ(emptyState(QStringLiteral("zq"), 12), QStringLiteral("No window matches “zq”"));
    EXPECT_EQ(emptyState(QStringLiteral("zq"), 0), QStringLiteral("No open windows"));
    EXPECT_EQ(moreBelow(12, 8), QStringLiteral("4 more below"));
    EXPECT_FALSE(moreBelow(8, 8));
    EXPECT_EQ(moreBelow(9, 8), QStringLiteral("1 more below"));
    EXPECT_EQ(badge(Location::otherSpace), QStringLiteral("OTHER DESKTOP"));
    Candidate untitled = candidate(1, QString());
    untitled.location = Location::minimized;
    EXPECT_EQ(rowAccessibilityLabel(untitled), QStringLiteral("Untitled window — Mail, Minimized"));
    EXPECT_EQ(hotkeyAccessibilityLabel(KeyCombo::keycapLabels(49, 0x120000)),
              QStringLiteral("Hotkey Shift Super Space"));
}

}  // namespace
}  // namespace pellucine
