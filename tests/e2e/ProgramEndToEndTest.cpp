#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <array>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "EndToEndSession.h"
#include "EndToEndTest.h"
#include "X11TestDesktop.h"
#include "platform/x11/shell/X11SwitcherLayout.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::EndToEndSession;
using testing::ShownWindow;
using testing::TestClient;
using testing::X11TestDesktop;

constexpr xcb_keysym_t space = 0x20;
constexpr xcb_keysym_t returnKey = 0xff0d;
constexpr xcb_keysym_t down = 0xff54;
constexpr xcb_keysym_t up = 0xff52;
constexpr const char* strip = "Pellucine Switcher";
constexpr const char* glance = "Pellucine previews";
constexpr const char* searchPanel = "Search Windows";

// The program on a desktop of xlogo, xclock, a two-window client ("notes") and an xterm, mapped
// in that order so that each took the focus from the one before: the switcher lists xterm, notes,
// xclock, xlogo.
class ProgramEndToEndTest : public testing::EndToEndTest {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(error)) << error.toStdString();
        xlogo = session.startClient(QStringLiteral("xlogo"), {"-geometry", "160x160+60+440"},
                                    QStringLiteral("xlogo"));
        ASSERT_TRUE(xlogo) << "xlogo did not appear";
        xclock = session.startClient(QStringLiteral("xclock"), {"-geometry", "160x160+260+440"},
                                     QStringLiteral("xclock"));
        ASSERT_TRUE(xclock) << "xclock did not appear";
        notes = std::make_unique<TestClient>();
        ASSERT_TRUE(notes->setWindowClass(QStringLiteral("Notes")));
        notesOne = notes->openWindow(desktop(), QStringLiteral("e2e-notes-one"));
        notesTwo = notes->openWindow(desktop(), QStringLiteral("e2e-notes-two"));
        ASSERT_TRUE(notesOne && notesTwo) << "the notes windows did not appear";
        xterm = startFocusedXterm();
        ASSERT_TRUE(xterm) << "xterm did not appear or take the focus";
        ASSERT_TRUE(session.startProgram(5, error)) << error.toStdString();
    }

    void TearDown() override {
        EndToEndTest::TearDown();
        notes.reset();
    }

    void typeText(const QString& text) {
        for (const QChar c : text) {
            tap(c.toLatin1());
        }
    }
    static auto counting(const QString& source, int windows) {
        return [source, windows](const QJsonObject& e) {
            return e.value("source").toString() == source &&
                   e.value("windowCount").toString().toInt() == windows;
        };
    }
    static auto loaded(int windows) {
        return [windows](const QJsonObject& e) {
            return e.value("loadedCount").toString().toInt() == windows;
        };
    }
    // The strip is up with room for `count` applications, the glance above it.
    void expectStripAndGlance(int count, std::optional<ShownWindow>& glanceWindow) {
        std::optional<ShownWindow> stripWindow;
        ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(strip), stripWindow));
        ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
        const X11SwitcherLayout layout =
            X11SwitcherLayout::compute(count, QRect(0, 0, 1280, 800), 1.0);
        EXPECT_EQ(stripWindow->rect, layout.strip);
        // Too tall to fit above the strip, it keeps to the screen's top and may overlap it.
        EXPECT_LT(glanceWindow->rect.top(), stripWindow->rect.top());
        EXPECT_LT(glanceWindow->rect.center().y(), stripWindow->rect.top());
        EXPECT_NEAR(glanceWindow->rect.center().x(), stripWindow->rect.center().x(), 2);
    }

    // The test's clients, front to back.
    QList<xcb_window_t> clientsInFront() const {
        QList<xcb_window_t> order;
        for (const xcb_window_t window : session.desktop().stacking()) {
            if (window == xlogo || window == xclock || window == notesOne || window == notesTwo ||
                window == xterm) {
                order.append(window);
            }
        }
        return order;
    }

    std::optional<xcb_window_t> xlogo;
    std::optional<xcb_window_t> xclock;
    std::unique_ptr<TestClient> notes;
    std::optional<xcb_window_t> notesOne;
    std::optional<xcb_window_t> notesTwo;
    std::optional<xcb_window_t> xterm;
};

TEST_F(ProgramEndToEndTest, SuperTabShowsTheGlanceAboveTheStripTabStepsItAndReleaseSwitches) {
    qsizetype before = mark();
    superTab();
    std::optional<ShownWindow> glanceWindow;
    expectStripAndGlance(4, glanceWindow);
    // Notes comes second, with both its windows drawn.
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, counting("command-tab", 2)));
    ASSERT_TRUE(session.waitForEvent("previews-loaded", before, loaded(2)));

    for (const int step : {1, 2}) {
        before = mark();
        tap(testing::tab);
        // xclock, then xlogo, one window each.
        ASSERT_TRUE(session.waitForEvent("glance-shown", before, counting("command-tab", 1)))
            << "step " << step;
        ASSERT_TRUE(session.waitForEvent("previews-loaded", before, loaded(1))) << "step " << step;
        EXPECT_TRUE(session.shown(QString::fromLatin1(glance)));
    }

    releaseSuper();
    EXPECT_TRUE(becomesActive(*xlogo));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(strip)));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
    EXPECT_EQ(clientsInFront().value(0), *xlogo);
}

TEST_F(ProgramEndToEndTest, AClickOnAPreviewActivatesExactlyThatWindow) {
    // Cards go front to back: notes-two, mapped last, then notes-one. Activating the application
    // would pick notes-two.
    ASSERT_EQ(clientsInFront().mid(0, 3), (QList<xcb_window_t>{*xterm, *notesTwo, *notesOne}));
    const qsizetype before = mark();
    superTab();
    std::optional<ShownWindow> glanceWindow;
    expectStripAndGlance(4, glanceWindow);
    ASSERT_TRUE(session.waitForEvent("previews-loaded", before, loaded(2)));

    // Two cards in a row; the panel takes its final size once the pictures are in.
    QRect panel;
    ASSERT_TRUE(session.waitUntilStill(QString::fromLatin1(glance), panel));
    session.click(QPoint(panel.center().x() + panel.width() / 4, panel.center().y()));
    EXPECT_TRUE(becomesActive(*notesOne));
    releaseSuper();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(strip)));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
    EXPECT_EQ(desktop().activeWindow(), *notesOne);
    EXPECT_EQ(clientsInFront().value(0), *notesOne);
}

TEST_F(ProgramEndToEndTest, TheSearchPanelNarrowsToATitleAndReturnActivatesThatWindow) {
    const qsizetype before = mark();
    keyboard().type(keyboard().keycodesOf({testing::superL, testing::shiftL, space}));
    std::optional<ShownWindow> panel;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(searchPanel), panel));
    ASSERT_TRUE(session.waitForEvent("window-search-opened", before, [](const QJsonObject& e) {
        return e.value("windowCount").toString().toInt() == 5;
    }));

    // xlogo is not the most recent, and no other title or application name holds "logo".
    typeText(QStringLiteral("logo"));
    tap(returnKey);
    ASSERT_TRUE(session.waitForEvent("window-search-committed", before, [](const QJsonObject& e) {
        return e.value("requestedCount").toString().toInt() == 1;
    }));
    EXPECT_TRUE(becomesActive(*xlogo));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(searchPanel)));
    EXPECT_EQ(clientsInFront().value(0), *xlogo);
}

TEST_F(ProgramEndToEndTest, TheStatusMenuShowsTheCurrentAppsWindowsUntilEscape) {
    std::optional<ShownWindow> icon;
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return (icon = session.trayIcon()).has_value(); }, 15000))
        << "the status item is not in the tray";
    qsizetype before = mark();
    session.click(icon->rect.center());
    std::optional<ShownWindow> menu;
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] {
            return (menu = session.popup(QStringLiteral("pellucine"), {100, 100})).has_value();
        },
        15000))
        << "the menu did not open";
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return session.keyboardHeldElsewhere(); }, 15000))
        << "the menu does not hold the keyboard";
    // About, Settings, then the current application's windows.
    for (int row = 0; row < 3; ++row) {
        tap(down);
    }
    tap(returnKey);
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, counting("menu", 1)));
    std::optional<ShownWindow> glanceWindow;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    EXPECT_FALSE(session.shown(QString::fromLatin1(strip)));
    ASSERT_TRUE(session.waitForEvent("previews-loaded", before, loaded(1)));

    tap(testing::escape);
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
    // The xterm kept the focus all along.
    EXPECT_EQ(desktop().activeWindow(), *xterm);
}

// The click on the tray icon that opens the menu again leaves the glance up: choosing the entry
// again is what closes it.
TEST_F(ProgramEndToEndTest, ChoosingTheStatusMenusEntryAgainClosesTheGlanceItOpened) {
    std::optional<ShownWindow> icon;
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return (icon = session.trayIcon()).has_value(); }, 15000))
        << "the status item is not in the tray";
    const auto openMenu = [&] {
        session.click(icon->rect.center());
        return X11TestDesktop::waitUntil(
            [&] {
                return session.popup(QStringLiteral("pellucine"), {100, 100}).has_value() &&
                       session.keyboardHeldElsewhere();
            },
            15000);
    };
    const auto chooseShowWindows = [&] {
        for (int row = 0; row < 3; ++row) {
            tap(down);
        }
        tap(returnKey);
    };
    const qsizetype before = mark();
    ASSERT_TRUE(openMenu()) << "the menu did not open";
    chooseShowWindows();
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, counting("menu", 1)));
    std::optional<ShownWindow> glanceWindow;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    const qsizetype again = mark();
    ASSERT_TRUE(openMenu()) << "the menu did not open again";
    EXPECT_TRUE(session.shown(QString::fromLatin1(glance))) << "the click on the icon closed it";
    chooseShowWindows();
    ASSERT_TRUE(session.waitForEvent("menu-open-switcher", again));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
}

TEST_F(ProgramEndToEndTest, ClosingMinimizingAndMovingClientsKeepsEveryListRight) {
    xcb_connection_t* c = desktop().get();
    // Moved through the window manager, as a user dragging it.
    const QRect before = desktop().frameOf(*xterm);
    const std::array<uint32_t, 2> place{420, 260};
    xcb_configure_window(c, *xterm, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place.data());
    desktop().sync();
    QRect moved;
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        moved = desktop().frameOf(*xterm);
        return moved.topLeft() != before.topLeft() && moved.size() == before.size();
    }));
    // Minimized as its title bar's button does.
    xcb_client_message_event_t iconify{};
    iconify.response_type = XCB_CLIENT_MESSAGE;
    iconify.format = 32;
    iconify.window = *xlogo;
    iconify.type = desktop().atom("WM_CHANGE_STATE");
    iconify.data.data32[0] = 3;
    sendToRoot(iconify);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop().wmState(*xlogo) == 3; }));
    // xclock quits; a third notes window opens and takes the focus.
    session.clientProcess(*xclock)->kill();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop().findClient("xclock"); }));
    const std::optional<xcb_window_t> notesThree =
        notes->openWindow(desktop(), QStringLiteral("e2e-notes-three"));
    ASSERT_TRUE(notesThree);
    ASSERT_TRUE(becomesActive(*notesThree));

    // The strip: notes, xterm and the minimized xlogo, each once; xterm is highlighted.
    qsizetype start = mark();
    superTab();
    std::optional<ShownWindow> glanceWindow;
    expectStripAndGlance(3, glanceWindow);
    ASSERT_TRUE(session.waitForEvent("glance-shown", start, counting("command-tab", 1)));
    tap(testing::escape);
    releaseSuper();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(strip)));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
    EXPECT_EQ(desktop().activeWindow(), *notesThree);

    // The search: every window once, the minimized one included, the closed one gone.
    start = mark();
    keyboard().type(keyboard().keycodesOf({testing::superL, testing::shiftL, space}));
    std::optional<ShownWindow> panel;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(searchPanel), panel));
    ASSERT_TRUE(session.waitForEvent("window-search-opened", start, [](const QJsonObject& e) {
        return e.value("windowCount").toString().toInt() == 5;
    }));
    ASSERT_TRUE(session.waitForEvent("windows-refreshed", start, [](const QJsonObject& e) {
        return e.value("windowCount").toString().toInt() == 5 &&
               e.value("applicationCount").toString().toInt() == 3;
    }));
    typeText(QStringLiteral("term"));
    tap(returnKey);
    ASSERT_TRUE(session.waitForEvent("window-search-committed", start, [](const QJsonObject& e) {
        return e.value("requestedCount").toString().toInt() == 1;
    }));
    EXPECT_TRUE(becomesActive(*xterm));
    // Where it was moved to.
    EXPECT_EQ(desktop().frameOf(*xterm), moved);
    EXPECT_EQ(desktop().wmState(*xlogo), 3u);
}

TEST_F(ProgramEndToEndTest, QuitInTheStatusMenuEndsTheProgramRightAfterQuitIsLogged) {
    // Pictures of every client are read and coded first, so that quitting meets a warm cache.
    superTab();
    std::optional<ShownWindow> glanceWindow;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    releaseSuper();
    ASSERT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));

    std::optional<ShownWindow> icon;
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return (icon = session.trayIcon()).has_value(); }, 15000))
        << "the status item is not in the tray";
    session.click(icon->rect.center());
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] {
            return session.popup(QStringLiteral("pellucine"), {100, 100}).has_value();
        },
        15000))
        << "the menu did not open";
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return session.keyboardHeldElsewhere(); }, 15000))
        << "the menu does not hold the keyboard";
    // Up from the top wraps to the last row, "Quit PELLUCINE".
    tap(up);
    tap(returnKey);

    QProcess& program = session.program();
    ASSERT_TRUE(program.waitForFinished(15000)) << "the program is still running";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    // "quit" was written before the process ended, and nothing after it.
    const QList<QJsonObject> events = session.events();
    ASSERT_FALSE(events.isEmpty());
    EXPECT_EQ(events.last().value("event").toString(), QStringLiteral("quit"));
}

}  // namespace
}  // namespace pellucine
