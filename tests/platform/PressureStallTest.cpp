#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "base/ManualScheduler.h"
#include "platform/SystemWindowList.h"
#include "platform/linux/PressureStallMemoryPressure.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using std::chrono::milliseconds;

QByteArray pressureText(qint64 someMicros, qint64 fullMicros) {
    return QStringLiteral(
               "some avg10=1.00 avg60=0.50 avg300=0.10 total=%1\n"
               "full avg10=0.20 avg60=0.10 avg300=0.00 total=%2\n")
        .arg(someMicros)
        .arg(fullMicros)
        .toLatin1();
}

TEST(PressureStallTest, ReadsTheStallTotals) {
    const auto totals = parsePressureStall(pressureText(1200, 30));
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->some, std::chrono::microseconds(1200));
    EXPECT_EQ(totals->full, std::chrono::microseconds(30));

    const auto someOnly = parsePressureStall("some avg10=0.00 avg60=0.00 avg300=0.00 total=7\n");
    ASSERT_TRUE(someOnly);
    EXPECT_FALSE(someOnly->full);

    EXPECT_FALSE(parsePressureStall(""));
    EXPECT_FALSE(parsePressureStall("full avg10=0.00 total=5\n"));
    EXPECT_FALSE(parsePressureStall("some avg10=0.00 total=-5\n"));
    EXPECT_FALSE(parsePressureStall("some avg10=0.00 total=12x\n"));
    EXPECT_FALSE(parsePressureStall("some avg10=0.00\n"));
}

TEST(PressureStallTest, StallOfATenthOfTheTimeIsPressure) {
    const PressureStallTotals start{milliseconds(1000), milliseconds(500)};
    const auto after = [&](int someMs, int fullMs) {
        return pressureBetween(start, {milliseconds(1000 + someMs), milliseconds(500 + fullMs)},
                               std::chrono::seconds(5), 0.1);
    };
    EXPECT_EQ(after(499, 0), (MemoryPressureEvents{}));
    EXPECT_EQ(after(500, 0), (MemoryPressureEvents{.warning = true}));
    EXPECT_EQ(after(600, 499), (MemoryPressureEvents{.warning = true}));
    EXPECT_EQ(after(600, 500), (MemoryPressureEvents{.warning = true, .critical = true}));
    // Totals that went backwards, no time, no full line: no pressure from them.
    EXPECT_EQ(
        pressureBetween(start, {milliseconds(0), milliseconds(0)}, std::chrono::seconds(5), 0.1),
        (MemoryPressureEvents{}));
    EXPECT_EQ(
        pressureBetween(start, {milliseconds(9000), milliseconds(9000)}, Duration::zero(), 0.1),
        (MemoryPressureEvents{}));
    EXPECT_EQ(pressureBetween({milliseconds(0), std::nullopt}, {milliseconds(5000), std::nullopt},
                              std::chrono::seconds(5), 0.1),
              (MemoryPressureEvents{.warning = true}));
}

class PollingPressureTest : public ::testing::Test {
  protected:
    void write(qint64 someMicros, qint64 fullMicros) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(pressureText(someMicros, fullMicros));
    }

    testing::TempFolder folder;
    QString path = folder.file(QStringLiteral("memory"));
    ManualScheduler scheduler;
    std::vector<MemoryPressureEvents> heard;
};

TEST_F(PollingPressureTest, AMissingFileMakesTheSourceUnavailable) {
    PressureStallMemoryPressure source(scheduler, {path, false});
    EXPECT_EQ(source.unavailableReason(), QStringLiteral("no-pressure-stall-information"));
    auto subscription = source.subscribe([&](MemoryPressureEvents e) { heard.push_back(e); });
    EXPECT_EQ(source.mode(), PressureStallMemoryPressure::Mode::unavailable);
    write(0, 0);
    scheduler.advance(60.0);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(PollingPressureTest, EachLevelIsReportedAgainOnlyAfterAQuietSpell) {
    write(0, 0);
    PressureStallMemoryPressure source(scheduler, {path, false});
    EXPECT_FALSE(source.unavailableReason());
    EXPECT_EQ(source.mode(), PressureStallMemoryPressure::Mode::idle);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    auto subscription = source.subscribe([&](MemoryPressureEvents e) { heard.push_back(e); });
    EXPECT_EQ(source.mode(), PressureStallMemoryPressure::Mode::polling);

    // 5 s polls: 1 s of "some" stall in the first is a warning.
    write(1'000'000, 0);
    scheduler.advance(5.0);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], (MemoryPressureEvents{.warning = true}));
    // The same again 5 s later is held back; critical is not.
    write(2'000'000, 0);
    scheduler.advance(5.0);
    EXPECT_EQ(heard.size(), 1u);
    write(3'000'000, 1'000'000);
    scheduler.advance(5.0);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], (MemoryPressureEvents{.warning = true, .critical = true}));
    // A warning soon after critical adds nothing; later it is heard again.
    write(4'000'000, 1'000'000);
    scheduler.advance(5.0);
    EXPECT_EQ(heard.size(), 2u);
    write(4'000'000, 1'000'000);
    scheduler.advance(5.0);
    write(5'000'000, 1'000'000);
    scheduler.advance(5.0);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[2], (MemoryPressureEvents{.warning = true}));
    // A poll that cannot read the file starts the measurement afresh.
    QFile::remove(path);
    scheduler.advance(5.0);
    write(9'000'000, 1'000'000);
    scheduler.advance(5.0);
    EXPECT_EQ(heard.size(), 3u);
}

TEST(KernelPressureTest, TriggersAreSetWhereTheKernelAllowsThem) {
    if (!QFileInfo::exists(PressureStallMemoryPressure::defaultPath)) {
        GTEST_SKIP() << "no pressure-stall information on this kernel";
    }
    ManualScheduler scheduler;
    PressureStallMemoryPressure source(scheduler);
    auto subscription = source.subscribe([](MemoryPressureEvents) {});
    if (source.mode() == PressureStallMemoryPressure::Mode::polling) {
        GTEST_SKIP() << "the kernel refuses triggers to this process";
    }
    EXPECT_EQ(source.mode(), PressureStallMemoryPressure::Mode::triggers);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(LiveWindowNumbersTest, NumberedEntriesOnlyWithRepeatsCollapsed) {
    const QList<WindowListEntry> entries{{.number = 7},
                                         {.number = std::nullopt},
                                         {.number = 7},
                                         {.number = 0x1'0000'0009LL},
                                         {.number = -1}};
    EXPECT_EQ(SystemWindowList::windowNumbers(entries), (QSet<quint32>{7, 9, 0xFFFFFFFFu}));
}

}  // namespace
}  // namespace pellucine
