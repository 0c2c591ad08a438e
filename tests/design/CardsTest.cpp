#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QVBoxLayout>
#include <cmath>

#include "Sampling.h"
#include "design/BaselineRowLayout.h"
#include "design/BayHeader.h"
#include "design/CardRule.h"
#include "design/HazardStripe.h"
#include "design/KeyHint.h"
#include "design/Readout.h"
#include "design/RowText.h"
#include "design/SavedStamp.h"
#include "design/SettingRow.h"
#include "design/Yard.h"
#include "design/YardCard.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"

namespace pellucine {
namespace {

using testing::matches;
using testing::renderOver;

// Shows `widget` laid out at `width`, as high as it asks to be.
void layOut(QWidget& widget, int width) {
    widget.resize(width, widget.hasHeightForWidth() ? widget.heightForWidth(width)
                                                    : widget.sizeHint().height());
    widget.show();
    QCoreApplication::sendPostedEvents();
}

TEST(BaselineRow, SharesTheRestAndStandsItemsOnTheLowestBaseline) {
    using Width = BaselineRowLayout::Width;
    const QList<qreal> widths = BaselineRowLayout::widths(
        {Width{100, 20, true}, Width{38, 38, false}, Width{50, 50, false}}, 300, 18);
    EXPECT_EQ(widths, (QList<qreal>{300 - 38 - 50 - 36, 38, 50}));
    // Too narrow: the flexible item keeps its minimum, fixed ones their ideal.
    EXPECT_EQ(BaselineRowLayout::widths({Width{100, 20, true}, Width{38, 38, false}}, 40, 18),
              (QList<qreal>{20, 38}));

    const BaselineRowLayout::Stack stack = BaselineRowLayout::stack({{40, 14}, {22, 22}, {28, 19}});
    EXPECT_EQ(stack.tops, (QList<qreal>{8, 0, 3}));
    EXPECT_DOUBLE_EQ(stack.height, 48);
    EXPECT_DOUBLE_EQ(BaselineRowLayout::stack({}).height, 0);
}

TEST(BaselineRow, AnItemsNewTextGivesTheRowItsNewHeight) {
    QWidget row;
    auto* layout = new BaselineRowLayout(&row);
    auto* text =
        new YardText(QStringLiteral("Short"), Yard::bodyFont(), &Yard::Palette::fore, true);
    auto* tag = new YardText(QStringLiteral("Tag"), Yard::bodyFont());
    layout->addWidget(text, true);
    layout->addWidget(tag, false);
    layOut(row, 200);
    const int oneLine = layout->heightForWidth(200);
    EXPECT_EQ(layout->heightForWidth(200), oneLine);
    // A wrapping text and a width asked anew are both measured again, not taken as before.
    text->setText(QStringLiteral("A text long enough to wrap onto several lines at this width"));
    QCoreApplication::sendPostedEvents();
    const int wrapped = layout->heightForWidth(200);
    EXPECT_GT(wrapped, oneLine);
    EXPECT_LT(layout->heightForWidth(600), wrapped);
    text->setText(QStringLiteral("Short"));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(layout->heightForWidth(200), oneLine);
}

TEST(SettingRow, KeepsTheControlAtItsWidthWhileTheLabelWraps) {
    const QString label = QStringLiteral(
        "A label long enough that it has to wrap onto more than one line in a narrow row");
    auto* control = new YardSwitch(label);
    SettingRow row(label, QStringLiteral("Hint"), QStringLiteral("Press {Esc}"), control);
    layOut(row, 260);
    EXPECT_EQ(control->size(), QSize(38, 22));
    EXPECT_EQ(control->geometry().right(), 259);
    RowText* text = row.text();
    EXPECT_EQ(text->width(), 260 - 18 - 38);
    EXPECT_GT(text->label()->height(), 2 * QFontMetrics(Yard::labelFont()).height() - 1);
    // Label, hint and key hint 2 apart, none cut.
    EXPECT_EQ(text->hint()->y(), text->label()->geometry().bottom() + 1 + RowText::spacing);
    EXPECT_EQ(text->keyHint()->y(), text->hint()->geometry().bottom() + 1 + RowText::spacing);
    EXPECT_GE(row.height(), text->geometry().bottom() + 1);
    // A control without text stands on the label's first baseline.
    EXPECT_EQ(control->geometry().bottom() + 1, text->y() + text->firstBaseline());
}

TEST(SettingRow, AlignsTextControlsOnTheLabelsBaselineAndShowsOnlyWhatItIsGiven) {
    auto* control = new Readout(QStringLiteral("42"));
    SettingRow row(QStringLiteral("Answer"), control);
    layOut(row, 300);
    EXPECT_TRUE(row.text()->hint()->isHidden());
    EXPECT_EQ(row.text()->keyHint(), nullptr);
    EXPECT_EQ(row.text()->y() + row.text()->firstBaseline(),
              control->y() + control->firstBaseline());
    EXPECT_EQ(row.height(),
              std::max(row.text()->geometry().bottom(), control->geometry().bottom()) + 1);
}

TEST(StackedRow, PutsTheControlUnderTheTextAtItsLeadingEdge) {
    auto* control = new YardSwitch(QStringLiteral("x"));
    StackedRow row(QStringLiteral("Label"), QStringLiteral("Hint"), control);
    layOut(row, 300);
    EXPECT_EQ(control->x(), 0);
    EXPECT_EQ(control->y(), row.text()->geometry().bottom() + 1 + StackedRow::spacing);
    EXPECT_EQ(control->size(), QSize(38, 22));
}

TEST(YardCard, PadsItsHeaderAndBodyAndUpperCasesTheKicker) {
    YardCard bare(QStringLiteral("Window previews"));
    layOut(bare, 400);
    EXPECT_EQ(bare.kicker()->text(), QStringLiteral("WINDOW PREVIEWS"));
    EXPECT_TRUE(bare.note()->isHidden());
    const int kickerLine = bare.kicker()->sizeHint().height();
    EXPECT_EQ(bare.kicker()->pos(), QPoint(16, 13));
    EXPECT_EQ(bare.height(), 13 + kickerLine + 11 + 14);

    YardCard card(QStringLiteral("Straße"), QStringLiteral("A note"));
    auto* fixed = new YardSwitch(QStringLiteral("a"));
    auto* wide = new CardRule;
    card.addWidget(fixed);
    card.addWidget(wide);
    layOut(card, 400);
    EXPECT_EQ(card.kicker()->text(), QStringLiteral("STRASSE"));
    EXPECT_EQ(card.note()->y(), card.kicker()->geometry().bottom() + 1 + 3);
    EXPECT_EQ(fixed->pos(), QPoint(16, card.note()->geometry().bottom() + 1 + 11));
    EXPECT_EQ(wide->geometry(), QRect(16, fixed->geometry().bottom() + 1 + 11, 400 - 32, 5));
    EXPECT_EQ(card.height(), wide->geometry().bottom() + 1 + 14);
}

TEST(YardCard, FillsWithTheSheetInsideItsBorder) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        SCOPED_TRACE(static_cast<int>(scheme));
        const Yard::Palette& p = Yard::palette(scheme);
        QWidget window;
        Yard::setScheme(&window, scheme);
        auto* card = new YardCard(QStringLiteral("k"), std::nullopt, &window);
        auto* rule = new CardRule;
        card->addWidget(rule);
        layOut(*card, 200);
        const QImage image = renderOver(*card, Qt::red);
        EXPECT_TRUE(matches(image.pixelColor(0, 10), testing::blend(p.sheet, p.cardBorder, 1)));
        EXPECT_TRUE(matches(image.pixelColor(2, 10), p.sheet));
        EXPECT_TRUE(
            matches(image.pixelColor(100, rule->y() + 2), testing::blend(p.sheet, p.hairline, 1)));
        EXPECT_TRUE(matches(image.pixelColor(100, rule->y() + 1), p.sheet));
        EXPECT_TRUE(matches(image.pixelColor(100, rule->y() + 3), p.sheet));
    }
}

TEST(Readout, ElidesPathsInTheMiddleAndTextAtTheEnd) {
    const QString text =
        QStringLiteral("/home/someone/.local/share/pellucine/diagnostics/flight.jsonl");
    Readout path(text, true);
    Readout plain(text, false);
    const int narrow = path.sizeHint().width() / 2;
    const QString middle = path.shownText(narrow);
    EXPECT_TRUE(middle.startsWith(QStringLiteral("/home")));
    EXPECT_TRUE(middle.endsWith(QStringLiteral("jsonl")));
    EXPECT_TRUE(middle.contains(u'…'));
    const QString end = plain.shownText(narrow);
    EXPECT_TRUE(end.startsWith(QStringLiteral("/home")));
    EXPECT_TRUE(end.endsWith(u'…'));
    EXPECT_EQ(path.shownText(path.sizeHint().width()), text);
    EXPECT_EQ(path.toolTip(), text);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&path)->text(QAccessible::Name), text);
    EXPECT_LT(path.minimumSizeHint().width(), narrow);
}

TEST(BayHeader, KeepsTheStampsRoomWhileItIsHidden) {
    BayHeader shown(QStringLiteral("General"), true);
    BayHeader hidden(QStringLiteral("General"), false);
    layOut(shown, 500);
    layOut(hidden, 500);
    EXPECT_EQ(shown.title()->text(), QStringLiteral("GENERAL"));
    EXPECT_EQ(shown.title()->geometry(), hidden.title()->geometry());
    EXPECT_EQ(shown.stamp()->geometry(), hidden.stamp()->geometry());
    EXPECT_EQ(hidden.stamp()->geometry().right(), 499);
    EXPECT_EQ(hidden.stripe()->geometry(), QRect(0, hidden.height() - 5, 500, 5));
    EXPECT_EQ(
        hidden.stripe()->y(),
        std::max(hidden.title()->geometry().bottom(), hidden.stamp()->geometry().bottom()) + 1 + 9);
}

TEST(SavedStamp, FadesAndSettlesAndIsSkippedByScreenReadersWhileHidden) {
    QWidget window;
    Yard::setScheme(&window, ColorScheme::light);
    auto* stamp = new SavedStamp(false, &window);
    stamp->resize(stamp->sizeHint());
    EXPECT_DOUBLE_EQ(stamp->opacity(), 0);
    EXPECT_DOUBLE_EQ(stamp->scale(), 1.08);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(stamp);
    EXPECT_TRUE(face->state().invisible);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Saved"));
    const QImage hidden = renderOver(*stamp, Qt::white);
    EXPECT_EQ(testing::inkCount(hidden), hidden.width() * hidden.height());
    EXPECT_TRUE(matches(hidden.pixelColor(0, 0), Qt::white));

    window.show();
    stamp->setShowing(true);
    EXPECT_DOUBLE_EQ(stamp->opacity(), 0);  // animating from hidden
    stamp->finishTransition();
    EXPECT_DOUBLE_EQ(stamp->opacity(), 1);
    EXPECT_DOUBLE_EQ(stamp->scale(), 1);
    EXPECT_FALSE(face->state().invisible);
    const QImage image = renderOver(*stamp, Yard::Palette::light().ground);
    EXPECT_TRUE(
        matches(image.pixelColor(0, image.height() / 2), Yard::Palette::light().accentType));
    EXPECT_TRUE(matches(image.pixelColor(2, image.height() / 2), Yard::Palette::light().ground));
}

}  // namespace
}  // namespace pellucine
