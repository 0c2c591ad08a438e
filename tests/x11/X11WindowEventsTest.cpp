#include <gmock/gmock.h>

#include "X11TestDesktop.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowEvents.h"
#include "platform/x11/X11WindowRequests.h"

namespace pellucine {
namespace {

using Kind = X11WindowEvent::Kind;
using testing::TestXterm;
using testing::X11Test;
using testing::X11TestDesktop;

class X11WindowEventsTest : public X11Test {
  protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        events = std::make_unique<X11WindowEvents>(*connection);
        requests = std::make_unique<X11WindowRequests>(*connection);
        QObject::connect(events.get(), &X11WindowEvents::windowEvent,
                         [this](const X11WindowEvent& e) { received.append(e); });
    }

    bool heard(Kind kind, xcb_window_t window) const {
        return std::any_of(received.begin(), received.end(), [&](const X11WindowEvent& e) {
            return e.kind == kind && e.window == window;
        });
    }
    bool waitFor(Kind kind, xcb_window_t window) {
        return X11TestDesktop::waitUntil([&] { return heard(kind, window); });
    }
    qsizetype count(Kind kind, xcb_window_t window) const {
        return std::count_if(received.begin(), received.end(), [&](const X11WindowEvent& e) {
            return e.kind == kind && e.window == window;
        });
    }

    std::unique_ptr<X11WindowEvents> events;
    std::unique_ptr<X11WindowRequests> requests;
    QList<X11WindowEvent> received;
};

TEST_F(X11WindowEventsTest, ReportsANewWindowWithItsOwnerButNotThoseAlreadyThere) {
    events->start();
    TestXterm xterm(*desktop, QStringLiteral("events-created"));
    ASSERT_TRUE(xterm.window());
    ASSERT_TRUE(waitFor(Kind::created, *xterm.window()));
    const auto created =
        std::find_if(received.begin(), received.end(),
                     [](const X11WindowEvent& e) { return e.kind == Kind::created; });
    EXPECT_EQ(created->pid, static_cast<qint32>(xterm.pid()));
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    EXPECT_FALSE(heard(Kind::created, *alpha));
}

TEST_F(X11WindowEventsTest, TellsWhetherEveryWatchedWindowWasListenedToBefore) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    X11WindowInfo info;
    info.window = *alpha;
    EXPECT_FALSE(events->watch({info}));
    events->start();
    EXPECT_TRUE(events->watch({}));
    // Windows there at the start are listened to already; one read elsewhere is not, once.
    EXPECT_TRUE(events->watch({info}));
    xcb_connection_t* c = connection->get();
    X11WindowInfo unheard;
    unheard.window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, unheard.window, connection->root(), 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    EXPECT_FALSE(events->watch({info, unheard}));
    EXPECT_TRUE(events->watch({unheard, info}));
    xcb_destroy_window(c, unheard.window);
    connection->flush();
}

TEST_F(X11WindowEventsTest, ReportsTitleChangesOnlyWhenTheTitleDiffers) {
    TestXterm xterm(*desktop, QStringLiteral("events-title"));
    ASSERT_TRUE(xterm.window());
    const xcb_window_t window = *xterm.window();
    events->start();

    desktop->setTitle(window, QStringLiteral("events-title"));
    desktop->setTitle(window, QStringLiteral("events-title renamed"));
    ASSERT_TRUE(waitFor(Kind::titleChanged, window));
    EXPECT_EQ(count(Kind::titleChanged, window), 1);
    EXPECT_EQ(received.first().pid, static_cast<qint32>(xterm.pid()));
}

TEST_F(X11WindowEventsTest, ReportsMinimizingAndComingBack) {
    TestXterm xterm(*desktop, QStringLiteral("events-minimize"));
    ASSERT_TRUE(xterm.window());
    const xcb_window_t window = *xterm.window();
    events->start();

    requests->iconify(window);
    ASSERT_TRUE(waitFor(Kind::miniaturized, window));
    EXPECT_FALSE(heard(Kind::deminiaturized, window));
    requests->deiconify(window);
    ASSERT_TRUE(waitFor(Kind::deminiaturized, window));
    EXPECT_EQ(count(Kind::miniaturized, window), 1);
}

TEST_F(X11WindowEventsTest, TellsMovesFromResizes) {
    TestXterm xterm(*desktop, QStringLiteral("events-geometry"), "40x10+100+100");
    ASSERT_TRUE(xterm.window());
    const xcb_window_t window = *xterm.window();
    events->start();
    const QRect frame = desktop->frameOf(window);

    X11WindowInfo info;
    info.window = window;
    info.extents = {1, 1, 22, 5};
    requests->moveResize(info, frame.translated(120, 40));
    ASSERT_TRUE(waitFor(Kind::moved, window));
    EXPECT_FALSE(heard(Kind::resized, window));

    received.clear();
    requests->moveResize(info,
                         QRect(frame.topLeft() + QPoint(120, 40), frame.size() + QSize(60, 26)));
    ASSERT_TRUE(waitFor(Kind::resized, window));
    EXPECT_FALSE(heard(Kind::moved, window));
}

// A window manager animating a window moves its frame without telling the client: a read made
// for another reason in the meantime is no move, and neither is a configure notice while the
// window is minimized.
TEST_F(X11WindowEventsTest, IgnoresFrameChangesTheClientIsNotToldOf) {
    TestXterm xterm(*desktop, QStringLiteral("events-quiet"), "40x10+100+100");
    ASSERT_TRUE(xterm.window());
    const xcb_window_t window = *xterm.window();
    events->start();

    desktop->moveFrameQuietly(window, QPoint(500, 400));
    desktop->setTitle(window, QStringLiteral("events-quiet renamed"));
    ASSERT_TRUE(waitFor(Kind::titleChanged, window));

    requests->iconify(window);
    ASSERT_TRUE(waitFor(Kind::miniaturized, window));
    // Unmapped once any animation is over.
    const xcb_window_t frame = desktop->frameWindowOf(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop->isViewable(frame); }));
    desktop->moveFrameQuietly(window, QPoint(600, 500));
    xcb_configure_notify_event_t notice{};
    notice.response_type = XCB_CONFIGURE_NOTIFY;
    notice.event = window;
    notice.window = window;
    notice.x = 600;
    notice.y = 500;
    notice.width = 100;
    notice.height = 100;
    xcb_send_event(desktop->get(), 0, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&notice));
    // The title change comes after the notice, on the same connection.
    desktop->setTitle(window, QStringLiteral("events-quiet minimized"));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return count(Kind::titleChanged, window) == 2; }));
    EXPECT_FALSE(heard(Kind::moved, window));
    EXPECT_FALSE(heard(Kind::resized, window));
}

TEST_F(X11WindowEventsTest, ReportsTheNewlyFocusedWindow) {
    TestXterm first(*desktop, QStringLiteral("events-focus-1"), "40x10+100+100");
    TestXterm second(*desktop, QStringLiteral("events-focus-2"), "40x10+400+100");
    ASSERT_TRUE(first.window() && second.window());
    requests->activate(*first.window());
    ASSERT_TRUE(
        X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *first.window(); }));
    events->start();

    requests->activate(*second.window());
    ASSERT_TRUE(waitFor(Kind::focusChanged, *second.window()));
    // The window manager may pass focus about on the way; where it ends is what counts.
    testing::settle(*connection);
    const auto last = std::find_if(received.rbegin(), received.rend(), [](const X11WindowEvent& e) {
        return e.kind == Kind::focusChanged;
    });
    ASSERT_NE(last, received.rend());
    EXPECT_EQ(last->window, *second.window());
    EXPECT_EQ(last->pid, static_cast<qint32>(second.pid()));
}

TEST_F(X11WindowEventsTest, ReportsAClosedWindowOnceAndStopsReporting) {
    TestXterm closing(*desktop, QStringLiteral("events-destroyed"));
    TestXterm after(*desktop, QStringLiteral("events-after-stop"));
    ASSERT_TRUE(closing.window() && after.window());
    events->start();

    closing.process().kill();
    ASSERT_TRUE(waitFor(Kind::destroyed, *closing.window()));
    // DestroyNotify and the client list both say so; one report.
    X11TestDesktop::waitUntil([&] { return !desktop->clients().contains(*closing.window()); },
                              2000);
    EXPECT_EQ(count(Kind::destroyed, *closing.window()), 1);

    events->stop();
    received.clear();
    desktop->setTitle(*after.window(), QStringLiteral("events-after-stop renamed"));
    requests->iconify(*after.window());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*after.window()) == 3; }));
    testing::settle(*connection);
    EXPECT_TRUE(received.isEmpty());
}

}  // namespace
}  // namespace pellucine
