#include <gtest/gtest.h>

#include "base/IsoDateTime.h"

namespace pellucine {
namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

TEST(IsoDateTimeTest, FormatsInUtcWithAndWithoutMilliseconds) {
    const QDateTime t = utc(2026, 3, 14, 9, 26, 53, 589);
    EXPECT_EQ(formatIsoDateTime(t), "2026-03-14T09:26:53Z");
    EXPECT_EQ(formatIsoDateTimeWithMilliseconds(t), "2026-03-14T09:26:53.589Z");
    EXPECT_EQ(formatIsoDateTime(t.toOffsetFromUtc(3600)), "2026-03-14T09:26:53Z");
    EXPECT_EQ(formatIsoDateTime(distantPast()), "0001-01-01T00:00:00Z");
    EXPECT_EQ(formatIsoDateTimeWithMilliseconds(utc(2026, 1, 1, 0, 0, 0, 5)),
              "2026-01-01T00:00:00.005Z");
}

TEST(IsoDateTimeTest, ParsesWholeSecondsWithZuluOrOffset) {
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T09:26:53Z"), utc(2026, 3, 14, 9, 26, 53));
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T10:26:53+01:00"), utc(2026, 3, 14, 9, 26, 53));
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T08:26:53-01:00"), utc(2026, 3, 14, 9, 26, 53));
    EXPECT_EQ(parseIsoDateTime(u"0001-01-01T00:00:00Z"), distantPast());
}

TEST(IsoDateTimeTest, OffsetsPastTheWritableYearsClampSoThatTheDateWritesAgain) {
    struct Case {
        const char16_t* text;
        QDateTime expected;
    };
    const Case cases[] = {
        {u"9999-12-31T23:30:00-01:00", distantFuture()},
        {u"9999-12-31T23:59:59-00:01", distantFuture()},
        {u"9999-12-31T23:59:59.999Z", distantFuture()},
        {u"9999-12-31T23:59:58.999Z", utc(9999, 12, 31, 23, 59, 58, 999)},
        {u"9999-12-31T23:30:00+01:00", utc(9999, 12, 31, 22, 30, 0)},
        {u"0001-01-01T00:00:00+05:30", distantPast()},
        {u"0001-01-01T00:00:00.001+00:01", distantPast()},
        {u"0001-01-01T05:30:00+05:30", distantPast()},
        {u"0001-01-01T00:00:00-05:30", utc(1, 1, 1, 5, 30, 0)},
    };
    for (const Case& c : cases) {
        const auto parsed = parseIsoDateTime(c.text, FractionalSeconds::optional);
        ASSERT_TRUE(parsed) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(*parsed, c.expected) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(parseIsoDateTime(formatIsoDateTimeWithMilliseconds(*parsed),
                                   FractionalSeconds::required),
                  *parsed);
        EXPECT_TRUE(parseIsoDateTime(formatIsoDateTime(*parsed)));
    }
}

TEST(IsoDateTimeTest, FractionalSecondsFollowTheRule) {
    EXPECT_FALSE(parseIsoDateTime(u"2026-03-14T09:26:53.589Z"));
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T09:26:53.589Z", FractionalSeconds::required),
              utc(2026, 3, 14, 9, 26, 53, 589));
    EXPECT_FALSE(parseIsoDateTime(u"2026-03-14T09:26:53Z", FractionalSeconds::required));
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T09:26:53.5Z", FractionalSeconds::optional),
              utc(2026, 3, 14, 9, 26, 53, 500));
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T09:26:53.123456Z", FractionalSeconds::optional),
              utc(2026, 3, 14, 9, 26, 53, 123));
    EXPECT_EQ(parseIsoDateTime(u"2026-03-14T09:26:53Z", FractionalSeconds::optional),
              utc(2026, 3, 14, 9, 26, 53));
    EXPECT_FALSE(parseIsoDateTime(u"2026-03-14T09:26:53.Z", FractionalSeconds::optional));
}

TEST(IsoDateTimeTest, RejectsWhatIsNotAStrictInternetDateTime) {
    for (const char16_t* bad :
         {u"", u"2026-03-14", u"2026-03-14T09:26:53", u"2026-03-14 09:26:53Z",
          u"2026-03-14t09:26:53Z", u"2026-03-14T09:26:53z", u"2026-02-30T09:26:53Z",
          u"2026-13-01T00:00:00Z", u"2026-03-14T24:00:00Z", u"2026-03-14T09:60:00Z",
          u"2026-03-14T09:26:60Z", u"2026-03-14T09:26:53+0100", u"2026-03-14T09:26:53+01",
          u" 2026-03-14T09:26:53Z", u"2026-03-14T09:26:53Z ", u"26-03-14T09:26:53Z",
          u"2026-3-14T09:26:53Z", u"２０２６-03-14T09:26:53Z"}) {
        EXPECT_FALSE(parseIsoDateTime(bad, FractionalSeconds::optional))
            << QString::fromUtf16(bad).toStdString();
    }
}

}  // namespace
}  // namespace pellucine
