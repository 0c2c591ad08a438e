#include <gtest/gtest.h>

#include "coordination/FocusStamps.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

WindowDescriptor window(quint32 id, bool onScreen = true, bool minimized = false) {
    WindowDescriptor w;
    w.id = id;
    w.isOnScreen = onScreen;
    w.isMinimized = minimized;
    return w;
}

ApplicationDescriptor application(qint32 pid, bool active, QList<WindowDescriptor> windows) {
    ApplicationDescriptor a;
    a.processIdentifier = pid;
    a.isActive = active;
    a.windows = std::move(windows);
    return a;
}

std::optional<QDateTime> stampOf(const QList<ApplicationDescriptor>& listing, quint32 id) {
    for (const ApplicationDescriptor& a : listing) {
        for (const WindowDescriptor& w : a.windows) {
            if (w.id == id) {
                return w.lastFocusedAt;
            }
        }
    }
    return std::nullopt;
}

TEST(FocusStampsTest, TheActiveApplicationsFrontWindowIsStampedWhenItGainsTheFocus) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    FocusStamps stamps;
    // A minimized or hidden front window is passed over; inactive applications are not read.
    QList<ApplicationDescriptor> listing{
        application(1, false, {window(10)}),
        application(2, true, {window(20, true, true), window(21, false), window(22), window(23)})};
    stamps.apply(listing, t);
    EXPECT_EQ(stampOf(listing, 22), t);
    EXPECT_FALSE(stampOf(listing, 10));
    EXPECT_FALSE(stampOf(listing, 20));
    EXPECT_FALSE(stampOf(listing, 23));

    // Still focused later: the stamp stays when the focus began.
    stamps.apply(listing, t.addSecs(5));
    EXPECT_EQ(stampOf(listing, 22), t);

    // Another window of the same application comes to the front: it is the later one.
    listing[1].windows = {window(23), window(22)};
    stamps.apply(listing, t.addSecs(9));
    EXPECT_EQ(stampOf(listing, 23), t.addSecs(9));
    EXPECT_EQ(stampOf(listing, 22), t);

    // Focus back on 22: stamped anew; a window gone is forgotten, even when its number returns.
    listing[1].windows = {window(22)};
    stamps.apply(listing, t.addSecs(12));
    EXPECT_EQ(stampOf(listing, 22), t.addSecs(12));
    listing[1].windows = {window(22), window(23)};
    stamps.apply(listing, t.addSecs(13));
    EXPECT_FALSE(stampOf(listing, 23));

    // No active application: nothing new is stamped, the earlier stamps are kept.
    listing[1].isActive = false;
    stamps.apply(listing, t.addSecs(20));
    EXPECT_EQ(stampOf(listing, 22), t.addSecs(12));
    EXPECT_FALSE(stampOf(listing, 23));
}

TEST(FocusStampsTest, ADateTheListingBringsIsKept) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    FocusStamps stamps;
    WindowDescriptor dated = window(5, false);
    dated.lastFocusedAt = t.addSecs(-60);
    QList<ApplicationDescriptor> listing{application(1, true, {dated})};
    stamps.apply(listing, t);
    EXPECT_EQ(stampOf(listing, 5), t.addSecs(-60));
    QList<ApplicationDescriptor> empty;
    stamps.apply(empty, t);
    EXPECT_TRUE(empty.isEmpty());
}

}  // namespace
}  // namespace pellucine
