#include <QDir>
#include <QFile>

#include "DesktopFixture.h"
#include "core/PrivateCaptureProbe.h"
#include "platform/sim/SimulatedPrivateCapture.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using Image = PrivateCaptureImage;

class PrivateCaptureProbeTest : public testing::DesktopFixture {
  protected:
    PrivateCaptureProbeTest() {
        QDir().mkpath(folder.paths().applicationSupport + QStringLiteral("/pellucine/diagnostics"));
        addApp(10);
        desktop.setOperatingSystemVersionString(QStringLiteral("Simulated 14.4"));
    }

    PrivateCaptureProbeResult run() {
        return runPrivateCaptureProbe({desktop.privateCapture(), &desktop.windowList(),
                                       desktop.process(), scheduler.clocks().wall,
                                       scheduler.clock(), folder.paths()});
    }
    QString report() const {
        QFile file(privateCaptureProbeReportPath(folder.paths()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    SimulatedPrivateCapture& entryPoints() { return desktop.simulatedPrivateCapture(); }
    quint32 window(double width = 800, double height = 600) {
        return addWindow(10, {0, 0, width, height});
    }

    testing::TempFolder folder;
};

TEST_F(PrivateCaptureProbeTest, MissingEntryPointsGiveThreeLinesAndProbeNothing) {
    entryPoints().setPresent(false);
    window();
    const auto result = run();
    EXPECT_FALSE(result.writeFailure.has_value());
    EXPECT_EQ(report(), QStringLiteral("private-capture probe 2026-01-01 00:00:00 +0000\n"
                                       "Simulated 14.4\n"
                                       "symbols: MISSING\n"));
    EXPECT_TRUE(entryPoints().calls().isEmpty());
}

TEST_F(PrivateCaptureProbeTest, PresentEntryPointsWithNoEligibleWindowGiveAZeroSummary) {
    run();
    EXPECT_EQ(report(), QStringLiteral("private-capture probe 2026-01-01 00:00:00 +0000\n"
                                       "Simulated 14.4\n"
                                       "summary: 0 windows, 0 pictures, 0 blank, 0 none, "
                                       "median 0.0 ms, max 0.0 ms\n"
                                       "symbols: present\n"));
}

TEST_F(PrivateCaptureProbeTest, EachEligibleWindowIsCapturedOnceInListOrder) {
    entryPoints().setConnectionID(42);
    const quint32 back = window();
    const quint32 front = window(300, 200);
    desktop.setWindowMinimized(back, true);
    entryPoints().setDuration(front, seconds(0.0052));
    entryPoints().setDuration(back, seconds(0.0027));
    entryPoints().setResult(back, QList<PrivateCaptureImage>{});
    const auto result = run();
    EXPECT_EQ(entryPoints().calls(),
              (QStringList{QStringLiteral("connection 42: window %1, options 0x900").arg(front),
                           QStringLiteral("connection 42: window %1, options 0x900").arg(back)}));
    EXPECT_EQ(result.lines.mid(2),
              (QStringList{
                  "summary: 2 windows, 1 pictures, 0 blank, 1 none, median 5.2 ms, max 5.2 ms",
                  "symbols: present",
                  QStringLiteral("window %1 onScreen=true: 300x200, 50/50 lit, 5.2 ms").arg(front),
                  QStringLiteral("window %1 onScreen=false: no image, 2 ms").arg(back)}));
}

TEST_F(PrivateCaptureProbeTest, OnlyOrdinaryWindowsOfOtherProcessesWiderAndTallerThan100) {
    window(100, 600);
    window(600, 100);
    const quint32 smallest = window(101, 101);
    addApp(ownPID);
    addWindow(ownPID, {0, 0, 800, 600});
    SimulatedWindow panel;
    panel.ownerPID = 10;
    panel.frame = {0, 0, 800, 600};
    panel.layer = 3;
    desktop.addWindow(panel);
    // Entries whose fields are missing or do not fit.
    const GlobalRect bounds{0, 0, 800, 600};
    desktop.addWindowListEntry({std::nullopt, 10, 0, bounds, true});
    desktop.addWindowListEntry({5000, std::nullopt, 0, bounds, true});
    desktop.addWindowListEntry({5001, 10, std::nullopt, bounds, true});
    desktop.addWindowListEntry({5002, 10, 0, std::nullopt, true});
    desktop.addWindowListEntry({0x1'0000'0000, 10, 0, bounds, true});
    desktop.addWindowListEntry({-1, 10, 0, bounds, true});
    desktop.addWindowListEntry({5003, 0x8000'0000, 0, bounds, true});
    // On screen unknown reads as false.
    desktop.addWindowListEntry({5004, 10, 0, bounds, std::nullopt});
    const auto result = run();
    EXPECT_EQ(
        entryPoints().calls(),
        (QStringList{"connection 7: window 5004, options 0x900",
                     QStringLiteral("connection 7: window %1, options 0x900").arg(smallest)}));
    EXPECT_EQ(result.lines.last(),
              QStringLiteral("window %1 onScreen=true: 101x101, 50/50 lit, 0.0 ms").arg(smallest));
    EXPECT_EQ(result.lines[4], QStringLiteral("window 5004 onScreen=false: no image, 0 ms"));
}

TEST_F(PrivateCaptureProbeTest, TheMedianIsTheUpperMiddleTime) {
    const auto summaryFor = [this](QList<double> milliseconds) {
        for (const quint32 w : desktop.stackingOrder()) {
            desktop.removeWindow(w);
        }
        for (const double ms : milliseconds) {
            entryPoints().setDuration(window(), seconds(ms / 1000));
        }
        return run().lines[2];
    };
    EXPECT_EQ(summaryFor({5, 1, 3}),
              "summary: 3 windows, 3 pictures, 0 blank, 0 none, median 3.0 ms, max 5.0 ms");
    EXPECT_EQ(summaryFor({1, 2, 3, 4}),
              "summary: 4 windows, 4 pictures, 0 blank, 0 none, median 3.0 ms, max 4.0 ms");
}

TEST_F(PrivateCaptureProbeTest, ABlackPictureIsBlankAndNothingAtAllIsNone) {
    const quint32 black = window();
    const quint32 nothing = window();
    entryPoints().setResult(black,
                            QList{SimulatedPrivateCapture::solidImage(640, 480, qRgb(10, 10, 10))});
    entryPoints().setResult(nothing, std::nullopt);
    const auto lines = run().lines;
    EXPECT_EQ(lines[2],
              "summary: 2 windows, 0 pictures, 1 blank, 1 none, median 0.0 ms, max 0.0 ms");
    EXPECT_TRUE(lines.contains(
        QStringLiteral("window %1 onScreen=true: 640x480, 0/50 lit, 0.0 ms").arg(black)));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("window %1 onScreen=true: no image, 0 ms").arg(nothing)));
}

TEST(PrivateCaptureLitSamples, TheMiddleRowIsSampledAtFiftyColumnsAtMost) {
    const auto lit = [](int width, int height, auto isLit, int row = -1) {
        Image image = SimulatedPrivateCapture::solidImage(width, height, qRgb(0, 0, 0));
        const int middle = row < 0 ? height / 2 : row;
        for (int x = 0; x < width; ++x) {
            if (isLit(x)) {
                char* p = image.bytes->data() + middle * image.bytesPerRow + x * 4;
                p[0] = 11;
                p[1] = 10;
                p[2] = 10;
            }
        }
        return litSampleCount(image);
    };
    const auto all = [](int) { return true; };
    EXPECT_EQ(lit(40, 9, all), 40);
    EXPECT_EQ(lit(500, 9, all), 50);
    // Every 10th column of 500, from column 0.
    EXPECT_EQ(lit(500, 9, [](int x) { return x % 10 == 0; }), 50);
    EXPECT_EQ(lit(500, 9, [](int x) { return x % 10 == 5; }), 0);
    // 120 wide: every 2nd column, 60 samples capped at 50.
    EXPECT_EQ(lit(120, 9, all), 50);
    // Rows other than the middle one (height / 2) do not count.
    EXPECT_EQ(lit(40, 9, all, 3), 0);
    EXPECT_EQ(lit(40, 10, all, 5), 40);

    Image dim = SimulatedPrivateCapture::solidImage(60, 2, qRgb(10, 10, 10));
    EXPECT_EQ(litSampleCount(dim), 0) << "a sum of 30 is dark";
    dim.bytes->data()[60 * 4] = 11;
    EXPECT_EQ(litSampleCount(dim), 1);
}

TEST(PrivateCaptureLitSamples, PicturesWhoseBytesDoNotFitTheirLayoutCountNothing) {
    const Image good = SimulatedPrivateCapture::solidImage(64, 64, qRgb(255, 255, 255));
    ASSERT_EQ(litSampleCount(good), 50);
    Image image = good;
    image.bitsPerPixel = 24;
    EXPECT_EQ(litSampleCount(image), 0);
    image = good;
    image.bytes->truncate(32 * image.bytesPerRow + 63 * 4);
    EXPECT_EQ(litSampleCount(image), 0) << "the middle row is cut short";
    image = good;
    image.bytesPerRow = 63 * 4;
    EXPECT_EQ(litSampleCount(image), 0);
    image = good;
    image.bytes.reset();
    EXPECT_EQ(litSampleCount(image), 0);
    image = good;
    image.width = -64;
    EXPECT_EQ(litSampleCount(image), 0);
    image = good;
    image.bytesPerRow = 1 << 30;
    EXPECT_EQ(litSampleCount(image), 0);
}

TEST_F(PrivateCaptureProbeTest, NothingIsWrittenWithoutTheDiagnosticsFolderAndThatIsReported) {
    const testing::TempFolder empty;
    const auto result =
        runPrivateCaptureProbe({desktop.privateCapture(), &desktop.windowList(), desktop.process(),
                                scheduler.clocks().wall, scheduler.clock(), empty.paths()});
    ASSERT_TRUE(result.writeFailure.has_value());
    EXPECT_TRUE(result.writeFailure->contains(QStringLiteral("does not exist")));
    EXPECT_FALSE(QFileInfo::exists(empty.paths().applicationSupport + QStringLiteral("/pellucine")))
        << "the probe creates no folder";
}

TEST_F(PrivateCaptureProbeTest, AReportReplacesTheLastOne) {
    window();
    run();
    desktop.removeWindow(desktop.stackingOrder().first());
    entryPoints().setPresent(false);
    run();
    EXPECT_TRUE(report().endsWith(QStringLiteral("\nsymbols: MISSING\n")));
    EXPECT_EQ(report().count(QLatin1Char('\n')), 3);
    EXPECT_EQ(QDir(folder.paths().applicationSupport + QStringLiteral("/pellucine/diagnostics"))
                  .entryList(QDir::Files),
              QStringList{QStringLiteral("private-capture-probe.txt")});
}

TEST_F(PrivateCaptureProbeTest, AnUnwritableReportIsReported) {
    // The report's name is taken by a folder.
    QDir().mkpath(privateCaptureProbeReportPath(folder.paths()));
    EXPECT_TRUE(run().writeFailure.has_value());
}

}  // namespace
}  // namespace pellucine
