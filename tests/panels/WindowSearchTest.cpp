#include <gtest/gtest.h>

#include "panels/SearchText.h"
#include "panels/WindowSearch.h"

namespace pellucine {
namespace {

using namespace WindowSearch;

Candidate candidate(const QString& title, const QString& application = QStringLiteral("App"),
                    qint64 recency = 0, quint32 id = 1,
                    std::optional<QDateTime> focused = std::nullopt) {
    Candidate c;
    c.window.id = id;
    c.window.title = title;
    c.window.applicationName = application;
    c.window.lastFocusedAt = focused;
    c.applicationRecency = recency;
    return c;
}

// The single result of ranking one candidate, or a failure when it was dropped.
Result only(const QString& query, const Candidate& c) {
    const QList<Result> results = rank(query, {c});
    EXPECT_EQ(results.size(), 1) << query.toStdString();
    return results.value(0);
}

QList<CharacterRange> ranges(std::initializer_list<std::pair<qsizetype, qsizetype>> list) {
    QList<CharacterRange> out;
    for (const auto& [start, end] : list) {
        out.append({start, end});
    }
    return out;
}

QList<quint32> ids(const QList<Result>& results) {
    QList<quint32> out;
    for (const Result& r : results) {
        out.append(r.candidate.window.id);
    }
    return out;
}

TEST(WindowSearchTest, TitleAndApplicationScores) {
    const Result mail =
        only(QStringLiteral("re mail"),
             candidate(QStringLiteral("Re: Quarterly report"), QStringLiteral("Mail"), 2));
    EXPECT_EQ(mail.score, 228);
    EXPECT_EQ(mail.titleMatches, ranges({{0, 2}}));
    EXPECT_EQ(mail.applicationMatches, ranges({{0, 4}}));

    const Result brewery = only(QStringLiteral("re"), candidate(QStringLiteral("Brewery")));
    EXPECT_EQ(brewery.score, 100);
    EXPECT_EQ(brewery.titleMatches, ranges({{1, 3}}));
    EXPECT_EQ(match(QStringLiteral("re"), QStringLiteral("brewery")), (Match{{1, 3}, 0}));
}

TEST(WindowSearchTest, WordStartsBeatEarlierInnerMatches) {
    const Result bar = only(QStringLiteral("bar"), candidate(QStringLiteral("foobar bar")));
    EXPECT_EQ(bar.score, 130);
    EXPECT_EQ(bar.titleMatches, ranges({{7, 10}}));
    // Equal bonuses: the earliest wins.
    EXPECT_EQ(match(QStringLiteral("b"), QStringLiteral("a-b a-b")), (Match{{2, 3}, 30}));
    // A digit before the match is a number, so no bonus.
    EXPECT_EQ(only(QStringLiteral("re"), candidate(QStringLiteral("x1re"))).score, 100);
    // A start match ends the scan.
    EXPECT_EQ(match(QStringLiteral("ab"), QStringLiteral("ab ab")), (Match{{0, 2}, 60}));
    EXPECT_FALSE(match(QString(), QStringLiteral("abc")));
    EXPECT_FALSE(match(QStringLiteral("abcd"), QStringLiteral("abc")));
}

TEST(WindowSearchTest, ApplicationMatchesScoreLessWithHalfBonus) {
    const Result r = only(QStringLiteral("port x"),
                          candidate(QStringLiteral("report"), QStringLiteral("Xcode")));
    EXPECT_EQ(r.score, 100 + 70);
    EXPECT_EQ(r.titleMatches, ranges({{2, 6}}));
    EXPECT_EQ(r.applicationMatches, ranges({{0, 1}}));
    // 30 halves to 15, 0 stays 0.
    EXPECT_EQ(only(QStringLiteral("code"), candidate(QStringLiteral("x"), QStringLiteral("X code")))
                  .score,
              55);
    EXPECT_EQ(
        only(QStringLiteral("ode"), candidate(QStringLiteral("x"), QStringLiteral("Xcode"))).score,
        40);
}

TEST(WindowSearchTest, TokenCounting) {
    // Twice typed, twice counted and listed.
    const Result twice =
        only(QStringLiteral("re re"),
             candidate(QStringLiteral("Re: Quarterly report"), QStringLiteral("Mail"), 2));
    EXPECT_EQ(twice.score, 318);
    EXPECT_EQ(twice.titleMatches, ranges({{0, 2}, {0, 2}}));
    // Found in the title, so not looked for in the application name.
    const Result both =
        only(QStringLiteral("mail"), candidate(QStringLiteral("mail"), QStringLiteral("Mail")));
    EXPECT_EQ(both.score, 160);
    EXPECT_TRUE(both.applicationMatches.isEmpty());
    // One token found nowhere drops the window.
    EXPECT_TRUE(rank(QStringLiteral("report zebra"),
                     {candidate(QStringLiteral("Quarterly report"), QStringLiteral("Mail"))})
                    .isEmpty());
}

TEST(WindowSearchTest, FoldingIgnoresCaseAccentsAndWidth) {
    const Result cafe = only(QStringLiteral("CAFE"), candidate(QStringLiteral("Le café")));
    EXPECT_EQ(cafe.titleMatches, ranges({{3, 7}}));
    EXPECT_EQ(cafe.score, 130);
    // Full-width letters in the query match ordinary ones, and the other way round.
    EXPECT_EQ(only(QStringLiteral("ａｂｃ"), candidate(QStringLiteral("ABC"))).score, 160);
    EXPECT_EQ(only(QStringLiteral("abc"), candidate(QStringLiteral("ＡＢＣ"))).titleMatches,
              ranges({{0, 3}}));
    // Half-width katakana with its voiced mark folds like the full form.
    EXPECT_EQ(only(QStringLiteral("ｶﾞ"), candidate(QStringLiteral("ガイド"))).score, 160);
    // A ligature whose fold expands stays itself, so "fi" skips it.
    EXPECT_EQ(only(QStringLiteral("fi"), candidate(QStringLiteral("ﬁle fi"))).titleMatches,
              ranges({{4, 6}}));
}

TEST(WindowSearchTest, RangesCountUserPerceivedCharacters) {
    // A decomposed é is one character.
    const Result noir = only(QStringLiteral("noir"), candidate(QStringLiteral("Cafe\u0301 Noir")));
    EXPECT_EQ(noir.titleMatches, ranges({{5, 9}}));
    EXPECT_EQ(
        only(QStringLiteral("café"), candidate(QStringLiteral("Cafe\u0301 Noir"))).titleMatches,
        ranges({{0, 4}}));
    // An emoji with a skin tone is one character and not a letter.
    const Result thumbs = only(QStringLiteral("re"), candidate(QStringLiteral("👍🏽 re")));
    EXPECT_EQ(thumbs.titleMatches, ranges({{2, 4}}));
    EXPECT_EQ(thumbs.score, 130);
    EXPECT_EQ(only(QStringLiteral("re"), candidate(QStringLiteral("👍🏽re"))).titleMatches,
              ranges({{1, 3}}));
    EXPECT_EQ(only(QStringLiteral("re"), candidate(QStringLiteral("👍🏽re"))).score, 130);
    // A joined family and a flag are one character each.
    EXPECT_EQ(
        only(QStringLiteral("notes"), candidate(QStringLiteral("👨‍👩‍👧🇯🇵notes")))
            .titleMatches,
        ranges({{2, 7}}));
    // Flags pair up after an emoji as after a letter.
    EXPECT_EQ(only(QStringLiteral("re"), candidate(QStringLiteral("👍🇯🇵re"))).titleMatches,
              ranges({{2, 4}}));
    EXPECT_EQ(only(QStringLiteral("re"), candidate(QStringLiteral("x🇯🇵🇫🇷🇩re"))).titleMatches,
              ranges({{4, 6}}));
    // Emoji themselves can be searched for.
    EXPECT_EQ(only(QStringLiteral("🇯🇵"), candidate(QStringLiteral("trip 🇯🇵"))).titleMatches,
              ranges({{5, 6}}));
    EXPECT_TRUE(rank(QStringLiteral("🇫🇷"), {candidate(QStringLiteral("trip 🇯🇵"))}).isEmpty());
}

TEST(WindowSearchTest, NormalizeKeepsOneCharacterPerCharacter) {
    EXPECT_EQ(normalize(QStringLiteral("ＡbÇ")), QStringLiteral("abc"));
    EXPECT_EQ(normalize(QStringLiteral("e\u0301")), QStringLiteral("e"));
    EXPECT_EQ(normalize(QStringLiteral("ｶﾞ")), QStringLiteral("カ"));
    EXPECT_EQ(normalize(QStringLiteral("Straße ﬁ")), QStringLiteral("straße ﬁ"));
    // Full folding would give "ss": two characters, so it stays.
    EXPECT_EQ(normalize(QStringLiteral("ẞ")), QStringLiteral("ẞ"));
    EXPECT_EQ(normalize(QStringLiteral("İ")), QStringLiteral("i"));
    // A lone mark would fold to nothing and stays.
    EXPECT_EQ(normalize(QStringLiteral("\u0301a")), QStringLiteral("\u0301a"));
    EXPECT_EQ(normalize(QStringLiteral("👍🏽 ❤️")), QStringLiteral("👍🏽 ❤"));
    EXPECT_EQ(normalize(QStringLiteral("1\uFE0F\u20E3")), QStringLiteral("1\u20E3"));
    EXPECT_EQ(normalize(QString()), QString());
}

TEST(WindowSearchTest, NormalizeNeverJoinsCharactersThatFoldingFreedOfTheirMarks) {
    struct Case {
        QString text;
        QString folded;
    };
    const Case cases[] = {
        // A regional indicator with a mark, then another: without the mark they make one flag.
        {QStringLiteral("🇦́🇧"), QStringLiteral("🇦́🇧")},
        {QStringLiteral("🇦́🇧́🇨"), QStringLiteral("🇦́🇧́🇨")},
        // A leading jamo with a mark, then a vowel jamo: without the mark they make a syllable.
        {QStringLiteral("ᄀ́ᅡ"), QStringLiteral("ᄀ́ᅡ")},
        {QStringLiteral("ᄀ́ᅡ́"), QStringLiteral("ᄀ́ᅡ")},
        // An emoji, a joiner and a mark, then another emoji.
        {QStringLiteral("😀‍́😀"), QStringLiteral("😀‍́😀")},
        // Folds that join nothing still fold.
        {QStringLiteral("🇦́x"), QStringLiteral("🇦x")},
        {QStringLiteral("É🇦́"), QStringLiteral("e🇦")},
    };
    for (const Case& c : cases) {
        const QString folded = normalize(c.text);
        EXPECT_EQ(folded, c.folded) << c.text.toStdString();
        EXPECT_EQ(SearchText::characterCount(folded), SearchText::characterCount(c.text))
            << c.text.toStdString();
    }
}

TEST(WindowSearchTest, LongRunsOfFlagsAndMarksAreCountedAndFoldedWhole) {
    QString flags;
    for (int i = 0; i < 1001; ++i) {
        flags += QStringLiteral("🇦");
    }
    EXPECT_EQ(SearchText::characterCount(flags), 501);
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("👍") + flags), 502);
    // After an emoji the boundary finder pairs the second and third indicators.
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("👍🇯🇵🇫🇷")), 3);
    EXPECT_EQ(only(QStringLiteral("🇫🇷"), candidate(QStringLiteral("👍🇯🇵🇫🇷🇩"))).titleMatches,
              ranges({{2, 3}}));

    QString marked = QStringLiteral("E");
    for (int i = 0; i < 1000; ++i) {
        marked += QChar(i % 2 == 0 ? 0x0301 : 0x0316);
    }
    EXPECT_EQ(SearchText::characterCount(marked), 1);
    EXPECT_EQ(normalize(marked), QStringLiteral("e"));
    EXPECT_EQ(only(QStringLiteral("e"), candidate(marked)).titleMatches, ranges({{0, 1}}));
}

TEST(WindowSearchTest, CanonicalFormsAgreeWithQt) {
    const QString texts[] = {
        QStringLiteral("é̖̖̀"),
        QStringLiteral("é̖"),
        QStringLiteral("ཱཱི̖̈́"),
        QStringLiteral("각 가"),
        QStringLiteral("ṩ̣ Å Å"),
        QStringLiteral("𝅘𝅥𝅮𝅥"),
        QString(QChar(0xD800)) + QStringLiteral("́a"),
    };
    for (const QString& text : texts) {
        EXPECT_EQ(SearchText::canonicalDecomposition(text),
                  text.normalized(QString::NormalizationForm_D))
            << text.toStdString();
        EXPECT_EQ(SearchText::canonicalComposition(text),
                  text.normalized(QString::NormalizationForm_C))
            << text.toStdString();
    }
}

TEST(WindowSearchTest, CharactersDoNotDependOnTheScriptOfTheTextAround) {
    // A script-tailoring boundary finder splits the flag's surrogate pair before a Myanmar
    // letter, and joins a Gujarati mark to U+FFFF after Latin text only.
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("🇨\u1061")), 2);
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("a\u0303\u1061")), 2);
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("\uFFFF\u0AFF")), 1);
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("Re \uFFFF\u0AFF")), 4);
    EXPECT_EQ(SearchText::characterCount(QStringLiteral("\u0A95\u0AFF")), 1);
    const QString title = QStringLiteral("Re \uFFFF\u0AFF");
    EXPECT_EQ(only(title, candidate(title)).titleMatches, ranges({{0, 2}, {3, 4}}));

    // Folding away the Cyrillic mark once left the whole text to the Myanmar tailoring.
    const char16_t found[] = {0x0000, 0xFAFA, 0xFAFA, 0x2DFA, 0xFAFA, 0xFAFA, 0xD8FA,
                              0xDDE7, 0xD83C, 0xDDE8, 0x0303, 0x0303, 0x1061, 0x0000,
                              0x0000, 0x0303, 0x0303, 0x0003, 0xD800};
    const QString text = QString::fromUtf16(found, std::size(found));
    EXPECT_EQ(SearchText::characterCount(normalize(text)), SearchText::characterCount(text));
    EXPECT_EQ(SearchText::characterCount(text), 13);
}

TEST(WindowSearchTest, MatchComparesCanonicalEquivalents) {
    EXPECT_EQ(match(QStringLiteral("é"), QStringLiteral("e\u0301t\u00e9")), (Match{{0, 1}, 60}));
    EXPECT_EQ(match(QStringLiteral("e\u0301"), QStringLiteral("t\u00e9")), (Match{{1, 2}, 0}));
    EXPECT_FALSE(match(QStringLiteral("e"), QStringLiteral("\u00e9")));
}

TEST(WindowSearchTest, EmptyTitleIsSearchedAsUntitledWindow) {
    const Result r = only(QStringLiteral("untitled"), candidate(QString()));
    EXPECT_EQ(r.titleMatches, ranges({{0, 8}}));
    EXPECT_EQ(r.score, 160);
    EXPECT_EQ(displayTitle(candidate(QString()).window), QStringLiteral("Untitled window"));
    EXPECT_EQ(displayTitle(candidate(QStringLiteral(" ")).window), QStringLiteral(" "));
}

TEST(WindowSearchTest, QueriesSplitOnEveryWhitespace) {
    const Candidate c =
        candidate(QStringLiteral("Re: Quarterly report"), QStringLiteral("Mail"), 2);
    const Result r = only(QStringLiteral("  re\u3000\tmail\u00a0 "), c);
    EXPECT_EQ(r.score, 228);
    // No tokens at all: every window, unmatched.
    for (const QString& blank :
         {QString(), QStringLiteral("   "), QStringLiteral("\u2028\u00a0")}) {
        const Result e = only(blank, c);
        EXPECT_EQ(e.score, -2);
        EXPECT_TRUE(e.titleMatches.isEmpty());
        EXPECT_TRUE(e.applicationMatches.isEmpty());
    }
}

TEST(WindowSearchTest, OrderingScoreThenFocusThenId) {
    const QDateTime earlier = QDateTime::fromMSecsSinceEpoch(1'000, Qt::UTC);
    const QDateTime later = QDateTime::fromMSecsSinceEpoch(2'000, Qt::UTC);
    const QList<Candidate> candidates{
        candidate(QStringLiteral("a"), QStringLiteral("x"), 1, 5),
        candidate(QStringLiteral("b"), QStringLiteral("x"), 1, 3),
        candidate(QStringLiteral("c"), QStringLiteral("x"), 0, 9),
        candidate(QStringLiteral("d"), QStringLiteral("x"), 1, 4, earlier),
    };
    EXPECT_EQ(ids(rank(QString(), candidates)), (QList<quint32>{9, 4, 3, 5}));

    const QList<Candidate> focused{
        candidate(QStringLiteral("notes"), QStringLiteral("x"), 0, 1, earlier),
        candidate(QStringLiteral("notes"), QStringLiteral("x"), 0, 2, later),
        candidate(QStringLiteral("notes"), QStringLiteral("x"), 0, 3),
        candidate(QStringLiteral("my notes"), QStringLiteral("x"), 0, 4, later),
        candidate(QStringLiteral("nothing"), QStringLiteral("x"), 0, 5, later),
    };
    // Start matches first, later focus first, no date last; the window without "notes" is gone.
    EXPECT_EQ(ids(rank(QStringLiteral("notes"), focused)), (QList<quint32>{2, 1, 3, 4}));
}

TEST(WindowSearchTest, IndexRanksLikeTheFreeFunctionAcrossQueries) {
    const QList<Candidate> candidates{
        candidate(QStringLiteral("Le café"), QStringLiteral("Browser"), 1, 1),
        candidate(QStringLiteral("Cafe\u0301 menu"), QStringLiteral("Editor"), 0, 2),
        candidate(QString(), QStringLiteral("Terminal"), 2, 3),
        candidate(QStringLiteral("👍🏽 ＣＡＦＥ"), QStringLiteral("Chat"), 3, 4),
    };
    const Index index(candidates);
    EXPECT_EQ(index.candidates(), candidates);
    for (const QString& q : {QStringLiteral("cafe"), QStringLiteral("CAFÉ e"), QString(),
                             QStringLiteral("untitled term"), QStringLiteral("👍🏽"),
                             QStringLiteral("ｃａｆｅ chat"), QStringLiteral("zzz")}) {
        EXPECT_EQ(index.rank(q), rank(q, candidates)) << q.toStdString();
    }
    EXPECT_EQ(ids(index.rank(QStringLiteral("cafe"))), (QList<quint32>{2, 1, 4}));
    EXPECT_TRUE(Index().rank(QStringLiteral("a")).isEmpty());
}

TEST(WindowSearchTest, MalformedTextIsSearchedWithoutHarm) {
    // A lone surrogate and control characters are characters like any other.
    const QString broken = QString(QChar(0xD800)) + QStringLiteral("\r\nlog\x01");
    const Result r = only(QStringLiteral("log"), candidate(broken));
    EXPECT_EQ(r.titleMatches, ranges({{2, 5}}));
    EXPECT_TRUE(rank(QString(QChar(0xDC00)), {candidate(QStringLiteral("log"))}).isEmpty());
}

TEST(WindowSearchTest, LocationRawValues) {
    for (const Location l : {Location::onScreen, Location::minimized, Location::fullScreen,
                             Location::hidden, Location::otherSpace}) {
        EXPECT_EQ(locationFromRawValue(rawValue(l)), l);
    }
    EXPECT_EQ(rawValue(Location::otherSpace), QStringLiteral("Other Desktop"));
    EXPECT_FALSE(locationFromRawValue(QStringLiteral("on screen")));
    EXPECT_FALSE(locationFromRawValue(QString()));
}

}  // namespace
}  // namespace pellucine
