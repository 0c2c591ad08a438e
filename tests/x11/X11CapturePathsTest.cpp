#include <gmock/gmock.h>

#include <QProcess>
#include <cstdlib>

#include "X11TestDesktop.h"
#include "platform/x11/X11WindowCapture.h"

namespace pellucine {
namespace {

using Status = X11CaptureResult::Status;
using Options = X11WindowCapture::Options;
using testing::X11Test;

constexpr QRgb red = 0xffe02020;
constexpr QRgb green = 0xff20c040;
constexpr QRgb blue = 0xff2040e0;
constexpr QRgb white = 0xfff0f0f0;
// Half-transparent magenta, premultiplied.
constexpr QRgb translucent = 0x80800080;

// Every way of reading pixels, the fast one first.
const Options fast{};
const Options serverReducedOnly{.useRender = true, .useSharedMemory = false};
const Options sharedMemoryOnly{.useRender = false, .useSharedMemory = true};
const Options plain{.useRender = false, .useSharedMemory = false};

// An override-redirect window drawn by the test: its own frame, without decorations. Blocks of
// `block` pixels in rows of red, green, blue and white; with `argb` on a 32-bit visual, every
// white block is translucent instead.
class PaintedWindow {
  public:
    PaintedWindow(xcb_connection_t* c, QSize size, int block, bool argb = false,
                  QPoint at = {10, 10})
        : connection_(c), size_(size), block_(block), argb_(argb) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_visualid_t visual = screen->root_visual;
        uint8_t depth = screen->root_depth;
        xcb_colormap_t colormap = screen->default_colormap;
        if (argb) {
            visual = argbVisual(screen);
            depth = 32;
            colormap = colormap_ = xcb_generate_id(c);
            xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
        }
        const xcb_pixmap_t pixmap = xcb_generate_id(c);
        xcb_create_pixmap(c, depth, pixmap, screen->root, static_cast<uint16_t>(size.width()),
                          static_cast<uint16_t>(size.height()));
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, pixmap, 0, nullptr);
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                picture.setPixel(x, y, colourAt(QPoint(x, y)));
            }
        }
        const int rows = std::max(1, 65536 / (size.width() * 4));
        for (int y = 0; y < size.height(); y += rows) {
            const int band = std::min(rows, size.height() - y);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                          static_cast<uint16_t>(size.width()), static_cast<uint16_t>(band), 0,
                          static_cast<int16_t>(y), 0, depth,
                          static_cast<uint32_t>(band * size.width() * 4), picture.constScanLine(y));
        }
        window_ = xcb_generate_id(c);
        const uint32_t values[] = {pixmap, 0, 1, colormap};
        xcb_create_window(
            c, depth, window_, screen->root, static_cast<int16_t>(at.x()),
            static_cast<int16_t>(at.y()), static_cast<uint16_t>(size.width()),
            static_cast<uint16_t>(size.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
            XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_COLORMAP,
            values);
        xcb_map_window(c, window_);
        xcb_free_gc(c, gc);
        xcb_free_pixmap(c, pixmap);
        sync();
    }

    ~PaintedWindow() {
        if (!destroyed_) {
            xcb_destroy_window(connection_, window_);
        }
        if (colormap_ != XCB_NONE) {
            xcb_free_colormap(connection_, colormap_);
        }
        sync();
    }

    xcb_window_t id() const { return window_; }
    QSize size() const { return size_; }

    QRgb colourAt(QPoint p) const {
        static constexpr QRgb colours[] = {red, green, blue, white};
        const QRgb colour = colours[(p.x() / block_ + p.y() / block_) % 4];
        return argb_ && colour == white ? translucent : colour;
    }

    void unmap() {
        xcb_unmap_window(connection_, window_);
        sync();
    }
    void destroy() {
        xcb_destroy_window(connection_, window_);
        destroyed_ = true;
        sync();
    }

  private:
    static xcb_visualid_t argbVisual(const xcb_screen_t* screen) {
        auto depth = xcb_screen_allowed_depths_iterator(screen);
        for (; depth.rem > 0; xcb_depth_next(&depth)) {
            if (depth.data->depth == 32 && xcb_depth_visuals_length(depth.data) > 0) {
                return xcb_depth_visuals(depth.data)->visual_id;
            }
        }
        return screen->root_visual;
    }

    void sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_;
    QSize size_;
    int block_;
    bool argb_;
    xcb_window_t window_ = XCB_NONE;
    xcb_colormap_t colormap_ = XCB_NONE;
    bool destroyed_ = false;
};

// The largest difference of one channel between two pictures of the same size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

bool near(QRgb p, QRgb q, int tolerance) {
    return std::abs(qRed(p) - qRed(q)) <= tolerance &&
           std::abs(qGreen(p) - qGreen(q)) <= tolerance &&
           std::abs(qBlue(p) - qBlue(q)) <= tolerance &&
           std::abs(qAlpha(p) - qAlpha(q)) <= tolerance;
}

// The pixels of `a` that differ from `b` by more than `tolerance` where `b` is uniform: the
// pixel and its eight neighbours alike. Filters may disagree only along edges.
int mismatchesAwayFromEdges(const QImage& a, const QImage& b, int tolerance) {
    int mismatches = 0;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const QRgb centre = b.pixel(x, y);
            bool uniform = true;
            for (int dy = -1; dy <= 1 && uniform; ++dy) {
                for (int dx = -1; dx <= 1 && uniform; ++dx) {
                    const QPoint n(x + dx, y + dy);
                    uniform = !b.rect().contains(n) || near(b.pixel(n), centre, tolerance);
                }
            }
            if (uniform && !near(a.pixel(x, y), centre, tolerance)) {
                ++mismatches;
            }
        }
    }
    return mismatches;
}

class X11CapturePathsTest : public X11Test {
  protected:
    X11CaptureResult take(const Options& options, const PaintedWindow& window, QSize size,
                          bool scalesToFit = true) {
        X11WindowCapture capture(display, options);
        return capture.captureNow(window.id(), size, scalesToFit);
    }
};

TEST_F(X11CapturePathsTest, TheFixtureServerOffersTheFastPath) {
    X11WindowCapture capture(display);
    EXPECT_EQ(capture.methods(), (X11CaptureMethods{true, true}));
    X11WindowCapture withoutThem(display, plain);
    EXPECT_EQ(withoutThem.methods(), (X11CaptureMethods{false, false}));
}

// Reduced a great deal (with halvings), a little, enlarged, fitted between transparent bands
// and cut at the window's own size: every path gives the same picture.
TEST_F(X11CapturePathsTest, EveryPathGivesTheSamePicture) {
    PaintedWindow window(desktop->get(), QSize(1210, 790), 77);
    struct Case {
        QSize size;
        bool scalesToFit;
    };
    for (const Case& c : {Case{{150, 100}, true}, Case{{900, 600}, true}, Case{{1800, 1200}, true},
                          Case{{300, 300}, true}, Case{{1000, 900}, false}}) {
        SCOPED_TRACE(::testing::Message() << c.size.width() << "x" << c.size.height()
                                          << (c.scalesToFit ? " fitted" : " cut"));
        const X11CaptureResult reference = take(plain, window, c.size, c.scalesToFit);
        ASSERT_EQ(reference.status, Status::captured);
        ASSERT_EQ(reference.image.size(), c.size);
        for (const Options& options : {fast, serverReducedOnly, sharedMemoryOnly}) {
            const X11CaptureResult result = take(options, window, c.size, c.scalesToFit);
            ASSERT_EQ(result.status, Status::captured);
            ASSERT_EQ(result.image.size(), c.size);
            ASSERT_EQ(result.image.format(), QImage::Format_ARGB32_Premultiplied);
            EXPECT_EQ(mismatchesAwayFromEdges(result.image, reference.image, 3), 0);
            // Along the edges of blocks the filters may disagree, but by less than the blocks'
            // colours do.
            EXPECT_LE(largestDifference(result.image, reference.image), 100);
        }
    }
}

TEST_F(X11CapturePathsTest, PicturesShowTheWindowsColoursWhereTheyAreUniform) {
    PaintedWindow window(desktop->get(), QSize(800, 400), 100);
    // Fitted into a square: 400 x 200 in the middle, transparent above and below.
    for (const Options& options : {fast, plain}) {
        const X11CaptureResult result = take(options, window, QSize(400, 400));
        ASSERT_EQ(result.status, Status::captured);
        const QImage& image = result.image;
        EXPECT_EQ(qAlpha(image.pixel(200, 50)), 0);
        EXPECT_EQ(qAlpha(image.pixel(200, 350)), 0);
        // Block centres: source (50, 50), (150, 50), (250, 50), (350, 50), (50, 150).
        EXPECT_EQ(image.pixel(25, 125), red);
        EXPECT_EQ(image.pixel(75, 125), green);
        EXPECT_EQ(image.pixel(125, 125), blue);
        EXPECT_EQ(image.pixel(175, 125), white);
        EXPECT_EQ(image.pixel(25, 175), green);
        // The edges are the window's, not a blend with what lies beyond it.
        EXPECT_EQ(image.pixel(0, 100), red);
        EXPECT_EQ(image.pixel(399, 299), blue);
    }
}

// At its own size too, where no scaling copies the pixels: the picture is the caller's, not a
// view of a buffer the next capture overwrites.
TEST_F(X11CapturePathsTest, TranslucentWindowsKeepTheirAlpha) {
    PaintedWindow window(desktop->get(), QSize(400, 400), 100, /*argb=*/true);
    PaintedWindow other(desktop->get(), QSize(400, 400), 400, /*argb=*/true, {500, 10});
    for (const Options& options : {fast, serverReducedOnly, sharedMemoryOnly, plain}) {
        X11WindowCapture capture(display, options);
        const X11CaptureResult half = capture.captureNow(window.id(), QSize(200, 200));
        ASSERT_EQ(half.status, Status::captured);
        EXPECT_EQ(half.image.pixel(25, 25), red);
        EXPECT_EQ(half.image.pixel(175, 25), translucent);
        const X11CaptureResult whole = capture.captureNow(window.id(), QSize(400, 400));
        ASSERT_EQ(capture.captureNow(other.id(), QSize(400, 400)).status, Status::captured);
        EXPECT_EQ(whole.image.pixel(350, 50), translucent);
        EXPECT_EQ(whole.image.pixel(50, 50), red);
    }
}

// Buffers are reused: nothing of an earlier picture may show through a later, smaller one,
// whether taken one after the other or by two threads at once.
TEST_F(X11CapturePathsTest, ReusedBuffersKeepNothingOfEarlierPictures) {
    PaintedWindow large(desktop->get(), QSize(900, 900), 900);                    // all red
    PaintedWindow small(desktop->get(), QSize(300, 100), 150, false, {50, 950});  // red, green
    for (const Options& options : {fast, plain}) {
        X11WindowCapture capture(display, options);
        ASSERT_EQ(capture.captureNow(large.id(), QSize(600, 600)).status, Status::captured);
        const X11CaptureResult banded = capture.captureNow(small.id(), QSize(300, 300));
        ASSERT_EQ(banded.status, Status::captured);
        EXPECT_EQ(qAlpha(banded.image.pixel(150, 0)), 0);
        EXPECT_EQ(qAlpha(banded.image.pixel(150, 299)), 0);

        QList<QFuture<X11CaptureResult>> futures;
        for (int i = 0; i < 12; ++i) {
            futures.append(i % 2 == 0 ? capture.capture(large.id(), QSize(300, 300))
                                      : capture.capture(small.id(), QSize(90, 30)));
        }
        for (int i = 0; i < futures.size(); ++i) {
            futures[i].waitForFinished();
            const X11CaptureResult result = futures[i].result();
            ASSERT_EQ(result.status, Status::captured);
            if (i % 2 == 0) {
                EXPECT_EQ(result.image.pixel(299, 299), red);
            } else {
                EXPECT_EQ(result.image.size(), QSize(90, 30));
                EXPECT_EQ(result.image.pixel(80, 15), green);
            }
        }
    }
}

TEST_F(X11CapturePathsTest, WindowsThatVanishOrHideMidCaptureGiveTheirReasons) {
    for (const Options& base : {fast, plain}) {
        for (const bool destroyed : {true, false}) {
            SCOPED_TRACE(destroyed ? "destroyed" : "unmapped");
            PaintedWindow window(desktop->get(), QSize(300, 200), 50);
            Options options = base;
            options.beforeReading = [&](xcb_window_t frame) {
                EXPECT_EQ(frame, window.id());
                destroyed ? window.destroy() : window.unmap();
            };
            X11WindowCapture capture(display, options);
            const X11CaptureResult result = capture.captureNow(window.id(), QSize(150, 100));
            EXPECT_EQ(result.status, destroyed ? Status::windowGone : Status::notViewable);
            EXPECT_TRUE(result.image.isNull());

            // The same capture object still pictures other windows.
            PaintedWindow other(desktop->get(), QSize(200, 200), 50);
            options.beforeReading = nullptr;
            X11WindowCapture next(display, options);
            EXPECT_EQ(next.captureNow(other.id(), QSize(100, 100)).status, Status::captured);
        }
    }
}

// The frame found by one capture is reused by the next only while it still holds the window
// at the same size.
TEST_F(X11CapturePathsTest, ChangedFramesAreLookedUpAgain) {
    xcb_connection_t* c = desktop->get();
    for (const Options& options : {fast, plain}) {
        PaintedWindow window(c, QSize(300, 200), 100);
        PaintedWindow container(c, QSize(400, 300), 400, false, {600, 10});  // all red
        X11WindowCapture capture(display, options);
        // Cut at its own size inside a larger picture: the window's width shows in the alpha.
        ASSERT_EQ(capture.captureNow(window.id(), QSize(400, 300), false).status, Status::captured);

        const uint32_t narrower[] = {200};
        xcb_configure_window(c, window.id(), XCB_CONFIG_WINDOW_WIDTH, narrower);
        desktop->sync();
        const X11CaptureResult resized = capture.captureNow(window.id(), QSize(400, 300), false);
        ASSERT_EQ(resized.status, Status::captured);
        EXPECT_EQ(qAlpha(resized.image.pixel(250, 100)), 0);
        EXPECT_EQ(resized.image.pixel(150, 150), blue);

        // Moved into another top-level window, which becomes its frame.
        xcb_reparent_window(c, window.id(), container.id(), 100, 50);
        desktop->sync();
        const X11CaptureResult framed = capture.captureNow(window.id(), QSize(400, 300), false);
        ASSERT_EQ(framed.status, Status::captured);
        EXPECT_EQ(framed.image.pixel(50, 25), red);
        EXPECT_EQ(framed.image.pixel(150, 75), red);  // the window's own top-left block
        EXPECT_EQ(framed.image.pixel(250, 75), green);

        window.unmap();
        EXPECT_EQ(capture.captureNow(window.id(), QSize(400, 300)).status, Status::notViewable);
        window.destroy();
        EXPECT_EQ(capture.captureNow(window.id(), QSize(400, 300)).status, Status::windowGone);
    }
}

TEST_F(X11CapturePathsTest, UnmappedAndMissingWindowsFailAlikeOnEveryPath) {
    PaintedWindow hidden(desktop->get(), QSize(200, 200), 50);
    hidden.unmap();
    for (const Options& options : {fast, serverReducedOnly, sharedMemoryOnly, plain}) {
        EXPECT_EQ(take(options, hidden, QSize(100, 100)).status, Status::notViewable);
        X11WindowCapture capture(display, options);
        EXPECT_EQ(capture.captureNow(0x1fffffff, QSize(100, 100)).status, Status::windowGone);
    }
}

TEST_F(X11CapturePathsTest, WindowsAndPicturesOverThePixelBudgetAreRefused) {
    PaintedWindow window(desktop->get(), QSize(200, 100), 50);
    for (Options options : {fast, plain}) {
        options.maximumPixels = 200 * 100;
        X11WindowCapture capture(display, options);
        EXPECT_EQ(capture.captureNow(window.id(), QSize(200, 100)).status, Status::captured);
        EXPECT_EQ(capture.captureNow(window.id(), QSize(201, 100)).status, Status::tooLarge);
        options.maximumPixels = 200 * 100 - 1;
        X11WindowCapture smaller(display, options);
        EXPECT_EQ(smaller.captureNow(window.id(), QSize(20, 10)).status, Status::tooLarge);
    }
    // A picture wider than any pixmap, within the default budget.
    X11WindowCapture capture(display);
    EXPECT_EQ(capture.captureNow(window.id(), QSize(40000, 2)).status, Status::tooLarge);
}

// A server started without MIT-SHM and RENDER, with Composite.
class PlainServer {
  public:
    PlainServer() {
        process_.start(
            QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
             QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
             QStringLiteral("640x480x24"), QStringLiteral("-extension"), QStringLiteral("MIT-SHM"),
             QStringLiteral("-extension"), QStringLiteral("RENDER"), QStringLiteral("+extension"),
             QStringLiteral("Composite")});
        // Xvfb writes its display number once it accepts connections.
        while (process_.waitForReadyRead(10000)) {
            output_ += process_.readAllStandardOutput();
            if (output_.endsWith('\n')) {
                display_ = ":" + output_.trimmed();
                break;
            }
        }
    }
    ~PlainServer() {
        process_.terminate();
        process_.waitForFinished(5000);
    }

    const QByteArray& display() const { return display_; }

  private:
    QProcess process_;
    QByteArray output_;
    QByteArray display_;
};

TEST(X11PlainServerTest, CapturesAndFailsAsTheFixtureServerDoes) {
    PlainServer server;
    ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    xcb_connection_t* c = xcb_connect(server.display().constData(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    {
        X11WindowCapture capture(server.display());
        EXPECT_EQ(capture.methods(), (X11CaptureMethods{false, false}));

        PaintedWindow window(c, QSize(400, 200), 100);
        const X11CaptureResult result = capture.captureNow(window.id(), QSize(200, 100));
        ASSERT_EQ(result.status, Status::captured);
        EXPECT_EQ(result.image.pixel(25, 25), red);
        EXPECT_EQ(result.image.pixel(75, 25), green);
        EXPECT_EQ(result.image.pixel(175, 75), red);

        window.unmap();
        EXPECT_EQ(capture.captureNow(window.id(), QSize(200, 100)).status, Status::notViewable);
        window.destroy();
        EXPECT_EQ(capture.captureNow(window.id(), QSize(200, 100)).status, Status::windowGone);

        PaintedWindow vanishing(c, QSize(100, 100), 50);
        X11WindowCapture midway(server.display(),
                                {.beforeReading = [&](xcb_window_t) { vanishing.destroy(); }});
        EXPECT_EQ(midway.captureNow(vanishing.id(), QSize(50, 50)).status, Status::windowGone);
    }
    xcb_disconnect(c);
}

}  // namespace
}  // namespace pellucine
