#include <gmock/gmock.h>

#include "X11TestDesktop.h"
#include "base/RecordingEventLog.h"
#include "core/AccessibilityWindowService.h"
#include "core/WindowServiceError.h"
#include "platform/x11/wiring/X11Desktop.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// Window enumeration and window actions of the program, carried out on the X server through
// the X11 port and checked by reading the server back.
class X11WindowServiceTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (!port) {
            return;
        }
        service = std::make_unique<AccessibilityWindowService>(*port, events);
    }

    // The descriptor of the window with this title in a fresh snapshot.
    std::optional<WindowDescriptor> describe(const QString& title) {
        port->state().invalidate();
        for (const ApplicationDescriptor& app : service->snapshot()) {
            for (const WindowDescriptor& window : app.windows) {
                if (window.title == title) {
                    return window;
                }
            }
        }
        return std::nullopt;
    }

    // Within 3 points in each measure, as the program matches frames.
    static bool agrees(const GlobalRect& a, const QRect& b) {
        return std::abs(a.x - b.x()) <= 3 && std::abs(a.y - b.y()) <= 3 &&
               std::abs(a.width - b.width()) <= 3 && std::abs(a.height - b.height()) <= 3;
    }

    RecordingEventLog events;
    std::unique_ptr<AccessibilityWindowService> service;
};

TEST_F(X11WindowServiceTest, EnumerationListsBothXtermsWithTheirTitlesAndFrames) {
    const QList<ApplicationDescriptor> apps = service->snapshot();
    for (const char* title : {"pellucine-alpha", "pellucine-beta"}) {
        const auto window = desktop->findClient(QString::fromLatin1(title));
        ASSERT_TRUE(window) << title;
        std::optional<WindowDescriptor> found;
        for (const ApplicationDescriptor& app : apps) {
            for (const WindowDescriptor& w : app.windows) {
                if (w.id == *window) {
                    found = w;
                    EXPECT_EQ(app.processIdentifier, desktop->pidOf(*window));
                    EXPECT_EQ(app.windows.size(), 1);
                    EXPECT_TRUE(app.bundleIdentifier.has_value());
                }
            }
        }
        ASSERT_TRUE(found) << title;
        EXPECT_EQ(found->title, QString::fromLatin1(title));
        EXPECT_TRUE(agrees(found->frame, desktop->frameOf(*window)))
            << title << " listed at " << found->frame.x << "," << found->frame.y << " "
            << found->frame.width << "x" << found->frame.height;
        EXPECT_TRUE(found->isOnScreen);
        EXPECT_FALSE(found->isMinimized);
        EXPECT_FALSE(found->isFullScreen);
        EXPECT_FALSE(found->hasMadeUpNumber());
        EXPECT_EQ(found->applicationName, QStringLiteral("XTerm"));
    }
    // Every window the program saw it also paired: nothing rejected for disagreeing frames.
    const auto event = events.last(QStringLiteral("window-enumeration"));
    ASSERT_TRUE(event);
    EXPECT_EQ(event->fields.value(QStringLiteral("rejectedWindowCount")), QStringLiteral("0"));
    EXPECT_EQ(event->fields.value(QStringLiteral("axTimeoutCount")), QStringLiteral("0"));
    EXPECT_EQ(event->fields.value(QStringLiteral("axWindowCount")),
              event->fields.value(QStringLiteral("matchedWindowCount")));
}

TEST_F(X11WindowServiceTest, FocusActivatesTheChosenXterm) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    const auto beta = desktop->findClient(QStringLiteral("pellucine-beta"));
    ASSERT_TRUE(alpha && beta);
    for (const auto& [title, window] :
         {std::pair{"pellucine-beta", *beta}, std::pair{"pellucine-alpha", *alpha}}) {
        const auto descriptor = describe(QString::fromLatin1(title));
        ASSERT_TRUE(descriptor);
        service->performWindowAction(WindowAction::focus(), *descriptor);
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            return desktop->activeWindow() == window && desktop->stacking().value(0) == window;
        })) << title;
    }
}

TEST_F(X11WindowServiceTest, FocusBringsBackTheChosenMinimizedWindowNotItsApplicationsOther) {
    testing::TestClient client;
    const auto shown = client.openWindow(*desktop, QStringLiteral("service-focus-shown"));
    const auto hidden = client.openWindow(*desktop, QStringLiteral("service-focus-hidden"));
    ASSERT_TRUE(shown && hidden);
    desktop->sendToRoot(*hidden, "WM_CHANGE_STATE", {3, 0, 0, 0, 0});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(*hidden) == 3; }));
    const auto descriptor = describe(QStringLiteral("service-focus-hidden"));
    ASSERT_TRUE(descriptor);
    ASSERT_TRUE(descriptor->isMinimized);

    // Asked before the window manager has restored it: the program's own view still has it
    // minimized when the application is activated.
    service->performWindowAction(WindowAction::focus(), *descriptor);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return desktop->activeWindow() == *hidden && desktop->wmState(*hidden) == 1;
    })) << "active "
        << desktop->activeWindow() << ", chosen " << *hidden;
    testing::settle(port->state().connection());
    EXPECT_EQ(desktop->activeWindow(), *hidden);
    EXPECT_EQ(desktop->stacking().mid(0, 2), (QList<xcb_window_t>{*hidden, *shown}));
}

TEST_F(X11WindowServiceTest, MinimizeAndRestoreActOnTheChosenXtermOnly) {
    TestXterm target(*desktop, QStringLiteral("service-minimize"), "50x12+100+120");
    TestXterm bystander(*desktop, QStringLiteral("service-bystander"), "50x12+500+120");
    ASSERT_TRUE(target.window() && bystander.window());
    const xcb_window_t window = *target.window();

    const auto shown = describe(QStringLiteral("service-minimize"));
    ASSERT_TRUE(shown);
    service->performWindowAction(WindowAction::minimize(), *shown);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->wmState(window) == 3; }));
    EXPECT_EQ(desktop->wmState(*bystander.window()), 1u);

    const auto minimized = describe(QStringLiteral("service-minimize"));
    ASSERT_TRUE(minimized);
    EXPECT_TRUE(minimized->isMinimized);
    EXPECT_FALSE(minimized->isOnScreen);
    EXPECT_EQ(minimized->id, window);

    service->performWindowAction(WindowAction::restore(), *minimized);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->wmState(window) == 1 && desktop->isViewable(window); }));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->stacking().value(0) == window; }));
    EXPECT_TRUE(desktop->isViewable(*bystander.window()));
}

TEST_F(X11WindowServiceTest, PlaceMovesTheChosenXtermOntoTheLeftHalf) {
    TestXterm target(*desktop, QStringLiteral("service-place"), "50x12+700+300");
    TestXterm bystander(*desktop, QStringLiteral("service-place-bystander"), "40x10+900+100");
    ASSERT_TRUE(target.window() && bystander.window());
    const xcb_window_t window = *target.window();
    const QRect bystanderFrame = desktop->frameOf(*bystander.window());

    const auto descriptor = describe(QStringLiteral("service-place"));
    ASSERT_TRUE(descriptor);
    service->performWindowAction(WindowAction::place(WindowPlacement::leftHalf), *descriptor);

    // The left half of the 1280 x 800 screen, short of it by less than one character cell.
    const auto inLeftHalf = [&] {
        const QRect f = desktop->frameOf(window);
        return f.topLeft() == QPoint(0, 0) && f.width() <= 640 && f.width() > 640 - 6 &&
               f.height() <= 800 && f.height() > 800 - 13;
    };
    EXPECT_TRUE(X11TestDesktop::waitUntil(inLeftHalf))
        << desktop->frameOf(window).x() << "," << desktop->frameOf(window).y() << " "
        << desktop->frameOf(window).width() << "x" << desktop->frameOf(window).height();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window; }));
    EXPECT_EQ(desktop->frameOf(*bystander.window()), bystanderFrame);

    // What the program lists afterwards is where the window is.
    const auto placed = describe(QStringLiteral("service-place"));
    ASSERT_TRUE(placed);
    EXPECT_TRUE(agrees(placed->frame, desktop->frameOf(window)));
}

TEST_F(X11WindowServiceTest, CloseAsksTheChosenXtermToQuit) {
    TestXterm target(*desktop, QStringLiteral("service-close"), "40x10+100+400");
    TestXterm bystander(*desktop, QStringLiteral("service-close-bystander"), "40x10+500+400");
    ASSERT_TRUE(target.window() && bystander.window());

    const auto descriptor = describe(QStringLiteral("service-close"));
    ASSERT_TRUE(descriptor);
    service->performWindowAction(WindowAction::close(), *descriptor);
    EXPECT_TRUE(target.process().waitForFinished(8000));
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !desktop->findClient(QStringLiteral("service-close")); }));
    EXPECT_EQ(bystander.process().state(), QProcess::Running);
    EXPECT_TRUE(desktop->isViewable(*bystander.window()));
}

TEST_F(X11WindowServiceTest, FullScreenFollowsTheDescriptorsFlag) {
    TestXterm target(*desktop, QStringLiteral("service-fullscreen"), "40x10+300+200");
    ASSERT_TRUE(target.window());
    const xcb_window_t window = *target.window();
    const xcb_atom_t fullScreen = desktop->atom("_NET_WM_STATE_FULLSCREEN");

    const auto descriptor = describe(QStringLiteral("service-fullscreen"));
    ASSERT_TRUE(descriptor);
    service->performWindowAction(WindowAction::toggleFullScreen(), *descriptor);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->netWmState(window).contains(fullScreen); }));

    const auto full = describe(QStringLiteral("service-fullscreen"));
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->isFullScreen);
    EXPECT_TRUE(agrees(full->frame, QRect(0, 0, 1280, 800)));
    service->performWindowAction(WindowAction::toggleFullScreen(), *full);
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !desktop->netWmState(window).contains(fullScreen); }));
}

TEST_F(X11WindowServiceTest, AWindowGoneSinceTheSnapshotIsNoLongerAvailable) {
    std::optional<WindowDescriptor> descriptor;
    {
        TestXterm doomed(*desktop, QStringLiteral("service-doomed"));
        ASSERT_TRUE(doomed.window());
        descriptor = describe(QStringLiteral("service-doomed"));
        ASSERT_TRUE(descriptor);
        doomed.process().kill();
        ASSERT_TRUE(X11TestDesktop::waitUntil(
            [&] { return !desktop->clients().contains(*doomed.window()); }));
    }
    for (const WindowAction action :
         {WindowAction::focus(), WindowAction::minimize(), WindowAction::close(),
          WindowAction::place(WindowPlacement::rightHalf)}) {
        try {
            service->performWindowAction(action, *descriptor);
            ADD_FAILURE() << "acted on a window that is gone: " << action.textForm().toStdString();
        } catch (const WindowServiceError& error) {
            EXPECT_EQ(error.errorCase(), WindowServiceError::Case::windowUnavailable);
            EXPECT_EQ(error.localizedDescription(),
                      QStringLiteral("The window is no longer available."));
        }
    }

    // Nothing else broke: the fixture's xterms are still listed and can be acted on.
    const auto alpha = describe(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    EXPECT_TRUE(describe(QStringLiteral("pellucine-beta")));
    EXPECT_NO_THROW(service->performWindowAction(WindowAction::focus(), *alpha));
    EXPECT_FALSE(port->state().connection().hasError());
}

TEST_F(X11WindowServiceTest, AWindowMovedSinceTheSnapshotIsNoLongerAvailable) {
    TestXterm target(*desktop, QStringLiteral("service-moved"), "40x10+100+100");
    ASSERT_TRUE(target.window());
    const auto descriptor = describe(QStringLiteral("service-moved"));
    ASSERT_TRUE(descriptor);
    port->state().requests().move(*port->state().window(*target.window()), QPoint(400, 300));
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->frameOf(*target.window()).topLeft() == QPoint(400, 300); }));
    port->state().invalidate();
    EXPECT_THROW(service->performWindowAction(WindowAction::minimize(), *descriptor),
                 WindowServiceError);
    EXPECT_EQ(desktop->wmState(*target.window()), 1u);
}

}  // namespace
}  // namespace pellucine
