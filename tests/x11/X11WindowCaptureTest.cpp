#include <gmock/gmock.h>

#include <QSet>

#include "X11TestDesktop.h"
#include "platform/x11/X11WindowCapture.h"
#include "platform/x11/X11WindowRequests.h"

namespace pellucine {
namespace {

using Status = X11CaptureResult::Status;
using testing::TestXterm;
using testing::X11Test;
using testing::X11TestDesktop;

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

class X11WindowCaptureTest : public X11Test {
  protected:
    X11CaptureResult captureAndWait(X11WindowCapture& capture, xcb_window_t window, QSize size) {
        QFuture<X11CaptureResult> future = capture.capture(window, size);
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return future.isFinished(); }));
        return future.isFinished() ? future.result() : X11CaptureResult{};
    }
};

TEST_F(X11WindowCaptureTest, PicturesAWindowAtTheRequestedSize) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    X11WindowCapture capture(display);
    const QRect frame = desktop->frameOf(*alpha);
    const QSize size(520, 520 * frame.height() / frame.width());

    const X11CaptureResult result = captureAndWait(capture, *alpha, size);
    ASSERT_EQ(result.status, Status::captured);
    EXPECT_EQ(result.image.size(), size);
    // Text, cursor and the title bar: never one colour.
    EXPECT_GT(distinctColours(result.image), 2);
}

TEST_F(X11WindowCaptureTest, PicturesAWindowHiddenBehindAnother) {
    TestXterm below(*desktop, QStringLiteral("capture-below"), "40x10+300+300");
    TestXterm above(*desktop, QStringLiteral("capture-above"), "60x20+250+250");
    ASSERT_TRUE(below.window() && above.window());
    X11WindowRequests(*connection).raise(*above.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->stacking().value(0) == *above.window(); }));

    X11WindowCapture capture(display);
    const X11CaptureResult covered = captureAndWait(capture, *below.window(), QSize(200, 100));
    ASSERT_EQ(covered.status, Status::captured);
    EXPECT_GT(distinctColours(covered.image), 2);
}

TEST_F(X11WindowCaptureTest, HasNoPictureOfAMinimizedWindow) {
    TestXterm xterm(*desktop, QStringLiteral("capture-minimized"));
    ASSERT_TRUE(xterm.window());
    X11WindowRequests(*connection).iconify(*xterm.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*xterm.window()) == 3; }));

    X11WindowCapture capture(display);
    const X11CaptureResult result = captureAndWait(capture, *xterm.window(), QSize(100, 100));
    EXPECT_EQ(result.status, Status::notViewable);
    EXPECT_TRUE(result.image.isNull());
}

TEST_F(X11WindowCaptureTest, SaysWhenTheWindowIsGone) {
    X11WindowCapture capture(display);
    EXPECT_EQ(captureAndWait(capture, 0x1fffffff, QSize(100, 100)).status, Status::windowGone);
    // The worker connection survives the failure.
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(captureAndWait(capture, *alpha, QSize(100, 80)).status, Status::captured);
}

TEST_F(X11WindowCaptureTest, FailsWithoutAServer) {
    X11WindowCapture capture(":4711");
    const X11CaptureResult result = capture.captureNow(1, QSize(10, 10));
    EXPECT_EQ(result.status, Status::failed);
}

TEST_F(X11WindowCaptureTest, GoingAwayFinishesEveryQueuedPictureAndReadsOnlyThoseStarted) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    QList<QFuture<X11CaptureResult>> futures;
    {
        X11WindowCapture capture(display);
        // Far more than its two workers take at once.
        for (int i = 0; i < 40; ++i) {
            futures.append(capture.capture(*alpha, QSize(1200, 800)));
        }
    }
    int captured = 0;
    for (const QFuture<X11CaptureResult>& future : futures) {
        ASSERT_TRUE(future.isFinished());
        const Status status = future.result().status;
        EXPECT_TRUE(status == Status::captured || status == Status::failed);
        captured += status == Status::captured ? 1 : 0;
    }
    // The ones still queued were not read.
    EXPECT_LT(captured, futures.size());
    EXPECT_EQ(futures.last().result().status, Status::failed);
}

TEST(X11FitIntoTest, KeepsTheAspectAndPadsTheRestTransparent) {
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);

    const QImage same = fitInto(wide, QSize(100, 50));
    EXPECT_EQ(same.size(), QSize(100, 50));
    EXPECT_EQ(same.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(same.pixelColor(99, 49), QColor(Qt::red));

    // Into a square: a band of 50 rows in the middle, transparent above and below.
    const QImage square = fitInto(wide, QSize(100, 100));
    ASSERT_EQ(square.size(), QSize(100, 100));
    EXPECT_EQ(square.pixelColor(50, 10).alpha(), 0);
    EXPECT_EQ(square.pixelColor(50, 50), QColor(Qt::red));
    EXPECT_EQ(square.pixelColor(50, 90).alpha(), 0);
    EXPECT_EQ(square.pixelColor(0, 25), QColor(Qt::red));
    EXPECT_EQ(square.pixelColor(0, 24).alpha(), 0);

    // Into something taller than wide: bands left and right.
    const QImage tall = fitInto(wide, QSize(50, 200));
    ASSERT_EQ(tall.size(), QSize(50, 200));
    EXPECT_EQ(tall.pixelColor(25, 100), QColor(Qt::red));
    EXPECT_EQ(tall.pixelColor(25, 0).alpha(), 0);

    // Nothing smaller than one pixel.
    EXPECT_EQ(fitInto(wide, QSize(0, -3)).size(), QSize(1, 1));
}

TEST(X11FitIntoTest, CroppingKeepsTheOwnSizeFromTheTopLeft) {
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    const QImage cut = cropInto(wide, QSize(150, 150));
    ASSERT_EQ(cut.size(), QSize(150, 150));
    EXPECT_EQ(cut.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(cut.pixelColor(149, 99), QColor(Qt::blue));
    EXPECT_EQ(cut.pixelColor(149, 100).alpha(), 0);
    EXPECT_EQ(cropInto(wide, QSize(-1, 0)).size(), QSize(1, 1));
}

}  // namespace
}  // namespace pellucine
