#include <gtest/gtest.h>

#include <QImage>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
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
constexpr std::array<QRgb, 4> colours{0xd0307a, 0x2a9d3f, 0x1f5fd0, 0xe08a1e};
// A compact row's controls, from the glance's trailing edge: Minimize or Restore, Full Screen,
// Close.
constexpr int restoreFromRight = 103;
constexpr int fullScreenFromRight = 69;
constexpr int closeFromRight = 35;
// Inside the glance's rounded corners, where nothing beneath it shows.
constexpr int inset = 8;

// One application of four windows, each painted its own colour, in the Dock glance's compact
// list, and an xterm that holds the focus.
class GlanceRowsEndToEndTest : public testing::EndToEndTest {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(error)) << error.toStdString();
        client = std::make_unique<TestClient>();
        ASSERT_TRUE(client->setWindowClass(QStringLiteral("Rows")));
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const auto window = client->openWindow(desktop(), QStringLiteral("row-%1").arg(i + 1));
            ASSERT_TRUE(window);
            ASSERT_TRUE(client->paint(*window, colours[i]));
            windows.push_back(*window);
        }
        xterm = startFocusedXterm();
        ASSERT_TRUE(xterm);
        ASSERT_TRUE(session.changePreferences(
            [this](PortablePreferences& p) { p.dockPreviewStyle = style(); }));
        ASSERT_TRUE(session.startProgram(5, error)) << error.toStdString();
    }

    void TearDown() override {
        EndToEndTest::TearDown();
        client.reset();
    }
    virtual DockPreviewStyle style() const { return DockPreviewStyle::compact; }

    // The glance's rows (or tiles) in reading order, each as the window whose colour its
    // picture shows and the picture's place; empty unless every window's shows.
    struct Row {
        xcb_window_t window = XCB_NONE;
        QRect thumbnail;
    };
    QList<Row> rows() const {
        const std::optional<ShownWindow> shown = session.shown(QString::fromLatin1(glance));
        if (!shown || !shot.isValid() ||
            !session.screenshot(shot.filePath(QStringLiteral("s.png")))) {
            return {};
        }
        const QImage screen(shot.filePath(QStringLiteral("s.png")));
        QList<Row> found;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            QRect box;
            int pixels = 0;
            const QRect area =
                shown->rect.adjusted(inset, inset, -inset, -inset).intersected(screen.rect());
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    const QRgb p = screen.pixel(x, y);
                    if (std::abs(qRed(p) - qRed(colours[i])) <= 8 &&
                        std::abs(qGreen(p) - qGreen(colours[i])) <= 8 &&
                        std::abs(qBlue(p) - qBlue(colours[i])) <= 8) {
                        box |= QRect(x, y, 1, 1);
                        ++pixels;
                    }
                }
            }
            if (pixels < 68 * 42 / 2) {
                return {};
            }
            found.append({windows[i], box});
        }
        // A picture is centred in its tile, whatever its size.
        std::sort(found.begin(), found.end(), [](const Row& a, const Row& b) {
            return std::pair(a.thumbnail.center().y() / 40, a.thumbnail.center().x()) <
                   std::pair(b.thumbnail.center().y() / 40, b.thumbnail.center().x());
        });
        return found;
    }
    bool waitForRows(QList<Row>& seen) const {
        return X11TestDesktop::waitUntil([&] { return (seen = rows()).size() == 4; }, 15000);
    }
    // Whether every window still shows where it showed in `before`.
    bool samePlaces(const QList<Row>& before) const {
        const QList<Row> now = rows();
        if (now.size() != before.size()) {
            return false;
        }
        for (qsizetype i = 0; i < now.size(); ++i) {
            if (now[i].window != before[i].window ||
                (now[i].thumbnail.center() - before[i].thumbnail.center()).manhattanLength() > 12) {
                return false;
            }
        }
        return true;
    }
    QPoint dockItem() const {
        const X11DockLayout layout = X11DockLayout::compute(2, QRect(0, 0, 1280, 800), 1.0);
        return layout.items[0].translated(layout.bar.topLeft()).center();
    }

    QTemporaryDir shot;
    std::unique_ptr<TestClient> client;
    std::vector<xcb_window_t> windows;
    std::optional<xcb_window_t> xterm;
};

TEST_F(GlanceRowsEndToEndTest, RowsStayPutAfterARestoreInTheDockGlance) {
    movePointer(dockItem());
    QList<Row> before;
    ASSERT_TRUE(waitForRows(before));
    const xcb_window_t third = before[2].window;
    const qsizetype shownRows = mark();
    ASSERT_TRUE(minimize(third));
    // Its last picture stays, and so does its row, which offers Restore once refreshed.
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", shownRows));
    QList<Row> seen;
    ASSERT_TRUE(waitForRows(seen));
    const std::optional<ShownWindow> shown = session.shown(QString::fromLatin1(glance));
    ASSERT_TRUE(shown);
    const auto control = [&](int fromRight) {
        return QPoint(shown->rect.x() + shown->rect.width() - fromRight,
                      before[2].thumbnail.center().y());
    };

    movePointer(before[2].thumbnail.center());
    const qsizetype clicked = mark();
    session.click(control(restoreFromRight));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().isViewable(third); }));
    // The refresh after the restore keeps every window in its row.
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", clicked));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return samePlaces(before); }, 4000))
        << "rows moved after the restore";

    // The window manager may still be moving the frame as it restores it, and an action on a
    // window whose frame has changed since the glance read it is refused: once the frame holds
    // still, another window's new title makes the glance read the windows again.
    const auto index = std::find(windows.begin(), windows.end(), third) - windows.begin();
    ASSERT_TRUE(testing::waitUntilPlaced(desktop(), QStringLiteral("row-%1").arg(index + 1)));
    const qsizetype placed = mark();
    const xcb_window_t other = before[0].window;
    desktop().setTitle(other, QStringLiteral("renamed"));
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", placed));

    // Full Screen on the same row acts on the same window.
    const xcb_atom_t fullScreen = desktop().atom("_NET_WM_STATE_FULLSCREEN");
    session.click(control(fullScreenFromRight));
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop().netWmState(third).contains(fullScreen); }));
    for (const xcb_window_t window : windows) {
        if (window != third) {
            EXPECT_FALSE(desktop().netWmState(window).contains(fullScreen));
        }
    }
}

TEST_F(GlanceRowsEndToEndTest, MinimizeAllThenRestoreAllBringsEveryWindowBack) {
    movePointer(dockItem());
    QList<Row> before;
    ASSERT_TRUE(waitForRows(before));
    const std::optional<ShownWindow> shown = session.shown(QString::fromLatin1(glance));
    ASSERT_TRUE(shown);
    // The header's App actions button, at its trailing end.
    const QPoint appActions(shown->rect.right() - 31, shown->rect.top() + 23);
    const auto pickAppAction = [&](int down) {
        session.click(appActions);
        if (!X11TestDesktop::waitUntil([&] { return session.keyboardHeldElsewhere(); }, 8000)) {
            return false;
        }
        for (int i = 0; i < down; ++i) {
            tap(testing::down);
        }
        tap(testing::returnKey);
        return true;
    };
    const auto allInState = [&](uint32_t state) {
        return X11TestDesktop::waitUntil([&] {
            return std::all_of(windows.begin(), windows.end(),
                               [&](xcb_window_t w) { return desktop().wmState(w) == state; });
        });
    };

    const qsizetype minimizing = mark();
    ASSERT_TRUE(pickAppAction(1)) << "the app menu did not open";
    ASSERT_TRUE(allInState(3)) << "Minimize All left a window on screen";
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", minimizing));
    ASSERT_TRUE(pickAppAction(2)) << "the app menu did not open";
    EXPECT_TRUE(allInState(1)) << "Restore All left a window minimized";
    const QList<QJsonObject> events = session.events().mid(minimizing);
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const QJsonObject& e) {
                                return e.value("event").toString() == "window-action-failed";
                            }),
              0);
}

// The program's viewable windows on the root stacked above the top-level window holding
// `window` that overlap `area`.
QList<xcb_window_t> programWindowsOver(const X11TestDesktop& desktop, qint64 programPID,
                                       xcb_window_t window, const QRect& area) {
    xcb_connection_t* c = desktop.get();
    xcb_window_t topLevel = window;
    while (true) {
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> up(
            xcb_query_tree_reply(c, xcb_query_tree(c, topLevel), nullptr), &std::free);
        if (!up || up->parent == desktop.root() || up->parent == XCB_NONE) {
            break;
        }
        topLevel = up->parent;
    }
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, desktop.root()), nullptr), &std::free);
    QList<xcb_window_t> over;
    if (!tree) {
        return over;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    bool above = false;
    // Bottom to top.
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (children[i] == topLevel) {
            above = true;
            continue;
        }
        if (!above || !desktop.isViewable(children[i]) ||
            desktop.pidOf(children[i]) != std::optional<qint32>(static_cast<qint32>(programPID))) {
            continue;
        }
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr), &std::free);
        if (geometry &&
            QRect(geometry->x, geometry->y, geometry->width, geometry->height).intersects(area)) {
            over.append(children[i]);
        }
    }
    return over;
}

// Waits until none of the program's windows stands over the window.
bool comesUncovered(testing::EndToEndSession& session, const ShownWindow& window) {
    const qint64 pid = session.program().processId();
    return X11TestDesktop::waitUntil([&] {
        return programWindowsOver(session.desktop(), pid, window.window, window.rect).isEmpty();
    });
}

// An application that answers Close with a prompt of its own ("Save changes?") has it seen: no
// panel of the program (the glance, the peek under the pointer) stays over it.
TEST_F(GlanceRowsEndToEndTest, APromptAnsweringACloseFromTheGlanceIsNotCovered) {
    const xcb_window_t asked = windows[1];
    // Over the middle of the screen, where the peek and the Dock glance stand.
    ASSERT_TRUE(client->promptOnClose(asked, QRect(160, 80, 960, 640), QStringLiteral("asks")));
    movePointer(dockItem());
    QList<Row> rowsShown;
    ASSERT_TRUE(waitForRows(rowsShown));
    const auto row = std::find_if(rowsShown.begin(), rowsShown.end(),
                                  [&](const Row& r) { return r.window == asked; });
    ASSERT_NE(row, rowsShown.end());
    const std::optional<ShownWindow> shown = session.shown(QString::fromLatin1(glance));
    ASSERT_TRUE(shown);
    movePointer(row->thumbnail.center());
    session.click(QPoint(shown->rect.x() + shown->rect.width() - closeFromRight,
                         row->thumbnail.center().y()));
    std::optional<ShownWindow> prompt;
    ASSERT_TRUE(session.waitUntilShown(QStringLiteral("asks"), prompt)) << "no prompt came";
    EXPECT_TRUE(comesUncovered(session, *prompt)) << "the program's windows stay over the prompt";
    EXPECT_TRUE(desktop().isViewable(asked)) << "the window waits for the prompt's answer";
}

// The search hotkey pressed over the Dock glance and its peek opens search in front of them,
// with the keyboard.
TEST_F(GlanceRowsEndToEndTest, SearchOpensInFrontOfTheDockGlanceAndItsPeek) {
    movePointer(dockItem());
    QList<Row> rowsShown;
    ASSERT_TRUE(waitForRows(rowsShown));
    movePointer(rowsShown[0].thumbnail.center());
    std::optional<ShownWindow> peekWindow;
    ASSERT_TRUE(session.waitUntilShown(QStringLiteral("Pellucine peek"), peekWindow));
    constexpr xcb_keysym_t space = 0x20;
    keyboard().type(keyboard().keycodesOf({testing::superL, testing::shiftL, space}));
    std::optional<ShownWindow> search;
    ASSERT_TRUE(session.waitUntilShown(QStringLiteral("Search Windows"), search));
    EXPECT_TRUE(comesUncovered(session, *search))
        << "the program's windows stay over the search panel";
    EXPECT_TRUE(becomesActive(search->window));
    tap(testing::escape);
    EXPECT_TRUE(session.waitUntilGone(QStringLiteral("Search Windows")));
}

// The same application in the Dock glance's grid of tiles.
class GlanceTilesEndToEndTest : public GlanceRowsEndToEndTest {
  protected:
    DockPreviewStyle style() const override { return DockPreviewStyle::thumbnails; }
    // Opens the tile's window menu; false when it did not come up.
    bool openMenu(const Row& tile) {
        session.click(tile.thumbnail.center(), 3);
        // The menu takes the keyboard once it is up.
        return X11TestDesktop::waitUntil([&] { return session.keyboardHeldElsewhere(); }, 8000);
    }
    // Opens the tile's window menu and picks the entry `down` steps from its top, or the first
    // entry of its submenu when `intoSubmenu`.
    bool pickFromMenu(const Row& tile, int down, bool intoSubmenu) {
        if (!openMenu(tile)) {
            return false;
        }
        pick(down, intoSubmenu);
        return true;
    }
    // Picks from the open menu as pickFromMenu does.
    void pick(int down, bool intoSubmenu) {
        for (int i = 0; i < down; ++i) {
            tap(testing::down);
        }
        if (intoSubmenu) {
            tap(testing::right);
        }
        tap(testing::returnKey);
    }
};

TEST_F(GlanceTilesEndToEndTest, TilesStayPutAfterAMoveAndResizeInTheDockGlance) {
    movePointer(dockItem());
    QList<Row> before;
    ASSERT_TRUE(waitForRows(before));
    const xcb_window_t third = before[2].window;
    const QRect frame = desktop().frameOf(third);
    movePointer(before[2].thumbnail.center());
    // Focus, Minimize, Full Screen, then Move & Resize, whose first placement maximizes.
    const qsizetype picked = mark();
    ASSERT_TRUE(pickFromMenu(before[2], 4, /*intoSubmenu=*/true)) << "the menu did not open";
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().frameOf(third) != frame; }))
        << "the window was not moved";
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", picked));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return samePlaces(before); }, 4000))
        << "tiles moved after Move & Resize";

    // As for a restore, the glance reads the settled frame before the next action.
    const auto index = std::find(windows.begin(), windows.end(), third) - windows.begin();
    ASSERT_TRUE(testing::waitUntilPlaced(desktop(), QStringLiteral("row-%1").arg(index + 1)));
    const qsizetype placed = mark();
    desktop().setTitle(before[0].window, QStringLiteral("renamed"));
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", placed));

    // Minimize from the same tile's menu acts on the same window, also when the glance
    // refreshes while the menu is open.
    ASSERT_TRUE(openMenu(before[2])) << "the menu did not open";
    const qsizetype opened = mark();
    desktop().setTitle(before[1].window, QStringLiteral("renamed too"));
    ASSERT_TRUE(session.waitForEvent("glance-refreshed-in-place", opened));
    ASSERT_TRUE(session.keyboardHeldElsewhere()) << "the menu closed on the refresh";
    // Another window of the application comes: the glance lays out five tiles, the open menu
    // stays with its own.
    const qsizetype more = mark();
    ASSERT_TRUE(client->openWindow(desktop(), QStringLiteral("row-5")));
    ASSERT_TRUE(session.waitForEvent("glance-shown", more, [](const QJsonObject& e) {
        return e.value("windowCount").toString() == QStringLiteral("5");
    }));
    ASSERT_TRUE(session.keyboardHeldElsewhere()) << "the menu closed as a window came";
    pick(2, /*intoSubmenu=*/false);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().wmState(third) == 3; }));
    for (const xcb_window_t window : windows) {
        if (window != third) {
            EXPECT_EQ(desktop().wmState(window), 1u);
        }
    }
}

}  // namespace
}  // namespace pellucine
