#include <gtest/gtest.h>

#include "base/VersionComparator.h"
#include "updates/LastCheckText.h"
#include "updates/UpdateChoice.h"
#include "updates/VersionWithV.h"

namespace pellucine {
namespace {

TEST(VersionComparatorTest, OrdersReleaseNumbers) {
    struct Case {
        const char* a;
        const char* b;
        std::weak_ordering expected;
    };
    const auto less = std::weak_ordering::less;
    const auto same = std::weak_ordering::equivalent;
    const Case cases[] = {
        {"1.9", "1.10", less},
        {"2", "10", less},
        {"1.0", "1.0.0", same},
        {"1.0", "1.0-beta", same},
        {"1.0b1", "1.0", less},
        {"1.0a1", "1.0b1", less},
        {"1.0b2", "1.0b10", less},
        {"1.0b1", "1.0.1", less},
        {"1.0B", "1.0b", less},
        {"", "0", same},
        {"", "5", less},
        {"-1", "1", less},
        // Numbers past 64 bits are all the largest number.
        {"1234567890123456789012345", "9999999999999999999999999", same},
        {"18446744073709551614", "1234567890123456789012345", less},
        {"1.0+", "1.0", less},
        // Letters after a period mark a release before the numbers too.
        {"410.a", "410", less},
        {"1.a", "1.0", less},
        {"1.0.b1", "1.0b1", same},
        {"411.0b1", "411p", less},
        {"411p", "411.x", less},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareVersions(QString(c.a), QString(c.b)), c.expected) << c.a << " vs " << c.b;
        // Swapping the arguments reverses the order.
        EXPECT_EQ(compareVersions(QString(c.b), QString(c.a)), 0 <=> c.expected)
            << c.b << " vs " << c.a;
    }
}

TEST(VersionComparatorTest, IsATotalOrderOverOddVersions) {
    // One a bar, the empty version first.
    const QStringList versions =
        QString::fromUtf8(
            "|0|0.0|00|1|1.0|1.0.0|01|1.00|1.a|1a|1.0b1|1p|1.x|1.0.b1|1.0b1.2|1b"
            "|1.0B|1..0|1.|.1|-1|1-|1.0-beta|1_0|1 0|1.0+|1+1|1.0_5|1.5|1.0.x.0"
            "|..| |b|a1|1a1a1|410|410.a|411.0b1|411p|411.x|1.\u0663|\u00e91"
            "|18446744073709551616|99999999999999999999")
            .split(u'|');
    const qsizetype n = versions.size();
    std::vector<std::weak_ordering> order;
    for (const QString& a : versions) {
        for (const QString& b : versions) {
            order.push_back(compareVersions(a, b));
        }
    }
    const auto cmp = [&](qsizetype a, qsizetype b) { return order[std::size_t(a * n + b)]; };
    const auto name = [&](qsizetype i) { return versions[i].toStdString(); };
    for (qsizetype a = 0; a < n; ++a) {
        for (qsizetype b = 0; b < n; ++b) {
            ASSERT_EQ(cmp(b, a), 0 <=> cmp(a, b))
                << "antisymmetry: " << name(a) << " vs " << name(b);
            for (qsizetype c = 0; c < n; ++c) {
                if (cmp(a, b) <= 0 && cmp(b, c) <= 0) {
                    ASSERT_TRUE(cmp(a, c) <= 0)
                        << "transitivity: " << name(a) << " <= " << name(b) << " <= " << name(c);
                }
                if (cmp(a, b) == 0) {
                    ASSERT_EQ(cmp(a, c), cmp(b, c))
                        << "equality: " << name(a) << " == " << name(b) << " against " << name(c);
                }
            }
        }
    }
}

AppcastItem release(const QString& version, std::optional<QString> channel = std::nullopt) {
    AppcastItem item;
    item.versionString = version;
    item.displayVersionString = version + QStringLiteral(" shown");
    item.channel = std::move(channel);
    return item;
}

TEST(UpdateChoiceTest, TakesTheNewestStrictlyNewerReleaseOnTheChannel) {
    const auto choose = [](QList<AppcastItem> items, UpdateChannel channel = UpdateChannel::stable,
                           const QString& running = QStringLiteral("140")) {
        const std::optional<AppcastItem> best = bestValidUpdate({items}, channel, running);
        return best ? best->displayVersionString : QStringLiteral("none");
    };
    EXPECT_EQ(choose({}), "none");
    EXPECT_EQ(choose({release("150", "beta"), release("160", "beta"), release("130")}), "none");
    EXPECT_EQ(choose({release("140")}), "none");
    EXPECT_EQ(choose({release("")}), "none");
    EXPECT_EQ(choose({release("150"), release("170"), release("160")}), "170 shown");

    AppcastItem first = release("150");
    first.displayVersionString = "first";
    EXPECT_EQ(choose({release("141"), first, release("150"), release("149")}), "first");

    AppcastItem tooOld = release("190");
    tooOld.minimumOperatingSystemVersionIsOK = false;
    AppcastItem tooNew = release("180");
    tooNew.maximumOperatingSystemVersionIsOK = false;
    EXPECT_EQ(choose({release("150"), tooOld, tooNew}), "150 shown");

    // A build without a version of its own runs as "0".
    EXPECT_EQ(choose({release("0"), release("0.1")}, UpdateChannel::stable, "0"), "0.1 shown");

    // The beta channel adds releases named exactly "beta".
    const QList<AppcastItem> channels{release("150"), release("190", "Beta"),
                                      release("180", "alpha"), release("160", "beta"),
                                      release("170", "")};
    EXPECT_EQ(choose(channels, UpdateChannel::beta), "160 shown");
    EXPECT_EQ(choose(channels, UpdateChannel::stable), "150 shown");
}

TEST(VersionWithVTest, PutsALowerCaseVInFrontOnce) {
    EXPECT_EQ(VersionWithV::withV("1.4"), "v1.4");
    EXPECT_EQ(VersionWithV::withV("v1.4"), "v1.4");
    EXPECT_EQ(VersionWithV::withV(""), "v");
    EXPECT_EQ(VersionWithV::withV("V1"), "vV1");
    EXPECT_EQ(VersionWithV::withV(" v1"), "v v1");

    AppcastItem update = release("150");
    update.displayVersionString = "1.5";
    QString bundle = "1.4";
    EXPECT_EQ(VersionWithV::shared().formatUpdateDisplayVersion(update, bundle, "140"), "v1.5");
    EXPECT_EQ(bundle, "v1.4");
    EXPECT_EQ(VersionWithV::shared().formatBundleDisplayVersion("1.4", "140", update), "v1.4");
    EXPECT_EQ(&VersionWithV::shared(), &VersionWithV::shared());
}

TEST(LastCheckTextTest, NamesTheDayRelativeToNowInTheZone) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QTimeZone berlin("Europe/Berlin");
    const auto at = [&](int year, int month, int day, int hour, int minute) {
        return QDateTime(QDate(year, month, day), QTime(hour, minute), berlin);
    };
    const auto text = [&](std::optional<QDateTime> last, const QDateTime& now) {
        return lastCheckText(last, now, berlin, english);
    };
    const auto time = [&](const QDateTime& t) {
        return english.toString(t.toTimeZone(berlin).time(), QLocale::ShortFormat);
    };
    EXPECT_EQ(text(std::nullopt, at(2026, 3, 5, 12, 0)), "Never checked");
    const QDateTime lateYesterday = at(2026, 3, 4, 23, 55);
    EXPECT_EQ(text(lateYesterday, at(2026, 3, 5, 0, 10)),
              "Last check: Yesterday, " + time(lateYesterday));
    EXPECT_EQ(time(lateYesterday).left(5), "11:55");
    EXPECT_EQ(text(at(2026, 3, 5, 0, 5), at(2026, 3, 5, 0, 10)),
              "Last check: Today, " + time(at(2026, 3, 5, 0, 5)));
    EXPECT_EQ(text(at(2026, 3, 3, 9, 4), at(2026, 3, 5, 0, 10)),
              "Last check: Mar 3, " + time(at(2026, 3, 3, 9, 4)));
    EXPECT_EQ(text(at(2025, 12, 31, 22, 0), at(2026, 1, 1, 8, 0)),
              "Last check: Yesterday, " + time(at(2025, 12, 31, 22, 0)));
    // Across the spring change of the clocks (29 March 2026 has 23 hours).
    EXPECT_EQ(text(at(2026, 3, 29, 1, 30), at(2026, 3, 30, 0, 30)),
              "Last check: Yesterday, " + time(at(2026, 3, 29, 1, 30)));
    // The same instant is a different day in another zone.
    const QDateTime utcLate(QDate(2026, 3, 4), QTime(23, 30), Qt::UTC);
    EXPECT_TRUE(text(utcLate, at(2026, 3, 5, 12, 0)).startsWith("Last check: Today, "));
}

}  // namespace
}  // namespace pellucine
