#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QScrollBar>
#include <QtTest/QTest>

#include "design/Sampling.h"
#include "design/Yard.h"
#include "panels/WindowSearchResultModel.h"
#include "panels/WindowSearchRowDelegate.h"
#include "panels/WindowSearchState.h"
#include "panels/WindowSearchTexts.h"
#include "panels/WindowSearchView.h"

namespace pellucine {
namespace {

using WindowSearch::Candidate;

QList<Candidate> windows(int count) {
    QList<Candidate> list;
    for (int i = 1; i <= count; ++i) {
        Candidate c;
        c.window.id = static_cast<quint32>(i);
        c.window.title = QStringLiteral("Report %1").arg(i);
        c.window.applicationName = i % 2 == 0 ? QStringLiteral("Mail") : QStringLiteral("Editor");
        list.append(c);
    }
    return list;
}

class WindowSearchViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowSearchView::Callbacks callbacks;
        callbacks.onCommit = [this](const WindowDescriptor& w) { committed.append(w.id); };
        callbacks.onQueryChange = [this] { ++queryChanges; };
        view = std::make_unique<WindowSearchView>(state, callbacks, nullptr);
        view->resize(660, WindowSearchView::chromeHeight + 8 * 54);
    }

    void fill(int count) {
        state.setTotalCount(count);
        state.setCandidates(windows(count));
        state.refresh();
    }

    WindowSearchState state;
    std::unique_ptr<WindowSearchView> view;
    QList<quint32> committed;
    int queryChanges = 0;
};

TEST_F(WindowSearchViewTest, CounterEmptyStatesAndChipFollowTheResults) {
    EXPECT_EQ(view->counterText(), QStringLiteral("0 WINDOWS"));
    EXPECT_EQ(view->emptyText(), QStringLiteral("No open windows"));
    fill(12);
    EXPECT_EQ(view->counterText(), QStringLiteral("12 WINDOWS"));
    EXPECT_EQ(view->emptyText(), QString());
    EXPECT_EQ(view->chipText(), QStringLiteral("4 more below"));
    EXPECT_EQ(view->list()->height(), 8 * 54);
    state.setQuery(QStringLiteral("zq"));
    EXPECT_EQ(view->counterText(), QStringLiteral("0 OF 12 WINDOWS"));
    EXPECT_EQ(view->emptyText(), QStringLiteral("No window matches “zq”"));
    EXPECT_EQ(view->chipText(), QString());
    state.setQuery(QStringLiteral("report 1"));
    // Report 1, 10, 11 and 12.
    EXPECT_EQ(view->counterText(), QStringLiteral("4 OF 12 WINDOWS"));
    EXPECT_EQ(view->list()->height(), 4 * 54);
    fill(8);
    state.setQuery(QString());
    EXPECT_EQ(view->chipText(), QString());
}

TEST_F(WindowSearchViewTest, TheMoreBelowChipLeavesTheLastRowsBadgeClear) {
    for (const int width : {660, 420}) {
        view->resize(width, WindowSearchView::chromeHeight + 8 * 54);
        fill(12);
        view->show();
        QCoreApplication::sendPostedEvents();
        const QRect chip = view->chipFrame();
        ASSERT_FALSE(chip.isEmpty()) << width;
        QListView* list = view->list();
        // Every row in view, the last one above all, keeps its badge readable.
        for (int row = 0; row < 8; ++row) {
            const QRect shown = list->visualRect(list->model()->index(row, 0));
            const QRect inView(list->viewport()->mapTo(view.get(), shown.topLeft()), shown.size());
            const qreal badgeHeight = QFontMetricsF(WindowSearchRowDelegate::badgeFont()).height() +
                                      2 * WindowSearchRowDelegate::badgeVerticalPadding;
            const QRectF badge = WindowSearchRowDelegate::Geometry::of(inView, badgeHeight).badge;
            EXPECT_FALSE(badge.intersects(chip)) << width << " row " << row;
        }
        EXPECT_LE(chip.right(), list->geometry().right()) << width;
        EXPECT_GE(chip.left(), list->geometry().left()) << width;
    }
}

TEST_F(WindowSearchViewTest, TypingSelectsTheBestResultEvenWhenTheOldOneStaysListed) {
    fill(12);
    state.setSelectedID(10);
    QTest::keyClicks(view->field(), QStringLiteral("1"));
    EXPECT_EQ(state.query(), QStringLiteral("1"));
    // Report 10 still matches, yet the selection goes to the best result.
    ASSERT_FALSE(state.results().isEmpty());
    EXPECT_EQ(state.selectedID(), state.results().first().candidate.window.id);
    EXPECT_EQ(queryChanges, 1);
    // The controller clearing the query empties the field as well.
    state.setQuery(QString());
    EXPECT_EQ(view->field()->text(), QString());
    EXPECT_EQ(queryChanges, 2);
}

TEST_F(WindowSearchViewTest, ARowClickCommitsItsWindowAndTheSelectionScrollsIntoView) {
    fill(12);
    view->show();
    state.setSelectedID(12);
    QListView* list = view->list();
    const QModelIndex last = view->model().index(11);
    EXPECT_GT(list->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(last)));
    EXPECT_TRUE(list->selectionModel()->isSelected(last));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
    EXPECT_EQ(committed, (QList<quint32>{12}));
    // A selection that no row has selects nothing.
    state.setSelectedID(std::nullopt);
    EXPECT_FALSE(list->selectionModel()->hasSelection());
}

TEST_F(WindowSearchViewTest, RowsAreReadAsTheirWindowAndLocation) {
    QList<Candidate> list = windows(1);
    list[0].window.title.clear();
    list[0].location = WindowSearch::Location::hidden;
    state.setCandidates(list);
    state.refresh();
    const QModelIndex row = view->model().index(0);
    EXPECT_EQ(row.data(Qt::DisplayRole).toString(), QStringLiteral("Untitled window"));
    EXPECT_EQ(row.data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("Untitled window — Editor, Hidden"));
    EXPECT_EQ(row.data(WindowSearchResultModel::windowIDRole).toUInt(), 1u);
}

TEST_F(WindowSearchViewTest, FooterNamesItsKeysAndFollowsTheHotkey) {
    EXPECT_EQ(
        view->footerGroups(),
        (QStringList{QStringLiteral("Return, Switch"), QStringLiteral("Up Arrow Down Arrow, Move"),
                     QStringLiteral("Escape, Close"), QStringLiteral("Hotkey Shift Super Space")}));
    state.setHotkey({0, KeyCombo::control | KeyCombo::option});
    EXPECT_EQ(view->footerGroups().last(), QStringLiteral("Hotkey Control Alt A"));
}

TEST_F(WindowSearchViewTest, TheSelectedRowSitsOnTheAccentWithoutASeparator) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        SCOPED_TRACE(static_cast<int>(scheme));
        Yard::setScheme(view.get(), scheme);
        const Yard::Palette& p = Yard::palette(scheme);
        fill(3);
        state.setSelectedID(2);
        view->show();
        const QImage image = testing::renderOver(*view, p.ground);
        const int top = WindowSearchView::searchRowHeight + WindowSearchView::topRuleSlot;
        // Left padding of each row, clear of the border, and each row's last line.
        EXPECT_TRUE(testing::matches(image.pixelColor(8, top + 54 + 27), p.accent));
        EXPECT_TRUE(testing::matches(image.pixelColor(8, top + 27), p.ground));
        EXPECT_TRUE(testing::matches(image.pixelColor(8, top + 53),
                                     testing::blend(p.ground, p.hairline, 1)));
        EXPECT_TRUE(testing::matches(image.pixelColor(8, top + 54 + 53), p.accent));
        // The border over everything.
        EXPECT_TRUE(testing::matches(image.pixelColor(0, top + 54 + 27), p.fore));
    }
}

TEST(WindowSearchRowBadgeTest, EveryLocationFitsItsBadge) {
    using WindowSearch::Location;
    const QFontMetricsF metrics(WindowSearchRowDelegate::badgeFont());
    for (Location location : {Location::onScreen, Location::minimized, Location::fullScreen,
                              Location::hidden, Location::otherSpace}) {
        const QString text = WindowSearchTexts::badge(location);
        EXPECT_LT(metrics.horizontalAdvance(text) + 8, WindowSearchRowDelegate::badgeWidth)
            << text.toStdString();
    }
}

}  // namespace
}  // namespace pellucine
