#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <iostream>
#include <memory>

#include "EndToEndSession.h"
#include "X11TestDesktop.h"
#include "platform/x11/X11SwitcherLayout.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::EndToEndSession;
using testing::ShownWindow;
using testing::TestClient;
using testing::X11TestDesktop;

constexpr xcb_keysym_t space = 0x20;
constexpr xcb_keysym_t returnKey = 0xff0d;
constexpr const char* strip = "Pellucine Switcher";
constexpr const char* glance = "Pellucine previews";
constexpr const char* searchPanel = "Search Windows";

// The program on a desktop of xlogo, xclock, a two-window client ("notes") and an xterm, mapped
// in that order so that each took the focus from the one before: the switcher lists xterm, notes,
// xclock, xlogo.
class ProgramEndToEndTest : public ::testing::Test {
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
        xterm =
            session.startClient(QStringLiteral("xterm"),
                                {"-T", "e2e-term", "-geometry", "60x15+700+80", "-e", "/bin/sh"},
                                QStringLiteral("e2e-term"));
        ASSERT_TRUE(xterm) << "xterm did not appear";
        ASSERT_TRUE(becomesActive(*xterm));
        ASSERT_TRUE(session.startProgram(5, error)) << error.toStdString();
    }

    void TearDown() override {
        if (HasFailure()) {
            const ::testing::TestInfo* test =
                ::testing::UnitTest::GetInstance()->current_test_info();
            const QString base = QDir::current().absoluteFilePath(
                QStringLiteral("%1.%2").arg(test->test_suite_name(), test->name()));
            if (session.screenshot(base + QStringLiteral(".png"))) {
                std::cerr << "screenshot: " << base.toStdString() << ".png\n";
            }
            QFile::remove(base + QStringLiteral(".jsonl"));
            if (QFile::copy(session.eventLogPath(), base + QStringLiteral(".jsonl"))) {
                std::cerr << "event log: " << base.toStdString() << ".jsonl\n";
            }
        }
        notes.reset();
    }

    X11TestDesktop& desktop() { return session.desktop(); }
    testing::X11TestKeyboard& keyboard() { return session.keyboard(); }
    qsizetype mark() const { return session.events().size(); }

    bool becomesActive(xcb_window_t window) {
        const bool active =
            X11TestDesktop::waitUntil([&] { return desktop().activeWindow() == window; }, 15000);
        EXPECT_TRUE(active) << "active: " << desktop().activeWindow() << ", expected " << window;
        return active;
    }
    void tap(xcb_keysym_t keysym) {
        keyboard().press(keysym);
        keyboard().release(keysym);
        desktop().sync();
    }
    // Holds Super and presses Tab: the strip comes up.
    void superTab() {
        keyboard().press(testing::superL);
        tap(testing::tab);
    }
    void releaseSuper() {
        keyboard().release(testing::superL);
        desktop().sync();
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

    EndToEndSession session;
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
    const qsizetype before = mark();
    superTab();
    std::optional<ShownWindow> glanceWindow;
    expectStripAndGlance(4, glanceWindow);
    ASSERT_TRUE(session.waitForEvent("previews-loaded", before, loaded(2)));

    // Two cards in a row, front window first: the second card is the window behind.
    const QRect panel = glanceWindow->rect;
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

}  // namespace
}  // namespace pellucine
