#include <gtest/gtest.h>

#include <QStringList>

#include "panels/GraphemeBreakTable.h"
#include "panels/SearchText.h"

namespace pellucine {
namespace {

QStringList characters(const QString& text) {
    QStringList out;
    SearchText::forEachCharacter(text, [&out](QStringView c) { out << c.toString(); });
    return out;
}

TEST(GraphemeBoundariesTest, FollowsTheClusterRules) {
    struct Case {
        const char* rule;
        QString text;
        QStringList expected;
    };
    const QChar lowSurrogate(0xDC00);
    const QChar highSurrogate(0xD800);
    const Case cases[] = {
        {"CR LF", QStringLiteral("é\r\n\r"), {"é", "\r\n", "\r"}},
        {"after a control", QStringLiteral("\n\u0308é"), {"\n", "\u0308", "é"}},
        {"before a control", QStringLiteral("é\u0085"), {"é", "\u0085"}},
        {"Hangul L V T",
         QStringLiteral("\u1100\u1161\u11A8\uAC00\u11A8"),
         {"\u1100\u1161\u11A8", "\uAC00\u11A8"}},
        {"Hangul breaks",
         QStringLiteral("\uAC01\u1161\u11A8\u1100"),
         {"\uAC01", "\u1161\u11A8", "\u1100"}},
        {"extend and joiner", QStringLiteral("e\u0301\u200Dx"), {"e\u0301\u200D", "x"}},
        {"spacing mark", QStringLiteral("\u0915\u093E\u0916"), {"\u0915\u093E", "\u0916"}},
        {"prepend", QStringLiteral("\u0600\u0661é"), {"\u0600\u0661", "é"}},
        {"emoji sequence",
         QStringLiteral("👨\u200D👩\u200D👧👍🏽"),
         {"👨\u200D👩\u200D👧", "👍🏽"}},
        {"marks before the joiner", QStringLiteral("😀\u0308\u200D😀"), {"😀\u0308\u200D😀"}},
        {"joiner after a letter", QStringLiteral("é\u200D👩"), {"é\u200D", "👩"}},
        {"flags in pairs", QStringLiteral("é🇦🇧🇨🇩🇪"), {"é", "🇦🇧", "🇨🇩", "🇪"}},
        {"lone surrogates",
         QString(highSurrogate) + QStringLiteral("é\u0308") + lowSurrogate,
         {QString(highSurrogate), "é\u0308", QString(lowSurrogate)}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(characters(c.text), c.expected) << c.rule;
    }
}

TEST(GraphemeBoundariesTest, PropertiesAgreeWithTheTablesEverywhere) {
    using namespace SearchText;
    const auto inTable = [](char32_t cp) {
        for (const GraphemeBreakRange& r : graphemeBreakRanges) {
            if (cp >= r.first && cp <= r.last) {
                return r.value;
            }
        }
        if (cp >= 0xAC00 && cp <= 0xD7A3) {
            return (cp - 0xAC00) % 28 == 0 ? GraphemeBreak::lv : GraphemeBreak::lvt;
        }
        return cp >= 0xD800 && cp <= 0xDFFF ? GraphemeBreak::control : GraphemeBreak::other;
    };
    const auto pictographic = [](char32_t cp) {
        return std::any_of(extendedPictographicRanges.begin(), extendedPictographicRanges.end(),
                           [cp](const CodePointRange& r) { return cp >= r.first && cp <= r.last; });
    };
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += cp < 0x20000 ? 1 : 97) {
        ASSERT_EQ(graphemeBreak(cp), inTable(cp)) << std::hex << static_cast<quint32>(cp);
        ASSERT_EQ(isExtendedPictographic(cp), pictographic(cp))
            << std::hex << static_cast<quint32>(cp);
    }
}

}  // namespace
}  // namespace pellucine
