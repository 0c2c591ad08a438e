#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QFile>

#include "X11TestDesktop.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Error.h"
#include "platform/x11/X11WindowReader.h"

namespace pellucine {
namespace {

using testing::X11Test;

class X11WindowReaderTest : public X11Test {
  protected:
    static qint32 fixturePid(const char* name) {
        QFile file(QStringLiteral(PELLUCINE_X11_STATE "/%1.pid").arg(QLatin1String(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : -1;
    }
};

TEST_F(X11WindowReaderTest, ListsBothXtermsWithTitlesOwnersAndFrames) {
    const X11DesktopSnapshot snapshot = X11WindowReader(*connection).read();
    for (const auto& [title, pidFile] :
         {std::pair{"pellucine-alpha", "xterm-alpha"}, std::pair{"pellucine-beta", "xterm-beta"}}) {
        const auto window = desktop->findClient(QString::fromLatin1(title));
        ASSERT_TRUE(window) << title;
        const X11WindowInfo* info = snapshot.find(*window);
        ASSERT_NE(info, nullptr) << title;
        EXPECT_EQ(info->title, QString::fromLatin1(title));
        EXPECT_EQ(info->pid, fixturePid(pidFile));
        EXPECT_EQ(info->type, X11WindowType::normal);
        EXPECT_EQ(info->layer(), 0);
        EXPECT_EQ(info->resourceClass, QStringLiteral("XTerm"));
        EXPECT_TRUE(info->acceptsDelete);
        EXPECT_TRUE(info->isOnScreen());
        EXPECT_FALSE(info->isMinimized());
        // The frame the window manager draws, found here through the window tree instead of the
        // frame extents.
        const QRect frame = desktop->frameOf(*window);
        EXPECT_EQ(info->frameRect(), frame) << title;
        EXPECT_GT(info->extents.top, 0) << "openbox draws a title bar";
    }
}

TEST_F(X11WindowReaderTest, OrdersClientsFrontToBackAndKnowsTheActiveOne) {
    const X11DesktopSnapshot snapshot = X11WindowReader(*connection).read();
    QList<xcb_window_t> read;
    for (const X11WindowInfo& info : snapshot.windows) {
        read.append(info.window);
    }
    EXPECT_EQ(read, desktop->stacking());
    EXPECT_EQ(snapshot.activeWindow, desktop->activeWindow());
    EXPECT_EQ(snapshot.mappingOrder, desktop->clients());
}

TEST_F(X11WindowReaderTest, LeavesOutWindowsThatAreGone) {
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    // An id the server never handed out stands for a window destroyed after the list was read.
    const xcb_window_t never = 0x1fffffff;
    const X11WindowReader reader(*connection);
    const QList<X11WindowInfo> windows = reader.readWindows({never, *alpha, never}, 0);
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.first().window, *alpha);
    EXPECT_FALSE(reader.readWindow(never));
}

TEST_F(X11WindowReaderTest, ReadsOwnerThroughTheServerWhenTheClientPublishesNone) {
    // A window of the test's own connection without _NET_WM_PID: the server still knows the
    // process behind it.
    xcb_connection_t* c = desktop->get();
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, desktop->root(), 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    desktop->sync();
    const auto info = X11WindowReader(*connection).readWindow(window);
    xcb_destroy_window(c, window);
    xcb_flush(c);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pid, static_cast<qint32>(QCoreApplication::applicationPid()));
    EXPECT_FALSE(info->isViewable);
    EXPECT_FALSE(info->isOnScreen());
}

TEST_F(X11WindowReaderTest, TellsTypesFromTheirAtomsInOrderOfPreference) {
    const X11Atoms& atoms = connection->atoms();
    EXPECT_EQ(windowTypeFromAtoms({atoms._NET_WM_WINDOW_TYPE_DIALOG}, atoms),
              X11WindowType::dialog);
    // The first known type wins; unknown ones before it are passed over.
    const quint32 unknown = atoms._PELLUCINE_TIMESTAMP;
    EXPECT_EQ(
        windowTypeFromAtoms(
            {unknown, atoms._NET_WM_WINDOW_TYPE_DOCK, atoms._NET_WM_WINDOW_TYPE_NORMAL}, atoms),
        X11WindowType::dock);
    EXPECT_EQ(windowTypeFromAtoms({unknown}, atoms), std::nullopt);
    EXPECT_EQ(windowTypeFromAtoms({}, atoms), std::nullopt);

    EXPECT_EQ(layerOf(X11WindowType::normal), 0);
    EXPECT_EQ(layerOf(X11WindowType::dialog), 0);
    for (const X11WindowType other :
         {X11WindowType::utility, X11WindowType::dock, X11WindowType::menu, X11WindowType::tooltip,
          X11WindowType::notification, X11WindowType::desktop}) {
        EXPECT_NE(layerOf(other), 0);
    }
    EXPECT_LT(layerOf(X11WindowType::desktop), 0);
}

TEST(X11ConnectionTest, RefusesADisplayWithoutServer) {
    try {
        X11Connection connection(":4711");
        FAIL() << "connected to a display without server";
    } catch (const X11Error& error) {
        EXPECT_THAT(error.localizedDescription().toStdString(), ::testing::HasSubstr(":4711"));
        EXPECT_EQ(error.typeName(), QStringLiteral("pellucine.X11Error"));
    }
}

}  // namespace
}  // namespace pellucine
