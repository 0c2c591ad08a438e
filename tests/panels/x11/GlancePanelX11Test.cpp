#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "X11PanelTest.h"
#include "panels/DesktopEntryIcons.h"
#include "panels/FloatingPanel.h"
#include "panels/FontTextMeasurer.h"
#include "panels/GlanceContentView.h"
#include "panels/PanelFrames.h"
#include "panels/SwitcherPanelController.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11TestDesktop;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The preview panel of the program over the X11 port, with the model listing the real windows.
// Clicking a tile focuses its window through the model, as the coordinator does.
class GlancePanelX11Test : public testing::X11PanelTest {
  protected:
    void SetUp() override {
        X11PanelTest::SetUp();
        if (IsSkipped() || !model) {
            return;
        }
        SwitcherPanelCallbacks callbacks;
        callbacks.onSelect = [this](const WindowDescriptor& window) {
            selected.append(window.id);
            model->performWindowAction(WindowAction::focus(), window);
        };
        controller = std::make_unique<SwitcherPanelController>(*model, environment(), callbacks);
        alpha = desktop->findClient(QStringLiteral("pellucine-alpha")).value_or(XCB_NONE);
        beta = desktop->findClient(QStringLiteral("pellucine-beta")).value_or(XCB_NONE);
        ASSERT_NE(alpha, XCB_NONE);
        ASSERT_NE(beta, XCB_NONE);
    }
    void TearDown() override {
        controller.reset();
        X11PanelTest::TearDown();
    }

    WindowDescriptor listed(xcb_window_t window) {
        for (const WindowDescriptor& w : listedWindows()) {
            if (w.id == window) {
                return w;
            }
        }
        ADD_FAILURE() << "window " << window << " is not listed";
        return {};
    }
    // Focuses the window through the model and waits until the window manager made it active.
    void focus(xcb_window_t window) {
        ASSERT_TRUE(model->performWindowAction(WindowAction::focus(), listed(window)));
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == window; }));
    }
    xcb_window_t panelWindow() const {
        return static_cast<xcb_window_t>(controller->panel().winId());
    }
    // Shows the panel above the strip and waits until the server shows it at `expected`.
    void showAboveStrip(const ScreenRect& strip) {
        SwitcherPanelShowOptions options;
        options.switcherFrame = strip;
        options.showsSearchHint = true;
        controller->show(options);
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return desktop->isViewable(panelWindow()) &&
                   desktop->frameOf(panelWindow()) == controller->panel().geometry();
        }));
    }
    // Returns once the window manager has handled every event sent to it before the call: it
    // carries out a state change asked after them, in order. The client must not be the active
    // window, which never demands attention.
    void windowManagerBarrier(xcb_window_t client) {
        const xcb_atom_t attention = desktop->atom("_NET_WM_STATE_DEMANDS_ATTENTION");
        for (const bool add : {true, false}) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = client;
            event.type = desktop->atom("_NET_WM_STATE");
            event.data.data32[0] = add ? 1 : 0;
            event.data.data32[1] = attention;
            event.data.data32[3] = 1;
            xcb_send_event(
                desktop->get(), 0, desktop->root(),
                XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                reinterpret_cast<const char*>(&event));
            desktop->sync();
            ASSERT_TRUE(X11TestDesktop::waitUntil(
                [&] { return desktop->netWmState(client).contains(attention) == add; }));
        }
    }
    xcb_window_t inputFocus() const {
        const Reply<xcb_get_input_focus_reply_t> reply(
            xcb_get_input_focus_reply(desktop->get(), xcb_get_input_focus(desktop->get()), nullptr),
            &std::free);
        return reply ? reply->focus : static_cast<xcb_window_t>(XCB_NONE);
    }
    // Top-level windows, bottom to top.
    QList<xcb_window_t> rootChildren() const {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(desktop->get(), xcb_query_tree(desktop->get(), desktop->root()),
                                 nullptr),
            &std::free);
        QList<xcb_window_t> children;
        if (tree) {
            const xcb_window_t* all = xcb_query_tree_children(tree.get());
            for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
                children.append(all[i]);
            }
        }
        return children;
    }
    // The window manager's frame holding the client: its ancestor just below the root.
    xcb_window_t topLevelOf(xcb_window_t window) const {
        for (xcb_window_t w = window;;) {
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(desktop->get(), xcb_query_tree(desktop->get(), w), nullptr),
                &std::free);
            if (!tree) {
                return XCB_NONE;
            }
            if (tree->parent == desktop->root()) {
                return w;
            }
            w = tree->parent;
        }
    }
    void click(QPoint rootPosition) {
        xcb_connection_t* c = desktop->get();
        const auto x = static_cast<int16_t>(rootPosition.x());
        const auto y = static_cast<int16_t>(rootPosition.y());
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop->root(), x, y, 0);
        xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        desktop->sync();
    }
    // A strip of 600 × 120 centred low on the main screen.
    ScreenRect stripFrame() const {
        const Screen main = port->screenLayout().screens().value(0);
        return {main.visibleFrame.midX() - 300, main.visibleFrame.minY() + 100, 600, 120};
    }

    std::unique_ptr<SwitcherPanelController> controller;
    QList<quint32> selected;
    xcb_window_t alpha = XCB_NONE;
    xcb_window_t beta = XCB_NONE;
};

TEST_F(GlancePanelX11Test, ThePanelStandsAboveTheStripOnEveryDesktopWithoutTakingFocus) {
    focus(alpha);
    model->switcherSelection().set({{listed(alpha), listed(beta)}, 0});
    const ScreenRect strip = stripFrame();
    showAboveStrip(strip);

    // Measured on the server: the panel's bottom edge 10 above the strip's top, centred on the
    // main screen.
    const QRect frame = desktop->frameOf(panelWindow());
    const Screen main = port->screenLayout().screens().value(0);
    const double mainHeight = main.frame.height;
    EXPECT_EQ(frame.y() + frame.height(), static_cast<int>(mainHeight - strip.maxY() - 10));
    EXPECT_NEAR(frame.x() + frame.width() / 2.0, main.visibleFrame.midX(), 1.0);
    EXPECT_EQ(controller->panelFrame().y, strip.maxY() + 10);

    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(
            desktop->get(), xcb_get_window_attributes(desktop->get(), panelWindow()), nullptr),
        &std::free);
    ASSERT_TRUE(attributes);
    EXPECT_TRUE(attributes->override_redirect);
    const QList<quint32> states = desktop->netWmState(panelWindow());
    EXPECT_TRUE(states.contains(desktop->atom("_NET_WM_STATE_ABOVE")));
    EXPECT_TRUE(states.contains(desktop->atom("_NET_WM_STATE_STICKY")));
    EXPECT_TRUE(states.contains(desktop->atom("_NET_WM_STATE_SKIP_TASKBAR")));
    const Reply<xcb_get_property_reply_t> onDesktop(
        xcb_get_property_reply(
            desktop->get(),
            xcb_get_property(desktop->get(), 0, panelWindow(), desktop->atom("_NET_WM_DESKTOP"),
                             XCB_ATOM_CARDINAL, 0, 1),
            nullptr),
        &std::free);
    ASSERT_TRUE(onDesktop && xcb_get_property_value_length(onDesktop.get()) == 4);
    EXPECT_EQ(*static_cast<const uint32_t*>(xcb_get_property_value(onDesktop.get())), 0xFFFFFFFFu);

    // Whatever the window manager made of the showing, it has done by now.
    windowManagerBarrier(beta);
    EXPECT_EQ(desktop->activeWindow(), alpha);
    EXPECT_NE(inputFocus(), panelWindow());

    controller->hide();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop->isViewable(panelWindow()); }));
    EXPECT_EQ(desktop->activeWindow(), alpha);
}

TEST_F(GlancePanelX11Test, APreparedPanelWaitsUnmappedAndItsFirstShowingMapsThatWindow) {
    controller->prepare();
    const auto prepared = static_cast<xcb_window_t>(controller->panel().internalWinId());
    ASSERT_NE(prepared, XCB_NONE);
    Reply<xcb_get_window_attributes_reply_t> attributes(nullptr, &std::free);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        attributes.reset(xcb_get_window_attributes_reply(
            desktop->get(), xcb_get_window_attributes(desktop->get(), prepared), nullptr));
        return attributes != nullptr;
    })) << "the prepared window is not on the server";
    EXPECT_TRUE(attributes->override_redirect);
    EXPECT_EQ(attributes->map_state, XCB_MAP_STATE_UNMAPPED);

    model->switcherSelection().set({{listed(alpha), listed(beta)}, 0});
    showAboveStrip(stripFrame());
    EXPECT_EQ(panelWindow(), prepared);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return desktop->netWmState(prepared).contains(desktop->atom("_NET_WM_STATE_ABOVE"));
    }));
}

TEST_F(GlancePanelX11Test, AClickOnATileActivatesThatWindowAndNotThePanel) {
    focus(alpha);
    model->switcherSelection().set({{listed(alpha), listed(beta)}, 0});
    showAboveStrip(stripFrame());
    const WindowItem* betaTile = controller->content()->items().value(1);
    ASSERT_NE(betaTile, nullptr);
    ASSERT_EQ(betaTile->state().window.id, beta);

    click(betaTile->mapToGlobal(betaTile->rect().center()));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == beta; }));
    EXPECT_EQ(selected, QList<quint32>{beta});
    windowManagerBarrier(alpha);
    EXPECT_EQ(desktop->activeWindow(), beta);
    EXPECT_NE(inputFocus(), panelWindow());
    controller->hide();
}

TEST_F(GlancePanelX11Test, ThePanelStaysAboveAFocusedFullScreenWindow) {
    TestXterm full(*desktop, QStringLiteral("glance-full-screen"));
    ASSERT_TRUE(full.window());
    const xcb_window_t window = *full.window();
    focus(window);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = desktop->atom("_NET_WM_STATE");
    event.data.data32[0] = 1;
    event.data.data32[1] = desktop->atom("_NET_WM_STATE_FULLSCREEN");
    event.data.data32[3] = 1;
    xcb_send_event(desktop->get(), 0, desktop->root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    desktop->sync();
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        return desktop->netWmState(window).contains(desktop->atom("_NET_WM_STATE_FULLSCREEN"));
    }));

    model->switcherSelection().set({{listed(window)}, 0});
    showAboveStrip(stripFrame());
    windowManagerBarrier(alpha);
    const QList<xcb_window_t> order = rootChildren();
    const xcb_window_t fullFrame = topLevelOf(window);
    ASSERT_NE(fullFrame, XCB_NONE);
    EXPECT_GT(order.indexOf(panelWindow()), order.indexOf(fullFrame));
    EXPECT_EQ(desktop->activeWindow(), window);
    controller->hide();
}

}  // namespace
}  // namespace pellucine
