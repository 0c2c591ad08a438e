#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "Sampling.h"
#include "base/Clock.h"
#include "design/SelectListState.h"
#include "design/Yard.h"
#include "design/YardSelect.h"
#include "design/YardSelectList.h"

namespace pellucine {
namespace {

using Scroll = SelectListState::Scroll;
using std::chrono::milliseconds;

const QStringList channels{QStringLiteral("Stable"), QStringLiteral("Slow")};
const QStringList modes{QStringLiteral("Automatic"), QStringLiteral("Compact"),
                        QStringLiteral("Thumbnails")};

ContinuousInstant at(int ms) {
    return ContinuousInstant{milliseconds(ms)};
}

TEST(SelectListState, HighlightsTheSelectionOrTheFirstRowAndStopsAtTheEnds) {
    EXPECT_EQ(SelectListState(modes, 2).highlighted(), 2);
    EXPECT_EQ(SelectListState(modes, std::nullopt).highlighted(), 0);
    EXPECT_EQ(SelectListState(modes, 7).highlighted(), 0);

    SelectListState state(modes, 1);
    EXPECT_EQ(state.moveHighlight(1), Scroll::nearest);
    EXPECT_EQ(state.highlighted(), 2);
    state.moveHighlight(1);  // no wrap-around
    EXPECT_EQ(state.highlighted(), 2);
    state.moveHighlight(-5);
    EXPECT_EQ(state.highlighted(), 0);
    state.end();
    EXPECT_EQ(state.highlighted(), 2);
    state.home();
    EXPECT_EQ(state.highlighted(), 0);
    state.hover(2);
    EXPECT_EQ(state.chosen(), 2);
    state.hover(9);
    EXPECT_EQ(state.highlighted(), 2);
}

TEST(SelectListState, AnEmptyListMovesNothingAndChoosesNothing) {
    SelectListState empty({}, std::nullopt);
    EXPECT_EQ(empty.moveHighlight(1), Scroll::none);
    EXPECT_EQ(empty.moveHighlight(-1), Scroll::none);
    empty.end();
    EXPECT_EQ(empty.highlighted(), 0);
    EXPECT_EQ(empty.chosen(), std::nullopt);
    EXPECT_EQ(empty.typeAhead(u"a", at(0)), Scroll::none);
}

TEST(SelectListState, TypeAheadBuildsAPrefixWhileKeysComeQuickly) {
    SelectListState state(channels, std::nullopt);
    EXPECT_EQ(state.typeAhead(u"s", at(0)), Scroll::centre);
    EXPECT_EQ(state.highlighted(), 0);
    state.typeAhead(u"l", at(500));
    EXPECT_EQ(state.typed(), QStringLiteral("sl"));
    EXPECT_EQ(state.highlighted(), 1);
    // Exactly 0.7 s keeps the buffer; a little more starts a new one.
    state.typeAhead(u"o", at(1200));
    EXPECT_EQ(state.typed(), QStringLiteral("slo"));
    state.typeAhead(u"l", at(1901));
    EXPECT_EQ(state.typed(), QStringLiteral("l"));
}

TEST(SelectListState, TypeAheadFallsBackToAnyPositionIgnoresCaseAndKeepsFailedKeys) {
    SelectListState state(modes, std::nullopt);
    state.moveHighlight(2);
    EXPECT_EQ(state.typeAhead(u"m", at(0)), Scroll::centre);
    EXPECT_EQ(state.highlighted(), 0);  // Automatic contains m; nothing starts with it

    SelectListState upper(modes, std::nullopt);
    upper.typeAhead(u"T", at(0));
    EXPECT_EQ(upper.highlighted(), 2);

    // The same letter twice looks for the doubled letter, not the next title.
    SelectListState doubled(
        {QStringLiteral("Small"), QStringLiteral("Stable"), QStringLiteral("Assorted")},
        std::nullopt);
    doubled.typeAhead(u"s", at(0));
    doubled.typeAhead(u"s", at(100));
    EXPECT_EQ(doubled.highlighted(), 2);

    SelectListState missing(modes, 1);
    EXPECT_EQ(missing.typeAhead(u"z", at(0)), Scroll::none);
    EXPECT_EQ(missing.highlighted(), 1);
    missing.typeAhead(u"q", at(300));
    EXPECT_EQ(missing.typed(), QStringLiteral("zq"));
    // Composed and decomposed accents match.
    SelectListState accents({QStringLiteral("Caf\u00e9")}, std::nullopt);
    EXPECT_EQ(accents.typeAhead(u"cafe\u0301", at(0)), Scroll::centre);
}

TEST(SelectListState, SizesTheListAndLetsTheMaximumWidthWin) {
    EXPECT_EQ(SelectListState::listHeight(0), 37);
    EXPECT_EQ(SelectListState::listHeight(1), 37);
    EXPECT_EQ(SelectListState::listHeight(10), 298);
    EXPECT_EQ(SelectListState::listHeight(11), 320);
    EXPECT_EQ(SelectListState::listHeight(12), 320);
    EXPECT_EQ(SelectListState::listWidth(100, 180), 180);
    EXPECT_EQ(SelectListState::listWidth(250, 180), 250);
    EXPECT_EQ(SelectListState::listWidth(500, 180), 360);
    // A least width over the maximum keeps the maximum.
    EXPECT_EQ(SelectListState::listWidth(100, 400), 360);
}

TEST(SelectListState, ScrollsRowsIntoViewOrToTheMiddle) {
    // Twelve rows of 29 and 4 of padding in a 320 viewport: at most 36 of scrolling. The least
    // scrolling shows the row itself, not the padding beyond it.
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::nearest, 0, 36, 320, 12), 4);
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::nearest, 11, 0, 320, 12), 32);
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::nearest, 5, 20, 320, 12), 20);
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::centre, 0, 20, 320, 12), 0);
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::centre, 11, 0, 320, 12), 36);
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::centre, 10, 0, 100, 30), 4 + 290 + 14 - 50);
    EXPECT_EQ(SelectListState::scrollOffset(Scroll::none, 3, 17, 320, 12), 17);
}

TEST(SelectListState, TypesAheadOnTextKeysOnly) {
    for (const QString& text : {QStringLiteral("a"), QStringLiteral("Z"), QStringLiteral("7"),
                                QStringLiteral(" "), QStringLiteral("\t"), QStringLiteral("."),
                                QStringLiteral("é"), QStringLiteral("\u0301")}) {
        EXPECT_TRUE(SelectListState::typesAhead(text)) << text.toStdString();
    }
    for (const QString& text : {QString(), QStringLiteral("\r"), QStringLiteral("\x1b"),
                                QStringLiteral("+"), QStringLiteral("😀")}) {
        EXPECT_FALSE(SelectListState::typesAhead(text)) << text.toStdString();
    }
}

QList<SelectOption> optionsOf(const QStringList& titles) {
    QList<SelectOption> options;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        options.append({titles.at(i).toLower(), titles.at(i)});
    }
    return options;
}

// A list shown in its own window, as the select shows it, recording what it asks for.
struct ShownList {
    FakeContinuousClock clock;
    QList<QVariant> chosen;
    int cancels = 0;
    YardSelectList list;

    ShownList(const QStringList& titles, const QVariant& selection)
        : list(optionsOf(titles), selection, 180, clock) {
        QObject::connect(&list, &YardSelectList::choose, &list,
                         [this](const QVariant& v) { chosen.append(v); });
        QObject::connect(&list, &YardSelectList::cancel, &list, [this] { ++cancels; });
        list.show();
        QApplication::setActiveWindow(&list);
        QCoreApplication::sendPostedEvents();
    }
    void press(Qt::Key key) { QTest::keyClick(&list, key); }
    void type(const QString& text) { QTest::keyClicks(&list, text); }
};

TEST(YardSelectList, OpensOnTheSelectionWithFocusAndTheSelectionInView) {
    QStringList many;
    for (int i = 0; i < 12; ++i) {
        many.append(QStringLiteral("Option %1").arg(i));
    }
    ShownList shown(many, QStringLiteral("option 11"));
    EXPECT_TRUE(shown.list.hasFocus());
    EXPECT_EQ(shown.list.highlighted(), 11);
    EXPECT_EQ(shown.list.scrollArea()->height(), 320);
    EXPECT_EQ(shown.list.scrollOffset(), shown.list.scrollArea()->verticalScrollBar()->maximum());
    EXPECT_GT(shown.list.scrollOffset(), 0);
    shown.press(Qt::Key_Home);
    EXPECT_EQ(shown.list.highlighted(), 0);
    EXPECT_EQ(shown.list.scrollOffset(), SelectListState::verticalPadding);
    EXPECT_EQ(shown.list.rows().at(3)->height(), 29);
}

TEST(YardSelectList, ArrowsReturnAndEscapeDriveItAndNoKeyLeaksBehind) {
    ShownList shown(modes, QStringLiteral("compact"));
    shown.press(Qt::Key_Down);
    EXPECT_EQ(shown.list.highlighted(), 2);
    shown.press(Qt::Key_Down);
    EXPECT_EQ(shown.list.highlighted(), 2);
    shown.press(Qt::Key_Up);
    shown.press(Qt::Key_Return);
    EXPECT_EQ(shown.chosen, QList<QVariant>{QStringLiteral("compact")});
    shown.press(Qt::Key_Escape);
    EXPECT_EQ(shown.cancels, 1);
    // Keys the list handles are accepted, so nothing behind it sees them.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_Return,
                        Qt::Key_Escape, Qt::Key_A, Qt::Key_Tab}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier,
                        key == Qt::Key_A ? QStringLiteral("a")
                                         : (key == Qt::Key_Tab ? QStringLiteral("\t") : QString()));
        QApplication::sendEvent(&shown.list, &event);
        EXPECT_TRUE(event.isAccepted()) << key;
    }
}

TEST(YardSelectList, TypeAheadReadsTheInjectedClock) {
    ShownList shown(channels, QVariant());
    shown.type(QStringLiteral("s"));
    shown.clock.advance(milliseconds(700));
    shown.type(QStringLiteral("l"));
    EXPECT_EQ(shown.list.highlighted(), 1);
    shown.clock.advance(milliseconds(701));
    shown.type(QStringLiteral("s"));
    EXPECT_EQ(shown.list.state().typed(), QStringLiteral("s"));
    EXPECT_EQ(shown.list.highlighted(), 0);
}

TEST(YardSelectList, AnEmptyListSaysSoAndOnlyEscapeDoesAnything) {
    ShownList shown({}, QVariant());
    EXPECT_EQ(shown.list.scrollArea()->height(), 37);
    EXPECT_TRUE(shown.list.rows().isEmpty());
    shown.press(Qt::Key_Down);
    shown.press(Qt::Key_End);
    EXPECT_EQ(shown.list.highlighted(), 0);
    shown.press(Qt::Key_Return);
    EXPECT_TRUE(shown.chosen.isEmpty());
    shown.press(Qt::Key_Escape);
    EXPECT_EQ(shown.cancels, 1);
}

TEST(YardSelectList, ThePointerHighlightsTheRowThatReturnThenChooses) {
    ShownList shown(modes, QStringLiteral("automatic"));
    shown.press(Qt::Key_Down);
    QWidget* last = shown.list.rows().at(2);
    QTest::mouseMove(last, QPoint(10, 10));
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), last->mapToGlobal(QPointF(10, 10)));
    QApplication::sendEvent(last, &enter);
    EXPECT_EQ(shown.list.highlighted(), 2);
    shown.press(Qt::Key_Return);
    EXPECT_EQ(shown.chosen, QList<QVariant>{QStringLiteral("thumbnails")});
    QTest::mouseClick(shown.list.rows().at(0), Qt::LeftButton);
    EXPECT_EQ(shown.chosen.last(), QVariant(QStringLiteral("automatic")));
}

TEST(YardSelectList, RowsAreButtonsAndTheSelectedOneSaysSo) {
    ShownList shown(modes, QStringLiteral("compact"));
    QAccessibleInterface* compact = QAccessible::queryAccessibleInterface(shown.list.rows().at(1));
    QAccessibleInterface* other = QAccessible::queryAccessibleInterface(shown.list.rows().at(0));
    EXPECT_EQ(compact->role(), QAccessible::Button);
    EXPECT_EQ(compact->text(QAccessible::Name), QStringLiteral("Compact"));
    EXPECT_TRUE(compact->state().selected);
    EXPECT_FALSE(other->state().selected);
    compact->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(shown.chosen, QList<QVariant>{QStringLiteral("compact")});
}

TEST(YardSelectList, DrawsTheHighlightAndTheCheckmark) {
    ShownList shown(modes, QStringLiteral("compact"));
    Yard::setScheme(&shown.list, ColorScheme::dark);
    const Yard::Palette& p = Yard::Palette::dark();
    const QImage image = shown.list.grab().toImage();
    QWidget* selected = shown.list.rows().at(1);
    const QPoint origin = selected->mapTo(&shown.list, QPoint(0, 0));
    EXPECT_TRUE(testing::matches(image.pixelColor(origin + QPoint(5, 5)), p.accent));
    EXPECT_TRUE(testing::hasPixelToward(image, QRect(origin + QPoint(10, 0), QSize(14, 29)),
                                        p.accent, p.onAccent));
    const QPoint plain = shown.list.rows().at(0)->mapTo(&shown.list, QPoint(0, 0));
    EXPECT_TRUE(testing::matches(image.pixelColor(plain + QPoint(5, 5)), p.sheet));
    EXPECT_FALSE(testing::hasPixelToward(image, QRect(plain + QPoint(10, 0), QSize(14, 29)),
                                         p.sheet, p.fore, 0.5));
}

// A select in a window, recording what it hands its owner.
struct Form {
    FakeContinuousClock clock;
    QList<QVariant> selected;
    QList<bool> openWhenSelected;
    QWidget window;
    YardSelect* select;

    explicit Form(const QVariant& selection) {
        select = new YardSelect(QStringLiteral("Preview size"), optionsOf(modes), selection,
                                QStringLiteral("Choose a size"), 160, &window);
        select->setClock(clock);
        QObject::connect(select, &YardSelect::onSelect, &window, [this](const QVariant& v) {
            selected.append(v);
            openWhenSelected.append(select->isOpen());
        });
        window.resize(300, 100);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

TEST(YardSelect, ChoosingClosesTheListFirstAndReportsEvenTheCurrentValue) {
    Form form(QStringLiteral("compact"));
    EXPECT_EQ(form.select->size(), QSize(160, 28));
    QTest::mouseClick(form.select, Qt::LeftButton, {}, QPoint(150, 27));
    ASSERT_TRUE(form.select->isOpen());
    YardSelectList* list = form.select->list();
    EXPECT_EQ(list->highlighted(), 1);
    EXPECT_GE(list->window()->y(), form.select->mapToGlobal(QPoint(0, 28)).y());
    EXPECT_GE(list->width(), 160);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(form.select->isOpen());
    EXPECT_EQ(form.selected, QList<QVariant>{QStringLiteral("compact")});
    EXPECT_EQ(form.openWhenSelected, QList<bool>{false});
    // The owner decides what is shown.
    EXPECT_EQ(form.select->selectedTitle(), QStringLiteral("Compact"));
}

TEST(YardSelect, EscapeAndAClickOutsideCloseWithoutChoosing) {
    Form form(QStringLiteral("compact"));
    form.select->setOpen(true);
    QTest::keyClick(form.select->list(), Qt::Key_Escape);
    EXPECT_FALSE(form.select->isOpen());

    form.select->click();
    ASSERT_TRUE(form.select->isOpen());
    QWidget* popup = form.select->list()->window();
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(form.select->isOpen());
    EXPECT_TRUE(form.selected.isEmpty());
    // The select can open again afterwards, with a fresh list.
    form.select->click();
    ASSERT_TRUE(form.select->isOpen());
    EXPECT_TRUE(form.select->list()->state().typed().isEmpty());
    form.select->setOpen(false);
}

TEST(YardSelect, WithoutAMatchingSelectionShowsThePlaceholderAndHighlightsTheFirstRow) {
    for (const QVariant& selection : {QVariant(), QVariant(QStringLiteral("huge"))}) {
        Form form(selection);
        EXPECT_EQ(form.select->selectedTitle(), std::nullopt);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(form.select);
        EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("Choose a size"));
        form.select->setOpen(true);
        EXPECT_EQ(form.select->list()->highlighted(), 0);
        for (QWidget* row : form.select->list()->rows()) {
            EXPECT_FALSE(QAccessible::queryAccessibleInterface(row)->state().selected);
        }
        form.select->setOpen(false);
    }
}

TEST(YardSelect, IsNamedByItsLabelWithItsTitleAsValueAndAHint) {
    Form form(QStringLiteral("thumbnails"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(form.select);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Preview size"));
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("Thumbnails"));
    EXPECT_EQ(face->text(QAccessible::Description), QStringLiteral("Opens a list to choose from"));
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(form.select->isOpen());
    form.select->setOpen(false);
}

TEST(YardSelect, DrawsTheWellFocusedWhileOpenAndThePlaceholderMuted) {
    Form form{QVariant()};
    Yard::setScheme(&form.window, ColorScheme::light);
    const Yard::Palette& p = Yard::Palette::light();
    const QImage closed = form.select->grab().toImage();
    EXPECT_TRUE(testing::matches(closed.pixelColor(0, 14), testing::blend(p.ground, p.fore, 0.75)));
    EXPECT_TRUE(testing::matches(closed.pixelColor(2, 14), p.ground));
    EXPECT_TRUE(testing::hasPixelToward(closed, QRect(10, 0, 60, 28), p.ground, p.muted));
    EXPECT_FALSE(testing::hasPixelToward(closed, QRect(10, 0, 60, 28), p.ground, p.fore, 0.95));
    form.select->setOpen(true);
    const QImage open = form.select->grab().toImage();
    EXPECT_TRUE(testing::matches(open.pixelColor(1, 14), p.accentType));
    form.select->setOpen(false);
}

}  // namespace
}  // namespace pellucine
