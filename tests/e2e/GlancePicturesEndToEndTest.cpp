#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "EndToEndSession.h"
#include "EndToEndTest.h"
#include "X11TestDesktop.h"
#include "platform/x11/shell/X11DockLayout.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::ShownWindow;
using testing::TestClient;
using testing::X11TestDesktop;

constexpr const char* glance = "Pellucine previews";
constexpr const char* peek = "Pellucine peek";
// The test client's windows are 120 x 90 and painted in one colour each.
constexpr QSize clientSize{120, 90};
constexpr QRgb pink = 0xd0307a;
constexpr QRgb green = 0x2a9d3f;
constexpr QRgb blue = 0x1f5fd0;
// The peek's margin around its picture, inside its rounded corners.
constexpr int peekMargin = 12;

// Where a colour shows within a part of the screen: the box around its pixels and their number.
struct ColourPatch {
    QRect box;
    int pixels = 0;
};

// Two processes of one application ("Twin", the same executable and class), one window each,
// then an xterm that holds the focus: the switcher lists the xterm, the second twin, the first.
class GlancePicturesEndToEndTest : public testing::EndToEndTest {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(error)) << error.toStdString();
        for (auto* twin : {&firstTwin, &secondTwin}) {
            *twin = std::make_unique<TestClient>();
            ASSERT_TRUE((*twin)->setWindowClass(QStringLiteral("Twin")));
        }
        firstWindow = firstTwin->openWindow(desktop(), QStringLiteral("twin-one"));
        secondWindow = secondTwin->openWindow(desktop(), QStringLiteral("twin-two"));
        ASSERT_TRUE(firstWindow && secondWindow) << "the twins' windows did not appear";
        ASSERT_TRUE(firstTwin->paint(*firstWindow, pink));
        ASSERT_TRUE(secondTwin->paint(*secondWindow, green));
        xterm = startFocusedXterm();
        ASSERT_TRUE(xterm) << "xterm did not appear or take the focus";
        ASSERT_TRUE(session.startProgram(3, error)) << error.toStdString();
    }

    void TearDown() override {
        EndToEndTest::TearDown();
        firstTwin.reset();
        secondTwin.reset();
    }

    // Where `colour` (give or take a JPEG copy's error) shows inside `area` of the screen.
    ColourPatch patch(QRgb colour, const QRect& area) const {
        ColourPatch found;
        if (!shot.isValid() || !session.screenshot(shot.filePath(QStringLiteral("s.png")))) {
            return found;
        }
        const QImage screen(shot.filePath(QStringLiteral("s.png")));
        const QRect inside = area.intersected(screen.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                const QRgb p = screen.pixel(x, y);
                if (std::abs(qRed(p) - qRed(colour)) <= 8 &&
                    std::abs(qGreen(p) - qGreen(colour)) <= 8 &&
                    std::abs(qBlue(p) - qBlue(colour)) <= 8) {
                    found.box |= QRect(x, y, 1, 1);
                    ++found.pixels;
                }
            }
        }
        return found;
    }
    // Waits until the window `name` shows most of a client window's worth of `colour`, looking
    // `inset` pixels inside its edges.
    bool showsColour(const char* name, QRgb colour, ColourPatch* seen = nullptr, int inset = 0,
                     int timeout = 15000) {
        ColourPatch last;
        const bool shows = X11TestDesktop::waitUntil(
            [&] {
                const std::optional<ShownWindow> window = session.shown(QString::fromLatin1(name));
                last = window ? patch(colour, window->rect.adjusted(inset, inset, -inset, -inset))
                              : ColourPatch{};
                return last.pixels >= clientSize.width() * clientSize.height() / 2;
            },
            timeout);
        if (seen != nullptr) {
            *seen = last;
        }
        return shows;
    }
    // Glances at the second twin until its picture shows, then ends the glance; `taken` runs
    // from when the picture showed.
    bool glanceAtTheSecondTwin(QElapsedTimer& taken) {
        superTab();
        const bool shown = showsColour(glance, green);
        taken.start();
        tap(testing::escape);
        releaseSuper();
        return shown && session.waitUntilGone(QString::fromLatin1(glance));
    }
    // The Dock bar's item for the application at `index` in launch order, on the screen.
    QPoint dockItem(int index, int count) const {
        const X11DockLayout layout = X11DockLayout::compute(count, QRect(0, 0, 1280, 800), 1.0);
        return layout.items[index].translated(layout.bar.topLeft()).center();
    }

    QTemporaryDir shot;
    std::unique_ptr<TestClient> firstTwin;
    std::unique_ptr<TestClient> secondTwin;
    std::optional<xcb_window_t> firstWindow;
    std::optional<xcb_window_t> secondWindow;
    std::optional<xcb_window_t> xterm;
};

TEST_F(GlancePicturesEndToEndTest, EachCopyOfAnApplicationShowsAndActivatesItsOwnWindows) {
    superTab();
    EXPECT_TRUE(showsColour(glance, green)) << "the second twin is highlighted";
    EXPECT_EQ(patch(pink, session.shown(QString::fromLatin1(glance))->rect).pixels, 0);
    tap(testing::tab);
    EXPECT_TRUE(showsColour(glance, pink)) << "then the first";
    releaseSuper();
    EXPECT_TRUE(becomesActive(*firstWindow));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));

    // The Dock bar lists the twins in launch order, then the xterm.
    movePointer(dockItem(1, 3));
    EXPECT_TRUE(showsColour(glance, green)) << "the Dock's second icon";
    movePointer(dockItem(0, 3));
    EXPECT_TRUE(showsColour(glance, pink)) << "the Dock's first icon";
    movePointer({20, 60});
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
    session.click(dockItem(1, 3));
    EXPECT_TRUE(becomesActive(*secondWindow));
}

TEST_F(GlancePicturesEndToEndTest, AGlanceRetakesAPictureOlderThanTwoSeconds) {
    QElapsedTimer taken;
    ASSERT_TRUE(glanceAtTheSecondTwin(taken));
    // A second window of the twin that has never been pictured, so that the glance's first
    // load is still capturing when the glance refreshes in place.
    const std::optional<xcb_window_t> another =
        secondTwin->openWindow(desktop(), QStringLiteral("twin-two-more"));
    ASSERT_TRUE(another);
    activate(*xterm);
    ASSERT_TRUE(becomesActive(*xterm));
    ASSERT_TRUE(secondTwin->paint(*secondWindow, blue));
    // The picture must have grown old: the rule is the glance's own, in real time.
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return taken.elapsed() > 2200; }, 5000));

    const qsizetype before = mark();
    superTab();
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, [](const QJsonObject& e) {
        return e.value("windowCount").toString().toInt() == 2;
    }));
    EXPECT_TRUE(showsColour(glance, blue)) << "the picture follows the window";
    releaseSuper();
}

TEST_F(GlancePicturesEndToEndTest, AMinimizedWindowKeepsItsLastPictureOfAnyAge) {
    QElapsedTimer taken;
    ASSERT_TRUE(glanceAtTheSecondTwin(taken));

    ASSERT_TRUE(minimize(*secondWindow));
    activate(*xterm);
    ASSERT_TRUE(becomesActive(*xterm));

    // Unmapped, it cannot be pictured: the glance shows the picture it took before, however
    // old, where an on-screen window's would be taken again. The glance may publish that
    // picture before its load learns the window is minimized, so only the load's end counts.
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return taken.elapsed() > 2200; }, 5000));
    const qsizetype before = mark();
    superTab();
    EXPECT_TRUE(session.waitForEvent("previews-loaded", before, [](const QJsonObject& e) {
        return e.value("loadedCount").toString().toInt() == 1;
    }));
    EXPECT_TRUE(showsColour(glance, green)) << "the minimized window's last picture";
    releaseSuper();
}

// A window that comes on screen is pictured once it has drawn: the white it shows before is
// never taken for its picture. The test client draws 800 ms after each showing, well inside the
// capture's wait for a drawing and long enough that the glance comes up before it.
constexpr int lateDrawing = 800;
// Within this of the glance's load, the drawn picture shows: the glance takes no second picture
// of a window whose picture is younger than two seconds.
constexpr int drawnPictureShows = 1800;

TEST_F(GlancePicturesEndToEndTest, WindowsThatComeOnScreenArePicturedOnceTheyHaveDrawn) {
    // A new window, white until it draws.
    const std::optional<xcb_window_t> late =
        secondTwin->openLateWindow(desktop(), QStringLiteral("twin-two-late"), blue, lateDrawing);
    ASSERT_TRUE(late);
    activate(*xterm);
    ASSERT_TRUE(becomesActive(*xterm));
    qsizetype before = mark();
    superTab();
    ASSERT_TRUE(session.waitForEvent("previews-loaded", before, [](const QJsonObject& e) {
        return e.value("requestedCount").toString().toInt() == 2;
    }));
    EXPECT_TRUE(showsColour(glance, blue, nullptr, 0, drawnPictureShows)) << "a new window";
    QElapsedTimer taken;
    taken.start();
    tap(testing::escape);
    releaseSuper();
    ASSERT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));

    // A restored window, white again until it draws again. Its picture is old by then, so the
    // next glance takes it again at once.
    ASSERT_TRUE(secondTwin->drawLate(*secondWindow, pink, lateDrawing));
    ASSERT_TRUE(minimize(*secondWindow));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return taken.elapsed() > 2200; }, 5000));
    activate(*secondWindow);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().isViewable(*secondWindow); }));
    activate(*xterm);
    ASSERT_TRUE(becomesActive(*xterm));
    before = mark();
    superTab();
    ASSERT_TRUE(session.waitForEvent("previews-loaded", before));
    EXPECT_TRUE(showsColour(glance, pink, nullptr, 0, drawnPictureShows)) << "a restored window";
    releaseSuper();
}

TEST_F(GlancePicturesEndToEndTest, PicturesOfASmallWindowAreNeverEnlarged) {
    superTab();
    ColourPatch tile;
    ASSERT_TRUE(showsColour(glance, green, &tile));
    // Drawn at its own size, inside a tile larger than it.
    EXPECT_LE(tile.box.width(), clientSize.width() + 1);
    EXPECT_LE(tile.box.height(), clientSize.height() + 1);
    EXPECT_GE(tile.box.width(), clientSize.width() - 2);

    // Resting on the tile opens the peek, which shows the picture at its own size too. The peek
    // lies near the top of the screen, over the glance, and its rounded corners let the tile
    // beneath show through: only what lies inside the margin around its picture is its own.
    movePointer(tile.box.center());
    ColourPatch peeked;
    ASSERT_TRUE(showsColour(peek, green, &peeked, peekMargin));
    EXPECT_LE(peeked.box.width(), clientSize.width() + 1);
    EXPECT_LE(peeked.box.height(), clientSize.height() + 1);
    EXPECT_GE(peeked.box.width(), clientSize.width() - 2);
    releaseSuper();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(peek)));

    // Over the Dock glance the peek keeps clear of the glance's header and menu button: above
    // it, beside it, or over its rows.
    movePointer(dockItem(1, 3));
    std::optional<ShownWindow> dockGlance;
    ASSERT_TRUE(showsColour(glance, green, &tile));
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), dockGlance));
    movePointer(tile.box.center());
    std::optional<ShownWindow> peekWindow;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(peek), peekWindow));
    const QRect header(dockGlance->rect.topLeft(), QSize(dockGlance->rect.width(), 40));
    EXPECT_FALSE(peekWindow->rect.intersects(header))
        << "peek " << peekWindow->rect.x() << "," << peekWindow->rect.y() << " "
        << peekWindow->rect.width() << "x" << peekWindow->rect.height();
}

}  // namespace
}  // namespace pellucine
