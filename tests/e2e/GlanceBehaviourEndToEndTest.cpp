#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "EndToEndSession.h"
#include "EndToEndTest.h"
#include "X11TestDesktop.h"
#include "platform/x11/shell/X11DockLayout.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::ShownWindow;
using testing::X11TestDesktop;

constexpr const char* strip = "Pellucine Switcher";
constexpr const char* glance = "Pellucine previews";
constexpr const char* dock = "Pellucine Dock";

// The program on a desktop of two one-window applications, xclock mapped first and xlogo last
// (so xlogo has the focus and xclock comes second in the strip).
class GlanceBehaviourEndToEndTest : public testing::EndToEndTest {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(error)) << error.toStdString();
        xclock = session.startClient(QStringLiteral("xclock"), {"-geometry", "160x160+260+300"},
                                     QStringLiteral("xclock"));
        ASSERT_TRUE(xclock) << "xclock did not appear";
        xlogo = session.startClient(QStringLiteral("xlogo"), {"-geometry", "160x160+60+300"},
                                    QStringLiteral("xlogo"));
        ASSERT_TRUE(xlogo) << "xlogo did not appear";
        ASSERT_TRUE(becomesActive(*xlogo));
        ASSERT_TRUE(session.startProgram(2, error)) << error.toStdString();
    }

    static auto from(const QString& source) {
        return [source](const QJsonObject& e) { return e.value("source").toString() == source; };
    }

    std::optional<xcb_window_t> xclock;
    std::optional<xcb_window_t> xlogo;
};

TEST_F(GlanceBehaviourEndToEndTest, TheGlanceOfAOneWindowApplicationKeepsItsGapAboveTheStrip) {
    const qsizetype before = mark();
    superTab();
    std::optional<ShownWindow> stripWindow;
    std::optional<ShownWindow> glanceWindow;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(strip), stripWindow));
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, from("command-tab")));
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    // The panel's bottom at least 10 above the strip's top, its top on the screen.
    EXPECT_LE(glanceWindow->rect.bottom() + 1, stripWindow->rect.top() - 10)
        << "glance " << glanceWindow->rect.bottom() << ", strip " << stripWindow->rect.top();
    EXPECT_GE(glanceWindow->rect.top(), 0);
    releaseSuper();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
}

TEST_F(GlanceBehaviourEndToEndTest, EscapeWithSuperHeldTakesDownTheStripAndTheGlance) {
    const qsizetype before = mark();
    superTab();
    std::optional<ShownWindow> glanceWindow;
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, from("command-tab")));
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    tap(testing::escape);
    // Super is still held: both go all the same, and nothing is switched.
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(strip)));
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
    releaseSuper();
    EXPECT_EQ(desktop().activeWindow(), *xlogo);
}

TEST_F(GlanceBehaviourEndToEndTest, AWarpedPointerOverADockIconOpensItsGlance) {
    std::optional<ShownWindow> bar;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(dock), bar));
    const X11DockLayout layout = X11DockLayout::compute(2, QRect(0, 0, 1280, 800), 1.0);
    ASSERT_EQ(layout.items.size(), 2);
    ASSERT_EQ(bar->rect, layout.bar);
    // Put there by a request, as automation does: no device moves.
    for (const int item : {0, 1}) {
        const qsizetype before = mark();
        const QPoint target = bar->rect.topLeft() + layout.items[item].center();
        xcb_warp_pointer(desktop().get(), XCB_NONE, desktop().root(), 0, 0, 0, 0,
                         static_cast<qint16>(target.x()), static_cast<qint16>(target.y()));
        desktop().sync();
        ASSERT_TRUE(session.waitForEvent("glance-shown", before, from("dock-hover")))
            << "item " << item;
    }
    std::optional<ShownWindow> glanceWindow;
    EXPECT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    // Warped far from the Dock and the panel, the glance goes.
    xcb_warp_pointer(desktop().get(), XCB_NONE, desktop().root(), 0, 0, 0, 0, 1200, 40);
    desktop().sync();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
}

// Any client may write the root's lists: 65,536 windows that never were, below the real ones,
// leave the next glance as quick to come as ever.
TEST_F(GlanceBehaviourEndToEndTest, AGlanceComesRightAfterAHugeBogusStackingList) {
    xcb_connection_t* c = desktop().get();
    const xcb_atom_t stacking = desktop().atom("_NET_CLIENT_LIST_STACKING");
    QList<xcb_window_t> bottomToTop;
    for (xcb_window_t window = 0x1e000000; bottomToTop.size() < 65536; ++window) {
        bottomToTop.append(window);
    }
    QList<xcb_window_t> real = desktop().stacking();
    std::reverse(real.begin(), real.end());
    bottomToTop.append(real);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, desktop().root(), stacking, XCB_ATOM_WINDOW, 32,
                        static_cast<uint32_t>(bottomToTop.size()), bottomToTop.constData());
    desktop().sync();

    const qsizetype before = mark();
    superTab();
    ASSERT_TRUE(session.waitForEvent("glance-shown", before, from("command-tab")));
    std::optional<ShownWindow> glanceWindow;
    EXPECT_TRUE(session.waitUntilShown(QString::fromLatin1(glance), glanceWindow));
    // The list was still the bogus one when the glance came.
    xcb_get_property_reply_t* length = xcb_get_property_reply(
        c, xcb_get_property(c, 0, desktop().root(), stacking, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr);
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length->bytes_after / 4, static_cast<uint32_t>(bottomToTop.size()));
    std::free(length);
    releaseSuper();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
}

}  // namespace
}  // namespace pellucine
