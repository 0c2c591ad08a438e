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
        return patch(screen(), colour, area);
    }
    QImage screen() const {
        if (!shot.isValid() || !session.screenshot(shot.filePath(QStringLiteral("s.png")))) {
            return {};
        }
        return QImage(shot.filePath(QStringLiteral("s.png")));
    }
    static ColourPatch patch(const QImage& screen, QRgb colour, const QRect& area) {
        ColourPatch found;
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

// A window that draws its new colour 300 ms after each change of its size, with no background
// of its own: until then the server shows in it what lay behind, here a password manager's
// window. Its pictures after Full Screen, a half and Move & Resize from the Dock glance are of
// its own drawing only, in the tile and in the peek.
class ResizedPicturesEndToEndTest : public GlancePicturesEndToEndTest {
  protected:
    static constexpr QRgb secret = 0xe8d020;
    static constexpr QRgb teal = 0x30c0c0;
    static constexpr int redrawDelay = 300;
    // From the bottom right corner of a glance of one tile.
    static constexpr QPoint fullScreenControl{68, 61};
    // Inside the glance's rounded corners, where nothing beneath it shows.
    static constexpr int inset = 8;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(error)) << error.toStdString();
        vault = std::make_unique<TestClient>();
        ASSERT_TRUE(vault->setWindowClass(QStringLiteral("keepassxc")));
        const auto behind = vault->openWindow(desktop(), QStringLiteral("vault"));
        ASSERT_TRUE(behind);
        ASSERT_TRUE(vault->paint(*behind, secret));
        desktop().sendToRoot(*behind, "_NET_WM_STATE",
                             {1, desktop().atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                              desktop().atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 1, 0});
        ASSERT_TRUE(
            X11TestDesktop::waitUntil([&] { return desktop().frameOf(*behind).width() > 1000; }));
        resizer = std::make_unique<TestClient>();
        ASSERT_TRUE(resizer->setWindowClass(QStringLiteral("Resizer")));
        window = resizer->openWindow(desktop(), QStringLiteral("resizer"));
        ASSERT_TRUE(window);
        ASSERT_TRUE(resizer->paint(*window, teal));
        ASSERT_TRUE(session.changePreferences(
            [](PortablePreferences& p) { p.dockPreviewStyle = DockPreviewStyle::thumbnails; }));
        ASSERT_TRUE(session.startProgram(2, error)) << error.toStdString();
    }

    void TearDown() override {
        GlancePicturesEndToEndTest::TearDown();
        vault.reset();
        resizer.reset();
    }

    std::unique_ptr<TestClient> vault;
    std::unique_ptr<TestClient> resizer;
    std::optional<xcb_window_t> window;
};

TEST_F(ResizedPicturesEndToEndTest, PicturesAfterAResizeAreOfTheWindowsOwnDrawing) {
    // The tile's Full Screen control, or the keys that pick an entry of the window menu: Focus,
    // Minimize, Full Screen, Move & Resize, whose placements begin with Maximize, Left Half.
    const struct {
        const char* action;
        QList<xcb_keysym_t> keys;
        QRgb colour;
    } actions[] = {
        {"Full Screen", {}, pink},
        {"Left Half",
         {testing::down, testing::down, testing::down, testing::down, testing::right,
          testing::down},
         green},
        {"Move & Resize: Maximize",
         {testing::down, testing::down, testing::down, testing::down, testing::right},
         0x7a30d0},
    };
    movePointer(dockItem(1, 2));
    ColourPatch tile;
    ASSERT_TRUE(showsColour(glance, teal, &tile, inset));
    QRgb shown = teal;
    QString title = QStringLiteral("resizer");
    int step = 0;
    for (const auto& row : actions) {
        SCOPED_TRACE(row.action);
        ASSERT_TRUE(resizer->redrawAfterResize(*window, shown, row.colour, redrawDelay));
        // The glance reads the window's settled frame before it acts on it.
        ASSERT_TRUE(testing::waitUntilPlaced(desktop(), title));
        const qsizetype before = mark();
        title = QStringLiteral("resizer %1").arg(++step);
        desktop().setTitle(*window, title);
        ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", before));
        movePointer(tile.box.center());
        ASSERT_TRUE(showsColour(peek, shown, nullptr, peekMargin));

        if (row.keys.isEmpty()) {
            const QRect panel = session.shown(QString::fromLatin1(glance))->rect;
            session.click(panel.bottomRight() - fullScreenControl);
        } else {
            session.click(tile.box.center(), 3);
            ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return session.keyboardHeldElsewhere(); }));
            for (const xcb_keysym_t key : row.keys) {
                tap(key);
            }
            tap(testing::returnKey);
        }

        // Until both show the new drawing, every look at them finds nothing of what lay behind.
        int leaks = 0;
        const bool redrawn = X11TestDesktop::waitUntil(
            [&] {
                // A panel counts only where it stood, shown, both before and after the
                // screenshot: one mapped meanwhile is not in the picture of the screen.
                const std::optional<ShownWindow> glanceBefore =
                    session.shown(QString::fromLatin1(glance));
                const std::optional<ShownWindow> peekBefore =
                    session.shown(QString::fromLatin1(peek));
                const QImage now = screen();
                const auto colourIn = [&](const char* name, QRgb colour, int margin) {
                    const std::optional<ShownWindow>& before =
                        name == glance ? glanceBefore : peekBefore;
                    const std::optional<ShownWindow> panel =
                        session.shown(QString::fromLatin1(name));
                    const bool held = panel && before && panel->window == before->window &&
                                      panel->rect == before->rect;
                    return held ? patch(now, colour,
                                        panel->rect.adjusted(margin, margin, -margin, -margin))
                                : ColourPatch{};
                };
                leaks += colourIn(glance, secret, inset).pixels +
                         colourIn(peek, secret, peekMargin).pixels;
                const int enough = clientSize.width() * clientSize.height() / 2;
                return colourIn(glance, row.colour, inset).pixels >= enough &&
                       colourIn(peek, row.colour, peekMargin).pixels >= enough;
            },
            15000);
        EXPECT_TRUE(redrawn) << "the tile and the peek show the window's new drawing";
        EXPECT_EQ(leaks, 0) << "pixels of the window behind";
        ASSERT_TRUE(showsColour(glance, row.colour, &tile, inset));
        shown = row.colour;
    }
}

}  // namespace
}  // namespace pellucine
