#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "EndToEndSession.h"
#include "X11TestDesktop.h"
#include "core/WindowPlacement.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ScreenReader.h"
#include "platform/x11/X11WindowReader.h"
#include "platform/x11/X11WindowRequests.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::EndToEndSession;
using testing::ShownWindow;
using testing::TestClient;
using testing::WindowManager;
using testing::WindowManagerLaunch;
using testing::X11TestDesktop;

constexpr xcb_keysym_t space = 0x20;
constexpr xcb_keysym_t returnKey = 0xff0d;
constexpr xcb_keysym_t down = 0xff54;
constexpr const char* strip = "Pellucine Switcher";
constexpr const char* glance = "Pellucine previews";
constexpr const char* searchPanel = "Search Windows";
constexpr const char* dock = "Pellucine Dock";
constexpr uint32_t iconicState = 3;

// The same desktop under each window manager: xlogo, a two-window client ("notes") and an
// xterm, mapped in that order, with the program following them.
class WindowManagerMatrixTest : public ::testing::TestWithParam<WindowManager> {
  protected:
    void SetUp() override {
        const WindowManagerLaunch launch = WindowManagerLaunch::of(GetParam());
        if (QStandardPaths::findExecutable(launch.program).isEmpty()) {
            // The heavier managers are installed by the script that runs them.
            if (GetParam() == WindowManager::kwin || GetParam() == WindowManager::muffin ||
                GetParam() == WindowManager::i3) {
                GTEST_SKIP() << launch.program.toStdString() << " is not installed";
            }
            FAIL() << launch.program.toStdString() << " is not installed";
        }
        session = std::make_unique<EndToEndSession>(GetParam());
        QString error;
        ASSERT_TRUE(session->start(error)) << error.toStdString();
        xlogo = session->startClient(QStringLiteral("xlogo"), {"-geometry", "160x160+60+440"},
                                     QStringLiteral("xlogo"));
        ASSERT_TRUE(xlogo) << "xlogo did not appear";
        notes = std::make_unique<TestClient>();
        ASSERT_TRUE(notes->setWindowClass(QStringLiteral("Notes")));
        notesOne = notes->openWindow(desktop(), QStringLiteral("wm-notes-one"));
        notesTwo = notes->openWindow(desktop(), QStringLiteral("wm-notes-two"));
        ASSERT_TRUE(notesOne && notesTwo) << "the notes windows did not appear";
        xterm =
            session->startClient(QStringLiteral("xterm"),
                                 {"-T", "wm-term", "-geometry", "60x15+700+80", "-e", "/bin/sh"},
                                 QStringLiteral("wm-term"));
        ASSERT_TRUE(xterm) << "xterm did not appear";
        ASSERT_TRUE(becomesActive(*xterm));
    }

    // Starts the program once the test has set the desktop up. Where the window manager holds
    // Super+Tab the strip opens on the fallback binding, which the cases then press; a case of
    // the strip is skipped where the manager holds the Super key itself and the switcher is off.
    void startProgram(bool needsSwitcher = false) {
        QString error;
        ASSERT_TRUE(session->startProgram(4, error)) << error.toStdString();
        // Recorded at the start, before the program follows the keyboard.
        const QList<QJsonObject> events = session->events();
        const auto named = [&events](const char* name) {
            return std::find_if(events.begin(), events.end(), [name](const QJsonObject& e) {
                return e.value("event").toString() == QLatin1String(name);
            });
        };
        if (const auto started = named("application-switcher-started"); started != events.end()) {
            heldKeys = started->value("commandTabMode").toString().startsWith(u"Super+Ctrl+")
                           ? QList<xcb_keysym_t>{testing::superL, testing::controlL}
                           : QList<xcb_keysym_t>{testing::superL};
        }
        if (needsSwitcher && named("application-switcher-unavailable") != events.end()) {
            GTEST_SKIP() << "the window manager holds the Super key itself: the switcher is off";
        }
        ASSERT_FALSE(needsSwitcher && heldKeys.isEmpty()) << "the switcher did not say it started";
    }

    void TearDown() override {
        if (HasFailure() && session) {
            const ::testing::TestInfo* test =
                ::testing::UnitTest::GetInstance()->current_test_info();
            QString base = QStringLiteral("%1.%2").arg(test->test_suite_name(), test->name());
            base.replace(QLatin1Char('/'), QLatin1Char('.'));
            session->keepTraces(base);
        }
        notes.reset();
        session.reset();
    }

    X11TestDesktop& desktop() const { return session->desktop(); }
    qsizetype mark() const { return session->events().size(); }
    bool tiles() const { return session->windowManager().tiles; }

    bool becomesActive(xcb_window_t window) const {
        const bool active =
            X11TestDesktop::waitUntil([&] { return desktop().activeWindow() == window; }, 15000);
        EXPECT_TRUE(active) << "active: " << desktop().activeWindow() << ", expected " << window;
        return active;
    }
    void sendToRoot(xcb_window_t window, const char* type, const std::array<uint32_t, 5>& data) {
        desktop().sendToRoot(window, type, data);
    }
    // As a pager does.
    void activate(xcb_window_t window) {
        sendToRoot(window, "_NET_ACTIVE_WINDOW", {2, 0, 0, 0, 0});
    }
    std::optional<quint32> currentDesktop() const { return desktop().currentDesktop(); }
    std::optional<quint32> desktopOf(xcb_window_t window) const {
        return desktop().cardinal(window, "_NET_WM_DESKTOP");
    }
    void tap(xcb_keysym_t keysym) {
        session->keyboard().press(keysym);
        session->keyboard().release(keysym);
        desktop().sync();
    }
    // The switcher's keys to notes, the glance of its two windows settled above the strip; its
    // frame.
    QRect openNotesGlance() {
        const qsizetype before = mark();
        for (const xcb_keysym_t key : std::as_const(heldKeys)) {
            session->keyboard().press(key);
        }
        tap(testing::tab);
        std::optional<ShownWindow> stripWindow;
        std::optional<ShownWindow> glanceWindow;
        EXPECT_TRUE(session->waitUntilShown(QString::fromLatin1(strip), stripWindow));
        EXPECT_TRUE(session->waitUntilShown(QString::fromLatin1(glance), glanceWindow));
        // A minimized window, or one on another desktop, shows its last picture or none.
        EXPECT_TRUE(session->waitForEvent("previews-loaded", before, [](const QJsonObject& e) {
            return e.value("loadedCount").toString().toInt() +
                       e.value("offscreenCount").toString().toInt() ==
                   2;
        }));
        if (!stripWindow || !glanceWindow) {
            return {};
        }
        EXPECT_LT(glanceWindow->rect.center().y(), stripWindow->rect.top());
        EXPECT_NEAR(glanceWindow->rect.center().x(), stripWindow->rect.center().x(), 2);
        QRect panel;
        EXPECT_TRUE(session->waitUntilStill(QString::fromLatin1(glance), panel));
        return panel;
    }
    void closeStrip() {
        for (auto key = heldKeys.crbegin(); key != heldKeys.crend(); ++key) {
            session->keyboard().release(*key);
        }
        desktop().sync();
        EXPECT_TRUE(session->waitUntilGone(QString::fromLatin1(strip)));
        EXPECT_TRUE(session->waitUntilGone(QString::fromLatin1(glance)));
    }
    // Notes, raised with notes-one in front of notes-two, behind the xterm: its cards go
    // notes-one, notes-two.
    void stackNotesBehindTheXterm() {
        activate(*notesTwo);
        ASSERT_TRUE(becomesActive(*notesTwo));
        activate(*notesOne);
        ASSERT_TRUE(becomesActive(*notesOne));
        activate(*xterm);
        ASSERT_TRUE(becomesActive(*xterm));
    }
    // Clicks the card of the one notes window that has no picture of its own (minimized, or on
    // another desktop), wherever the glance puts it among the two in its row.
    void clickCardWithoutPicture(const QRect& panel) {
        const QString path = QDir(scratch.path()).filePath(QStringLiteral("glance.png"));
        const QRect left(panel.left(), panel.top(), panel.width() / 2, panel.height());
        const QRect right = left.translated(left.width(), 0);
        // The picture of the open window is mostly its white client area; the card background
        // is not white.
        const auto whiteShare = [](const QImage& shot, const QRect& area) {
            int white = 0;
            for (int y = area.top(); y <= area.bottom(); y += 4) {
                for (int x = area.left(); x <= area.right(); x += 4) {
                    white += qGray(shot.pixel(x, y)) >= 250 ? 1 : 0;
                }
            }
            return white * 16.0 / (area.width() * area.height());
        };
        // The glance may draw the picture a little after it has loaded: until it does, the two
        // cards look alike.
        double leftShare = 0;
        double rightShare = 0;
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            if (!session->screenshot(path)) {
                return false;
            }
            const QImage shot(path);
            leftShare = whiteShare(shot, left);
            rightShare = whiteShare(shot, right);
            return std::abs(leftShare - rightShare) > 0.04;
        })) << "the cards look alike: "
            << leftShare << " and " << rightShare << " white";
        session->click((leftShare < rightShare ? left : right).center());
    }

    QTemporaryDir scratch;
    std::unique_ptr<EndToEndSession> session;
    std::optional<xcb_window_t> xlogo;
    std::unique_ptr<TestClient> notes;
    std::optional<xcb_window_t> notesOne;
    std::optional<xcb_window_t> notesTwo;
    std::optional<xcb_window_t> xterm;
    // What opens the strip, Tab aside, in the order pressed.
    QList<xcb_keysym_t> heldKeys;
};

TEST_P(WindowManagerMatrixTest, TheGlanceComesAboveTheStripAndReleaseSwitches) {
    ASSERT_NO_FATAL_FAILURE(startProgram(true));
    if (IsSkipped()) {
        return;
    }
    ASSERT_FALSE(openNotesGlance().isEmpty());
    closeStrip();
    EXPECT_TRUE(becomesActive(*notesTwo) || becomesActive(*notesOne));
}

TEST_P(WindowManagerMatrixTest, AClickOnAPreviewActivatesAMinimizedWindow) {
    if (tiles()) {
        GTEST_SKIP() << "a tiling manager does not minimize windows";
    }
    stackNotesBehindTheXterm();
    // Minimized before the program sees it: it has no picture of it.
    sendToRoot(*notesTwo, "WM_CHANGE_STATE", {iconicState, 0, 0, 0, 0});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().wmState(*notesTwo) == 3; }));
    ASSERT_NO_FATAL_FAILURE(startProgram(true));
    if (IsSkipped()) {
        return;
    }
    const QRect panel = openNotesGlance();
    ASSERT_FALSE(panel.isEmpty());
    ASSERT_NO_FATAL_FAILURE(clickCardWithoutPicture(panel));
    EXPECT_TRUE(becomesActive(*notesTwo));
    closeStrip();
    EXPECT_EQ(desktop().wmState(*notesTwo), 1u);
    EXPECT_EQ(desktop().activeWindow(), *notesTwo);
}

TEST_P(WindowManagerMatrixTest, AClickOnAPreviewActivatesAWindowOnAnotherDesktop) {
    if (tiles()) {
        GTEST_SKIP()
            << "a tiling manager keeps its workspaces itself and moves no window on request";
    }
    stackNotesBehindTheXterm();
    ASSERT_EQ(currentDesktop(), 0u);
    // Moved before the program sees it: it has no picture of it.
    sendToRoot(*notesTwo, "_NET_WM_DESKTOP", {1, 2, 0, 0, 0});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktopOf(*notesTwo) == 1u; }))
        << "the window manager did not move notes-two to the second desktop";
    ASSERT_NO_FATAL_FAILURE(startProgram(true));
    if (IsSkipped()) {
        return;
    }
    const QRect panel = openNotesGlance();
    ASSERT_FALSE(panel.isEmpty());
    ASSERT_NO_FATAL_FAILURE(clickCardWithoutPicture(panel));
    EXPECT_TRUE(becomesActive(*notesTwo));
    closeStrip();
    // The manager brings either the window or the user along.
    EXPECT_EQ(currentDesktop(), desktopOf(*notesTwo));
    EXPECT_EQ(desktop().activeWindow(), *notesTwo);
}

TEST_P(WindowManagerMatrixTest, ReturnInTheSearchActivatesTheWindowFound) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    const qsizetype before = mark();
    session->keyboard().type(
        session->keyboard().keycodesOf({testing::superL, testing::shiftL, space}));
    std::optional<ShownWindow> panel;
    ASSERT_TRUE(session->waitUntilShown(QString::fromLatin1(searchPanel), panel));
    // Typed before the manager hands it the focus, the text would go to the window behind.
    ASSERT_TRUE(becomesActive(panel->window));
    for (const QChar c : QStringLiteral("logo")) {
        tap(c.toLatin1());
    }
    tap(returnKey);
    ASSERT_TRUE(session->waitForEvent("window-search-committed", before, [](const QJsonObject& e) {
        return e.value("requestedCount").toString().toInt() == 1;
    }));
    EXPECT_TRUE(becomesActive(*xlogo));
    EXPECT_TRUE(session->waitUntilGone(QString::fromLatin1(searchPanel)));
}

// What the glance's window controls ask of the window manager, through the requests they use.
TEST_P(WindowManagerMatrixTest, TheWindowControlsMinimizeRestoreFullScreenAndPlace) {
    if (tiles()) {
        GTEST_SKIP() << "a tiling manager does not minimize, and places windows itself";
    }
    ASSERT_NO_FATAL_FAILURE(startProgram());
    X11Connection connection;
    X11WindowReader reader(connection);
    X11WindowRequests requests(connection);
    const xcb_window_t window = *xlogo;
    const auto read = [&] { return reader.readWindow(window).value_or(X11WindowInfo{}); };

    requests.iconify(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().wmState(window) == 3; }))
        << "not minimized";
    requests.activate(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().wmState(window) == 1; }))
        << "not restored";
    EXPECT_TRUE(becomesActive(window));

    const xcb_atom_t fullScreen = desktop().atom("_NET_WM_STATE_FULLSCREEN");
    const X11FrameExtents decorated = read().extents;
    requests.setFullScreen(window, true);
    // Some managers name the state after they have resized the frame.
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return desktop().frameOf(window) == QRect(0, 0, 1280, 800) &&
               desktop().netWmState(window).contains(fullScreen);
    })) << "full screen: "
        << desktop().frameOf(window).width() << "x" << desktop().frameOf(window).height();
    requests.setFullScreen(window, false);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !desktop().netWmState(window).contains(fullScreen); }));
    // Placed with the extents of the full-screen window, it would come out short by them.
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        const X11WindowInfo now = read();
        return now.frameRect() != QRect(0, 0, 1280, 800) && now.extents.top == decorated.top &&
               now.extents.left == decorated.left;
    }));

    if (tiles()) {
        GTEST_SKIP() << "a tiling manager places windows itself";
    }
    const QRect visible = X11ScreenReader(connection).monitors().value(0).visibleRect;
    ASSERT_FALSE(visible.isEmpty());
    for (const WindowPlacement placement :
         {WindowPlacement::leftHalf, WindowPlacement::rightHalf, WindowPlacement::topLeft,
          WindowPlacement::bottomRight}) {
        const QRect wanted =
            placementFrame(placement, GlobalRect::fromQt(QRectF(visible))).toQt().toRect();
        requests.moveResize(read(), wanted);
        // Size increments and minimum sizes may leave it a few pixels short.
        QRect frame;
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            // The visible frame: some managers draw invisible borders around it.
            frame = read().frameRect();
            return frame.topLeft() == wanted.topLeft() &&
                   std::abs(frame.width() - wanted.width()) <= 8 &&
                   std::abs(frame.height() - wanted.height()) <= 8;
        })) << rawValue(placement).toStdString()
            << ": " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
            << frame.height() << ", wanted " << wanted.x() << "," << wanted.y() << " "
            << wanted.width() << "x" << wanted.height();
    }
}

TEST_P(WindowManagerMatrixTest, TheTrayMenuShowsTheCurrentAppsWindows) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    // The tray moves an icon after embedding it: clicked once it holds still.
    std::optional<ShownWindow> icon;
    QRect place;
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] {
            icon = session->trayIcon();
            const bool still = icon && icon->rect == place;
            place = icon ? icon->rect : QRect();
            return still;
        },
        15000))
        << "the status item is not in the tray";
    const qsizetype before = mark();
    session->click(icon->rect.center());
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] {
            return session->popup(QStringLiteral("pellucine"), {100, 100}).has_value();
        },
        15000))
        << "the menu did not open";
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return session->keyboardHeldElsewhere(); }, 15000))
        << "the menu does not hold the keyboard";
    // About, Settings, then the current application's windows.
    for (int row = 0; row < 3; ++row) {
        tap(down);
    }
    tap(returnKey);
    ASSERT_TRUE(session->waitForEvent("glance-shown", before, [](const QJsonObject& e) {
        return e.value("source").toString() == QLatin1String("menu");
    }));
    std::optional<ShownWindow> glanceWindow;
    ASSERT_TRUE(session->waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    tap(testing::escape);
    EXPECT_TRUE(session->waitUntilGone(QString::fromLatin1(glance)));
}

TEST_P(WindowManagerMatrixTest, TheDockBarStandsAsideForTheDesktopsBottomPanel) {
    if (tiles()) {
        GTEST_SKIP() << "under a tiling manager the Dock bar does not come up";
    }
    ASSERT_NO_FATAL_FAILURE(startProgram());
    QString error;
    ASSERT_TRUE(session->startBottomPanel(error)) << error.toStdString();
    EXPECT_TRUE(session->waitUntilGone(QString::fromLatin1(dock)));
}

}  // namespace

namespace testing {
void PrintTo(WindowManager manager, std::ostream* out) {
    *out << WindowManagerLaunch::of(manager).name.toStdString();
}
}  // namespace testing

namespace {

std::string managerName(const ::testing::TestParamInfo<WindowManager>& info) {
    return WindowManagerLaunch::of(info.param).name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Managers, WindowManagerMatrixTest,
                         ::testing::Values(WindowManager::openbox, WindowManager::xfwm4,
                                           WindowManager::marco, WindowManager::metacity,
                                           WindowManager::fluxbox, WindowManager::icewm,
                                           WindowManager::kwin, WindowManager::muffin,
                                           WindowManager::i3),
                         managerName);

}  // namespace
}  // namespace pellucine
