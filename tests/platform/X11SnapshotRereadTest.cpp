#include <gtest/gtest.h>

#include "platform/x11/X11SnapshotChanges.h"
#include "platform/x11/X11WindowReader.h"

// What a read of the desktop takes again after change events, and what it keeps.
namespace pellucine {
namespace {

constexpr xcb_window_t root = 0x10000000;

template <typename Event>
X11SnapshotChanges changeOf(Event event, uint8_t type) {
    event.response_type = type;
    return X11SnapshotChanges::of(reinterpret_cast<const xcb_generic_event_t&>(event), root);
}

X11WindowInfo info(xcb_window_t window, QString title, std::optional<quint32> desktop = {}) {
    X11WindowInfo result;
    result.window = window;
    result.title = std::move(title);
    result.desktop = desktop;
    return result;
}

QStringList titles(const QList<X11WindowInfo>& windows) {
    QStringList result;
    for (const X11WindowInfo& window : windows) {
        result.append(window.title);
    }
    return result;
}

TEST(X11SnapshotChangesTest, PropertiesOfTheRootAndOfOneClientAreKeptApart) {
    xcb_property_notify_event_t notify{};
    notify.window = root;
    const X11SnapshotChanges onRoot = changeOf(notify, XCB_PROPERTY_NOTIFY);
    EXPECT_TRUE(onRoot.root());
    EXPECT_TRUE(onRoot.windows().isEmpty());
    EXPECT_FALSE(onRoot.everything());

    notify.window = 0x600001;
    // Sent by another client: the flag bit does not hide the kind.
    const X11SnapshotChanges onClient = changeOf(notify, XCB_PROPERTY_NOTIFY | 0x80);
    EXPECT_FALSE(onClient.root());
    EXPECT_EQ(onClient.windows(), QSet<xcb_window_t>{0x600001});
    EXPECT_FALSE(onClient.isEmpty());
}

TEST(X11SnapshotChangesTest, AClientsStructureChangesOnlyThatClient) {
    // The window that changed, not the one the event was reported on.
    xcb_configure_notify_event_t configure{};
    configure.event = 0x500000;
    configure.window = 0x600002;
    EXPECT_EQ(changeOf(configure, XCB_CONFIGURE_NOTIFY).windows(), QSet<xcb_window_t>{0x600002});
    // The window manager's synthetic answer to a move.
    EXPECT_EQ(changeOf(configure, XCB_CONFIGURE_NOTIFY | 0x80).windows(),
              QSet<xcb_window_t>{0x600002});

    xcb_unmap_notify_event_t unmap{};
    unmap.event = 0x500000;
    unmap.window = 0x600003;
    EXPECT_EQ(changeOf(unmap, XCB_UNMAP_NOTIFY).windows(), QSet<xcb_window_t>{0x600003});
    xcb_map_notify_event_t map{};
    map.window = 0x600004;
    EXPECT_EQ(changeOf(map, XCB_MAP_NOTIFY).windows(), QSet<xcb_window_t>{0x600004});
    xcb_destroy_notify_event_t destroy{};
    destroy.window = 0x600005;
    EXPECT_EQ(changeOf(destroy, XCB_DESTROY_NOTIFY).windows(), QSet<xcb_window_t>{0x600005});
    xcb_reparent_notify_event_t reparent{};
    reparent.window = 0x600006;
    reparent.parent = 0x500000;
    EXPECT_EQ(changeOf(reparent, XCB_REPARENT_NOTIFY).windows(), QSet<xcb_window_t>{0x600006});
}

TEST(X11SnapshotChangesTest, AnErrorAboutAGoneWindowChangesOnlyThatWindow) {
    xcb_generic_error_t error{};
    error.response_type = 0;
    error.resource_id = 0x600007;
    for (const uint8_t code : {uint8_t{XCB_WINDOW}, uint8_t{XCB_DRAWABLE}}) {
        error.error_code = code;
        const X11SnapshotChanges change =
            X11SnapshotChanges::of(reinterpret_cast<const xcb_generic_event_t&>(error), root);
        EXPECT_EQ(change.windows(), QSet<xcb_window_t>{0x600007}) << int(code);
        EXPECT_FALSE(change.everything());
    }
    // Other errors name values, not windows.
    for (const uint8_t code : {uint8_t{XCB_VALUE}, uint8_t{XCB_MATCH}, uint8_t{XCB_ATOM}}) {
        error.error_code = code;
        EXPECT_TRUE(
            X11SnapshotChanges::of(reinterpret_cast<const xcb_generic_event_t&>(error), root)
                .everything())
            << int(code);
    }
}

TEST(X11SnapshotChangesTest, AnyOtherEventMayChangeEverything) {
    for (const uint8_t type :
         std::initializer_list<uint8_t>{XCB_CREATE_NOTIFY, XCB_CLIENT_MESSAGE, XCB_MAPPING_NOTIFY,
                                        uint8_t{0}, uint8_t{89}, uint8_t{127}}) {
        xcb_generic_event_t event{};
        EXPECT_TRUE(changeOf(event, type).everything()) << int(type);
    }
}

TEST(X11SnapshotChangesTest, ChangesAddUpUntilCleared) {
    X11SnapshotChanges changes;
    EXPECT_TRUE(changes.isEmpty());
    xcb_property_notify_event_t notify{};
    notify.window = 0x600001;
    changes.add(changeOf(notify, XCB_PROPERTY_NOTIFY));
    notify.window = root;
    changes.add(changeOf(notify, XCB_PROPERTY_NOTIFY));
    changes.addWindows({0x600002, 0x600001});
    EXPECT_TRUE(changes.root());
    EXPECT_EQ(changes.windows(), (QSet<xcb_window_t>{0x600001, 0x600002}));
    EXPECT_FALSE(changes.everything());
    changes.add(changeOf(xcb_generic_event_t{}, XCB_CLIENT_MESSAGE));
    EXPECT_TRUE(changes.everything());
    changes.clear();
    EXPECT_TRUE(changes.isEmpty());
}

TEST(X11SnapshotRereadTest, ReadsTheChangedClientsAndTheNewOnesInTheListsOrder) {
    const QList<X11WindowInfo> kept{info(1, "one"), info(2, "two"), info(3, "three")};
    EXPECT_EQ(X11WindowReader::windowsToRead({4, 3, 2, 1}, kept, {2}), (QList<xcb_window_t>{4, 2}));
    // A changed window the lists no longer hold is not asked about.
    EXPECT_EQ(X11WindowReader::windowsToRead({3, 1}, kept, {2, 9}), QList<xcb_window_t>{});
    // Nothing kept: every listed client.
    EXPECT_EQ(X11WindowReader::windowsToRead({3, 1}, {}, {}), (QList<xcb_window_t>{3, 1}));
}

TEST(X11SnapshotRereadTest, KeepsTheUnchangedClientsInTheNewOrder) {
    const QList<X11WindowInfo> kept{info(1, "one"), info(2, "two"), info(3, "three")};
    const QList<X11WindowInfo> merged = X11WindowReader::mergeWindows(
        {3, 4, 1, 2}, {4, 2}, {info(2, "two again"), info(4, "four")}, kept, std::nullopt);
    EXPECT_EQ(titles(merged), (QStringList{"three", "four", "one", "two again"}));
}

TEST(X11SnapshotRereadTest, DropsClientsThatAreGoneFromTheListsOrFromTheServer) {
    const QList<X11WindowInfo> kept{info(1, "one"), info(2, "two"), info(3, "three")};
    // 2 was read again and was gone by then; 3 has left the lists; 5 is listed but was never
    // read (its read failed).
    EXPECT_EQ(titles(X11WindowReader::mergeWindows({5, 2, 1}, {2}, {}, kept, std::nullopt)),
              QStringList{"one"});
}

TEST(X11SnapshotRereadTest, PlacesKeptClientsOnTheCurrentDesktopAgain) {
    constexpr quint32 everyDesktop = 0xFFFFFFFF;
    QList<X11WindowInfo> kept{info(1, "first", 0), info(2, "second", 1),
                              info(3, "sticky", everyDesktop), info(4, "unplaced")};
    for (X11WindowInfo& window : kept) {
        window.isOnCurrentDesktop = window.desktop.value_or(0) != 1;
    }
    const QList<X11WindowInfo> merged =
        X11WindowReader::mergeWindows({1, 2, 3, 4}, {}, {}, kept, 1);
    ASSERT_EQ(merged.size(), 4);
    EXPECT_FALSE(merged[0].isOnCurrentDesktop);
    EXPECT_TRUE(merged[1].isOnCurrentDesktop);
    EXPECT_TRUE(merged[2].isOnCurrentDesktop);
    EXPECT_TRUE(merged[3].isOnCurrentDesktop);
}

}  // namespace
}  // namespace pellucine
