#include <gtest/gtest.h>

#include <ostream>

#include "panels/HighlightedText.h"

namespace pellucine {

namespace HighlightedText {
void PrintTo(const Line& line, std::ostream* out) {
    *out << '"' << line.text.toStdString() << '"';
    for (const Span& span : line.highlights) {
        *out << " [" << span.start << ", " << span.end << ')';
    }
}
}  // namespace HighlightedText

namespace {

using HighlightedText::Line;
using HighlightedText::Span;
using HighlightedText::utf16Spans;
using R = WindowSearch::CharacterRange;

TEST(HighlightedTextTest, CharacterRangesBecomeUtf16Spans) {
    // An emoji with a skin tone is one character of four UTF-16 units.
    EXPECT_EQ(utf16Spans(u"👍🏽 re", {R{2, 4}}), (QList<Span>{{5, 7}}));
    EXPECT_EQ(utf16Spans(u"👍🏽 re", {R{0, 1}}), (QList<Span>{{0, 4}}));
    // A base letter with a combining mark is one character of two units.
    EXPECT_EQ(utf16Spans(u"Cafe\u0301 re", {R{3, 4}, R{5, 7}}), (QList<Span>{{3, 5}, {6, 8}}));
    // Full-width and CJK characters are one unit each; a character outside the BMP two.
    EXPECT_EQ(utf16Spans(u"ＲＥ報告", {R{1, 3}}), (QList<Span>{{1, 3}}));
    EXPECT_EQ(utf16Spans(u"𝐀b", {R{1, 2}}), (QList<Span>{{2, 3}}));
    // A flag is two regional indicators, one character.
    EXPECT_EQ(utf16Spans(u"🇫🇷 x", {R{2, 3}}), (QList<Span>{{5, 6}}));
}

TEST(HighlightedTextTest, SpansAreMergedAndBadRangesDropped) {
    // "re re" typed twice lists the same range twice; it is drawn once.
    EXPECT_EQ(utf16Spans(u"re re", {R{0, 2}, R{0, 2}, R{3, 5}}), (QList<Span>{{0, 2}, {3, 5}}));
    // Touching and overlapping ranges in any order become one span.
    EXPECT_EQ(utf16Spans(u"abcdef", {R{3, 5}, R{0, 2}, R{2, 3}}), (QList<Span>{{0, 5}}));
    // Beyond the end is cut; empty, reversed and negative ranges give nothing.
    EXPECT_EQ(utf16Spans(u"abc", {R{2, 9}, R{1, 1}, R{2, 1}, R{-4, -1}, R{7, 9}}),
              (QList<Span>{{2, 3}}));
    EXPECT_TRUE(utf16Spans(u"", {R{0, 2}}).isEmpty());
}

// Ten points per UTF-16 unit, two more per highlighted unit.
double measure(const Line& line) {
    double width = 10.0 * static_cast<double>(line.text.size());
    for (const Span& span : line.highlights) {
        width += 2.0 * static_cast<double>(span.end - span.start);
    }
    return width;
}

TEST(HighlightedTextTest, ElisionKeepsWholeCharactersAroundTheEllipsis) {
    const Line line{QStringLiteral("abcdefghij"), {{0, 2}, {8, 10}}};
    // 108 points: fits as it is; a point less does not.
    EXPECT_EQ(HighlightedText::elideMiddle(line, 108, measure), line);
    EXPECT_EQ(HighlightedText::elideMiddle(line, 107, measure).text, QStringLiteral("abcd…ghij"));
    // 7 units and 4 highlighted ones: "abc…hij" with one more before the ellipsis than after
    // for an odd count.
    EXPECT_EQ(HighlightedText::elideMiddle(line, 78, measure),
              (Line{QStringLiteral("abc…hij"), {{0, 2}, {5, 7}}}));
    EXPECT_EQ(HighlightedText::elideMiddle(line, 76, measure),
              (Line{QStringLiteral("abc…ij"), {{0, 2}, {4, 6}}}));
    // No room at all: the ellipsis alone, highlighted since it hides highlights.
    EXPECT_EQ(HighlightedText::elideMiddle(line, 1, measure),
              (Line{QStringLiteral("…"), {{0, 1}}}));
}

TEST(HighlightedTextTest, HiddenHighlightsMarkTheEllipsisAndNothingSplitsACharacter) {
    // A second match that is cut out marks the ellipsis; the first stays in view.
    const Line middle{QStringLiteral("abcdefghij"), {{0, 1}, {5, 6}}};
    EXPECT_EQ(HighlightedText::elideMiddle(middle, 62, measure),
              (Line{QStringLiteral("ab…ij"), {{0, 1}, {2, 3}}}));
    // A match running into the cut keeps its visible part and marks the ellipsis with it.
    const Line running{QStringLiteral("abcdefghij"), {{1, 3}, {4, 9}}};
    EXPECT_EQ(HighlightedText::elideMiddle(running, 80, measure),
              (Line{QStringLiteral("abc…hij"), {{1, 6}}}));
    // Emoji with skin tones (four units each) are kept or dropped whole.
    const QString thumbs = QStringLiteral("👍🏽");
    const Line emoji{thumbs + thumbs + thumbs + thumbs, {{12, 16}}};
    const Line shown = HighlightedText::elideMiddle(emoji, 100, measure);
    EXPECT_EQ(shown, (Line{thumbs + QStringLiteral("…") + thumbs, {{5, 9}}}));
}

TEST(HighlightedTextTest, ElisionKeepsTheMatchInView) {
    const QString title = QStringLiteral("Quarterly report draft - budget notes - Mousepad");
    const auto at = [&](const QString& word) {
        const qsizetype start = title.indexOf(word);
        return Span{start, start + word.size()};
    };
    struct Row {
        const char* name;
        QList<Span> highlights;
        double width;
        Line expected;
    };
    const Row rows[] = {
        {"no match: an even split", {}, 200, {QStringLiteral("Quarterly … Mousepad"), {}}},
        {"a match at the start",
         {at(QStringLiteral("Quarterly"))},
         218,
         {QStringLiteral("Quarterly … Mousepad"), {{0, 9}}}},
        {"a match hidden by an even split moves it towards the end",
         {at(QStringLiteral("report"))},
         212,
         {QStringLiteral("Quarterly report…pad"), {{10, 16}}}},
        {"a match hidden by an even split moves it towards the start",
         {at(QStringLiteral("notes"))},
         210,
         {QStringLiteral("Qua…notes - Mousepad"), {{4, 9}}}},
        {"a match deep in a long line keeps the characters around it",
         {at(QStringLiteral("budget"))},
         112,
         {QStringLiteral("… budget …"), {{2, 8}}}},
        {"matches too far apart keep the first",
         {at(QStringLiteral("Quarterly")), at(QStringLiteral("Mousepad"))},
         150,
         {QStringLiteral("Quarterly…ad"), {{0, 12}}}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HighlightedText::elideMiddle({title, row.highlights}, row.width, measure),
                  row.expected)
            << row.name;
    }
}

}  // namespace
}  // namespace pellucine
