#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetricsF>
#include <cmath>

#include "Sampling.h"
#include "design/FlowLayout.h"
#include "design/KeyCap.h"
#include "design/KeyHint.h"
#include "design/Yard.h"

namespace pellucine {

inline void PrintTo(const KeyHint::Token& token, std::ostream* out) {
    *out << (token.kind == KeyHint::Token::Kind::key ? "key " : "word ") << '"'
         << token.text.toStdString() << '"' << (token.gap ? " +gap" : "");
}

namespace {

using Kind = KeyHint::Token::Kind;

KeyHint::Token word(const char* text, bool gap) {
    return {Kind::word, QString::fromUtf8(text), gap};
}
KeyHint::Token key(const char* text, bool gap) {
    return {Kind::key, QString::fromUtf8(text), gap};
}

TEST(KeyHintTokens, SplitsWordsAndKeysAndMarksWhereSpacesStood) {
    using List = QList<KeyHint::Token>;
    EXPECT_EQ(
        KeyHint::tokens(u"Press {Esc} to close"),
        (List{word("Press", false), key("Esc", true), word("to", true), word("close", true)}));
    // A key against a word sits flush on both sides.
    EXPECT_EQ(KeyHint::tokens(u"x{y}z"),
              (List{word("x", false), key("y", false), word("z", false)}));
    // Runs of spaces are one gap; leading spaces give the first piece one; only U+0020 counts.
    EXPECT_EQ(KeyHint::tokens(u"  lead   on"), (List{word("lead", true), word("on", true)}));
    EXPECT_EQ(KeyHint::tokens(u"a\tb"), (List{word("a\tb", false)}));
    EXPECT_EQ(KeyHint::tokens(u"{⌘}{⇧} x"),
              (List{key("⌘", false), key("⇧", false), word("x", true)}));
    EXPECT_TRUE(KeyHint::tokens(u"").isEmpty());
    EXPECT_TRUE(KeyHint::tokens(u"   ").isEmpty());
}

TEST(KeyHintTokens, BracesWithoutAPartnerAreText) {
    using List = QList<KeyHint::Token>;
    EXPECT_EQ(KeyHint::tokens(u"a {b"), (List{word("a", false), word("{b", true)}));
    EXPECT_EQ(KeyHint::tokens(u"a } b"),
              (List{word("a", false), word("}", true), word("b", true)}));
    EXPECT_EQ(KeyHint::tokens(u"{}"), (List{key("", false)}));
    // A "{" inside a key belongs to it.
    EXPECT_EQ(KeyHint::tokens(u"{a{b}"), (List{key("a{b", false)}));
    EXPECT_EQ(KeyHint::tokens(u"{a}}"), (List{key("a", false), word("}", false)}));
    EXPECT_EQ(KeyHint::spokenText(u"Press {Esc} to close"),
              QStringLiteral("Press Escape to close"));
    EXPECT_EQ(KeyHint::spokenText(u"{a{b}}"), QStringLiteral("ab"));
    // Caps are read by name, one word each, even when drawn against each other.
    EXPECT_EQ(KeyHint::spokenText(u"Press {Ctrl}{Alt}{K}, then {↩}."),
              QStringLiteral("Press Control Alt K, then Return."));
    EXPECT_EQ(KeyHint::spokenText(u"{Shift}{Tab} moves back"),
              QStringLiteral("Shift Tab moves back"));
    EXPECT_EQ(KeyHint::spokenText(u""), QString());
}

FlowLayout::Child child(qreal w, qreal h, bool gap) {
    return {QSizeF(w, h), gap};
}

TEST(FlowLayout, WrapsTheWorkedExample) {
    const FlowLayout flow{3.6, 3.0};
    const QList<FlowLayout::Child> children{child(40, 16, false), child(30, 20, true),
                                            child(35, 16, true)};
    const QList<FlowLayout::Row> rows = flow.rows(children, 100);
    ASSERT_EQ(rows.size(), 2);
    ASSERT_EQ(rows.at(0).size(), 2);
    EXPECT_DOUBLE_EQ(rows.at(0).at(1).gap, 3.6);
    EXPECT_EQ(rows.at(1).at(0).index, 2);
    EXPECT_DOUBLE_EQ(rows.at(1).at(0).gap, 0);  // no gap at the start of a row
    EXPECT_EQ(flow.sizeThatFits(children, 100), QSizeF(74, 39));
    const QList<QPointF> places = flow.place(children, QRectF(0, 0, 74, 39), 100);
    ASSERT_EQ(places.size(), 3);
    EXPECT_DOUBLE_EQ(places.at(0).x(), 0);
    EXPECT_DOUBLE_EQ(places.at(0).y(), 2);
    EXPECT_DOUBLE_EQ(places.at(1).x(), 43.6);
    EXPECT_DOUBLE_EQ(places.at(1).y(), 0);
    EXPECT_DOUBLE_EQ(places.at(2).x(), 0);
    EXPECT_DOUBLE_EQ(places.at(2).y(), 23);
    // Placing breaks at the larger of the bounds and the proposal, and starts at the bounds.
    const QList<QPointF> wide = flow.place(children, QRectF(5, 7, 74, 39), 120);
    EXPECT_DOUBLE_EQ(wide.at(2).x(), 5 + 73.6 + 3.6);
    EXPECT_DOUBLE_EQ(wide.at(2).y(), 7 + 2);
}

TEST(FlowLayout, ToleratesHalfAPointAndGivesOversizedChildrenTheirOwnRow) {
    const FlowLayout flow{3.6, 3.0};
    const QList<FlowLayout::Child> pair{child(50, 10, false), child(50.5, 10, false)};
    EXPECT_EQ(flow.rows(pair, 100).size(), 1);
    const QList<FlowLayout::Child> over{child(50, 10, false), child(50.51, 10, false)};
    EXPECT_EQ(flow.rows(over, 100).size(), 2);

    const QList<FlowLayout::Child> huge{child(10, 10, false), child(300, 12, true),
                                        child(10, 10, true)};
    const QList<FlowLayout::Row> rows = flow.rows(huge, 100);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(1).size(), 1);
    EXPECT_EQ(flow.sizeThatFits(huge, 100), QSizeF(100, std::ceil(10 + 12 + 10 + 6)));
    // Without a proposal everything stays on one line.
    EXPECT_EQ(flow.rows(huge, std::numeric_limits<qreal>::infinity()).size(), 1);
    EXPECT_EQ(flow.sizeThatFits(huge, std::nullopt).width(), std::ceil(10 + 3.6 + 300 + 3.6 + 10));
    EXPECT_EQ(flow.sizeThatFits({}, 100), QSizeF(0, 0));
}

TEST(FlowLayout, ChildrenWithoutAGapWrapWithTheOneBeforeThem) {
    const FlowLayout flow{3.6, 3.0};
    // "Hold {⇧}{⇥}. moves": the two caps and the stop go to the next row together.
    const QList<FlowLayout::Child> caps{child(40, 10, false), child(20, 10, true),
                                        child(20, 10, false), child(5, 10, false),
                                        child(30, 10, true)};
    QList<FlowLayout::Row> rows = flow.rows(caps, 80);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0).size(), 1);
    EXPECT_EQ(rows.at(1).at(0).index, 1);
    EXPECT_EQ(rows.at(1).size(), 4);
    // Exactly filling the row keeps the run on it.
    EXPECT_EQ(flow.rows(caps, 40 + 3.6 + 45).first().size(), 4);
    // A run wider than a row still breaks where it must.
    rows = flow.rows(caps, 30);
    EXPECT_EQ(rows.at(1).at(0).index, 1);
    EXPECT_EQ(rows.at(2).at(0).index, 2);
}

TEST(KeyHintWidget, SizesFromItsWordsAndInlineCaps) {
    const QFont font = Yard::hintFont();
    const QFontMetricsF metrics(font);
    KeyHint hint(QStringLiteral("Press {Esc}"), font);
    const qreal expected = metrics.horizontalAdvance(QStringLiteral("Press")) + KeyHint::space +
                           KeyCap::size(QStringLiteral("Esc"), true).width();
    EXPECT_EQ(hint.sizeHint().width(), static_cast<int>(std::ceil(expected)));
    // Narrower than one line: the cap moves to a second row.
    const int oneRow = hint.heightForWidth(1000);
    const int twoRows = hint.heightForWidth(hint.sizeHint().width() - 10);
    EXPECT_GT(twoRows, oneRow + static_cast<int>(metrics.height()));

    KeyHint empty(QString(), font);
    EXPECT_EQ(empty.sizeHint(), QSize(0, 0));
    EXPECT_EQ(empty.heightForWidth(200), 0);
}

TEST(KeyHintWidget, IsReadAsOneTextWithoutBraces) {
    KeyHint hint(QStringLiteral("Press {Esc} to close"), Yard::hintFont(), true);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&hint);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::StaticText);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Press Escape to close"));
    EXPECT_EQ(face->childCount(), 0);
}

TEST(KeyHintWidget, DrawsWordsInTheChosenColourAndKeysAsCaps) {
    for (bool muted : {false, true}) {
        QWidget window;
        Yard::setScheme(&window, ColorScheme::dark);
        const Yard::Palette& p = Yard::Palette::dark();
        auto* hint = new KeyHint(QStringLiteral("Wm {Esc}"), Yard::hintFont(), muted, &window);
        hint->resize(hint->sizeHint());
        const QImage image = testing::renderOver(*hint, p.ground);
        const int wordWidth = static_cast<int>(
            QFontMetricsF(Yard::hintFont()).horizontalAdvance(QStringLiteral("Wm")));
        const QColor ink = muted ? p.muted : p.fore;
        const QColor other = muted ? p.fore : p.muted;
        EXPECT_TRUE(testing::hasPixelToward(image, QRect(0, 0, wordWidth, image.height()), p.ground,
                                            ink, 0.9));
        EXPECT_FALSE(testing::hasPixelNear(image, QRect(0, 0, wordWidth, image.height()), other));
        // The cap's border, half-strength fore, at its leading edge.
        const int capLeft = static_cast<int>(std::ceil(wordWidth + KeyHint::space));
        EXPECT_TRUE(testing::hasPixelNear(image, QRect(capLeft - 1, 0, 3, image.height()),
                                          testing::blend(p.ground, p.fore, 0.5)));
    }
}

}  // namespace
}  // namespace pellucine
