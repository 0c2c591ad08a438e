#include <gmock/gmock.h>

#include <QSet>

#include "X11TestDesktop.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

QSet<quint32> asSet(const QList<xcb_window_t>& windows) {
    return {windows.begin(), windows.end()};
}

class X11LiveWindowsTest : public X11PortTest {};

TEST_F(X11LiveWindowsTest, TheLiveNumbersAreTheClientsMinimizedOnesIncluded) {
    std::optional<xcb_window_t> gone;
    {
        TestXterm closing(*desktop, QStringLiteral("live-numbers-closing"));
        ASSERT_TRUE(closing.window());
        gone = closing.window();
        TestXterm minimized(*desktop, QStringLiteral("live-numbers-minimized"));
        ASSERT_TRUE(minimized.window());
        port->state().requests().iconify(*minimized.window());
        ASSERT_TRUE(
            X11TestDesktop::waitUntil([&] { return desktop->wmState(*minimized.window()) == 3; }));

        const QSet<quint32> live = port->windowList().liveWindowNumbers();
        EXPECT_EQ(live, asSet(desktop->clients()));
        EXPECT_TRUE(live.contains(*minimized.window()));
        EXPECT_TRUE(live.contains(*closing.window()));
    }
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return !desktop->clients().contains(*gone); }));
    EXPECT_FALSE(port->windowList().liveWindowNumbers().contains(*gone));
}

}  // namespace
}  // namespace pellucine
