#include <gmock/gmock.h>

#include "platform/linux/ProcessInfo.h"
#include "platform/x11/X11ApplicationRegistry.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/X11WindowInfo.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

X11WindowInfo client(xcb_window_t window, xcb_window_t leader = XCB_NONE,
                     const QString& windowClass = QStringLiteral("XLogo")) {
    X11WindowInfo info;
    info.window = window;
    info.clientLeader = leader;
    info.isViewable = true;
    info.resourceName = windowClass.toLower();
    info.resourceClass = windowClass;
    return info;
}

TEST(X11ProcessStandInTest, WindowsWithoutAProcessShareAnOwnerPerLeaderAndKeepKnownOnes) {
    X11WindowInfo known = client(0x400001, 0x400001);
    known.pid = 321;
    X11WindowInfo dialog = client(0x600009);
    dialog.transientFor = 0x600003;
    QList<X11WindowInfo> windows{known, client(0x600003, 0x600003), client(0x600005, 0x600003),
                                 dialog, client(0x800002, 0x800001, QStringLiteral("XClock")),
                                 client(0x800004),
                                 // The largest window id there is.
                                 client(0x1FFFFFFF)};
    assignProcessStandIns(windows);

    EXPECT_EQ(windows[0].pid, 321);
    ASSERT_TRUE(windows[1].pid && windows[5].pid && windows[6].pid);
    EXPECT_EQ(windows[1].pid, windows[2].pid);
    // Transient for the leader: the same owner.
    EXPECT_EQ(windows[3].pid, windows[1].pid);
    EXPECT_NE(windows[4].pid, windows[1].pid);
    EXPECT_NE(windows[5].pid, windows[4].pid);
    for (const X11WindowInfo& info : windows.mid(1)) {
        EXPECT_GT(*info.pid, ProcessInfo::kernelPidCeiling);
        EXPECT_NE(*info.pid, X11ShellContent::processIdentifier);
        EXPECT_FALSE(ProcessInfo::isPlausiblePid(*info.pid, ProcessInfo::kernelPidCeiling));
    }
}

TEST(X11ProcessStandInTest, ClientsWithoutAProcessAreApplicationsOfTheirOwn) {
    testing::TempFolder proc;
    X11ApplicationRegistry registry(DesktopEntries{}, ProcessInfo(proc.path()));
    X11WindowInfo terminal = client(0x400001, 0x400001, QStringLiteral("XTerm"));
    terminal.pid = 500;
    QList<X11WindowInfo> windows{terminal, client(0x600003, 0x600003, QStringLiteral("XClock")),
                                 client(0x800003, 0x800003), client(0x800005, 0x800003)};
    assignProcessStandIns(windows);
    X11DesktopSnapshot snapshot;
    snapshot.windows = windows;
    snapshot.mappingOrder = {0x400001, 0x600003, 0x800003, 0x800005};
    snapshot.activeWindow = 0x800005;

    const QList<X11Application> apps = registry.applications(snapshot);
    ASSERT_EQ(apps.size(), 3);
    EXPECT_EQ(apps[0].pid, 500);
    EXPECT_EQ(apps[1].identity.name, QStringLiteral("XClock"));
    EXPECT_EQ(apps[1].policy, X11ActivationPolicy::regular);
    EXPECT_EQ(apps[2].identity.name, QStringLiteral("XLogo"));
    EXPECT_EQ(apps[2].windows, (QList<xcb_window_t>{0x800003, 0x800005}));
    EXPECT_TRUE(apps[2].isActive);
    // No process to look up behind a stand-in.
    EXPECT_FALSE(apps[2].identity.location);
}

}  // namespace
}  // namespace pellucine
