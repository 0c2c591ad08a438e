#include <gtest/gtest.h>
#include <xcb/randr.h>

#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11ScreenReader.h"
#include "platform/x11/X11WindowReader.h"

// Which events make the desktop state read the server again.
namespace pellucine {
namespace {

X11Atoms someAtoms() {
    X11Atoms atoms;
    xcb_atom_t next = 400;
    for (xcb_atom_t* atom :
         {&atoms._NET_WM_PID, &atoms._NET_WM_WINDOW_TYPE, &atoms.WM_CLIENT_LEADER,
          &atoms._NET_FRAME_EXTENTS, &atoms.WM_STATE, &atoms._NET_WM_STATE, &atoms._NET_WM_DESKTOP,
          &atoms._NET_WM_NAME, &atoms.WM_PROTOCOLS, &atoms._GTK_APPLICATION_ID,
          &atoms._KDE_NET_WM_DESKTOP_FILE, &atoms._BAMF_DESKTOP_FILE,
          &atoms._NET_CLIENT_LIST_STACKING, &atoms._NET_CLIENT_LIST, &atoms._NET_ACTIVE_WINDOW,
          &atoms._NET_CURRENT_DESKTOP, &atoms._NET_WM_STRUT_PARTIAL, &atoms._NET_WM_STRUT}) {
        *atom = next++;
    }
    return atoms;
}

QSet<xcb_atom_t> readProperties(const X11Atoms& atoms) {
    QSet<xcb_atom_t> all;
    for (const auto& list :
         {X11WindowReader::readProperties(atoms), X11ScreenReader::readProperties(atoms)}) {
        for (const xcb_atom_t atom : list) {
            all.insert(atom);
        }
    }
    return all;
}

xcb_generic_event_t eventOf(uint8_t type) {
    xcb_generic_event_t event{};
    event.response_type = type;
    return event;
}

bool propertyChangeCounts(xcb_atom_t atom, uint8_t type = XCB_PROPERTY_NOTIFY) {
    xcb_property_notify_event_t notify{};
    notify.response_type = type;
    notify.atom = atom;
    const X11Atoms atoms = someAtoms();
    return X11DesktopState::changesDesktop(reinterpret_cast<const xcb_generic_event_t&>(notify),
                                           readProperties(atoms));
}

TEST(X11DesktopChangeTest, InputAndExposureLeaveTheDesktopAsRead) {
    const QSet<xcb_atom_t> read = readProperties(someAtoms());
    for (const uint8_t type : std::initializer_list<uint8_t>{
             XCB_KEY_PRESS, XCB_KEY_RELEASE, XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE,
             XCB_MOTION_NOTIFY, XCB_ENTER_NOTIFY, XCB_LEAVE_NOTIFY, XCB_FOCUS_IN, XCB_FOCUS_OUT,
             XCB_EXPOSE, XCB_NO_EXPOSURE, XCB_GE_GENERIC}) {
        EXPECT_FALSE(X11DesktopState::changesDesktop(eventOf(type), read)) << int(type);
    }
}

TEST(X11DesktopChangeTest, WindowChangesErrorsAndUnknownEventsCount) {
    const QSet<xcb_atom_t> read = readProperties(someAtoms());
    for (const uint8_t type : std::initializer_list<uint8_t>{
             XCB_CREATE_NOTIFY, XCB_DESTROY_NOTIFY, XCB_UNMAP_NOTIFY, XCB_MAP_NOTIFY,
             XCB_REPARENT_NOTIFY, XCB_CONFIGURE_NOTIFY, XCB_CIRCULATE_NOTIFY, XCB_CLIENT_MESSAGE,
             uint8_t{0}, uint8_t{89}, uint8_t{127}}) {
        EXPECT_TRUE(X11DesktopState::changesDesktop(eventOf(type), read)) << int(type);
    }
    // Sent by another client: the flag bit does not hide the kind.
    EXPECT_TRUE(X11DesktopState::changesDesktop(eventOf(XCB_MAP_NOTIFY | 0x80), read));
    EXPECT_FALSE(X11DesktopState::changesDesktop(eventOf(XCB_KEY_PRESS | 0x80), read));
}

TEST(X11DesktopChangeTest, OnlyPropertiesTheReadersAskForCount) {
    const X11Atoms atoms = someAtoms();
    for (const xcb_atom_t atom :
         {atoms._NET_WM_NAME, xcb_atom_t{XCB_ATOM_WM_NAME}, xcb_atom_t{XCB_ATOM_WM_CLASS},
          xcb_atom_t{XCB_ATOM_WM_NORMAL_HINTS}, xcb_atom_t{XCB_ATOM_WM_TRANSIENT_FOR},
          atoms._NET_WM_STATE, atoms.WM_STATE, atoms._NET_FRAME_EXTENTS,
          atoms._NET_CLIENT_LIST_STACKING, atoms._NET_ACTIVE_WINDOW, atoms._NET_CURRENT_DESKTOP,
          atoms._NET_WM_STRUT_PARTIAL, atoms._NET_WM_STRUT}) {
        EXPECT_TRUE(propertyChangeCounts(atom)) << atom;
    }
    EXPECT_TRUE(propertyChangeCounts(atoms._NET_CLIENT_LIST, XCB_PROPERTY_NOTIFY | 0x80));
    // A window manager's bookkeeping and the user-time stamp are not read.
    EXPECT_FALSE(propertyChangeCounts(399));
    EXPECT_FALSE(propertyChangeCounts(1000));
    EXPECT_FALSE(propertyChangeCounts(XCB_ATOM_WM_ICON_NAME));
}

TEST(X11DesktopChangeTest, OnlyRandrNoticesStrutsAndMappedClientsMoveTheMonitors) {
    const X11Atoms atoms = someAtoms();
    constexpr uint8_t randr = 89;
    constexpr xcb_window_t root = 0x2a;
    X11DesktopState::MonitorNotices notices{randr, root, {}};
    for (const xcb_atom_t atom : X11ScreenReader::readProperties(atoms)) {
        notices.properties.insert(atom);
    }
    const auto moves = [&](const xcb_generic_event_t& event) {
        return X11DesktopState::movesMonitors(event, notices);
    };
    for (const uint8_t type :
         {uint8_t(randr + XCB_RANDR_SCREEN_CHANGE_NOTIFY), uint8_t(randr + XCB_RANDR_NOTIFY),
          uint8_t((randr + XCB_RANDR_NOTIFY) | 0x80), uint8_t{XCB_MAP_NOTIFY},
          uint8_t{XCB_UNMAP_NOTIFY}, uint8_t{XCB_REPARENT_NOTIFY},
          uint8_t{XCB_DESTROY_NOTIFY | 0x80}}) {
        EXPECT_TRUE(moves(eventOf(type))) << int(type);
    }
    // Other events of RandR, window changes that leave the mapping, input and unknown events.
    for (const uint8_t type :
         {uint8_t(randr + 2), uint8_t(randr - 1), uint8_t{XCB_CREATE_NOTIFY},
          uint8_t{XCB_CLIENT_MESSAGE}, uint8_t{XCB_EXPOSE}, uint8_t{XCB_KEY_PRESS},
          uint8_t{XCB_GE_GENERIC}, uint8_t{0}, uint8_t{1}, uint8_t{127}}) {
        EXPECT_FALSE(moves(eventOf(type))) << int(type);
    }
    // The root's geometry counts; a client moved or raised does not.
    xcb_configure_notify_event_t configure{};
    configure.response_type = XCB_CONFIGURE_NOTIFY;
    configure.event = configure.window = root;
    EXPECT_TRUE(moves(reinterpret_cast<const xcb_generic_event_t&>(configure)));
    configure.event = configure.window = root + 1;
    EXPECT_FALSE(moves(reinterpret_cast<const xcb_generic_event_t&>(configure)));
    // Without RandR, the codes it would have had are errors and replies.
    notices.randrFirstEvent = 0;
    EXPECT_FALSE(moves(eventOf(0)));
    EXPECT_FALSE(moves(eventOf(1)));
    EXPECT_FALSE(moves(eventOf(randr)));

    xcb_property_notify_event_t notify{};
    notify.response_type = XCB_PROPERTY_NOTIFY;
    const auto propertyMoves = [&](xcb_atom_t atom) {
        notify.atom = atom;
        return moves(reinterpret_cast<const xcb_generic_event_t&>(notify));
    };
    for (const xcb_atom_t atom :
         {atoms._NET_CLIENT_LIST, atoms._NET_WM_STRUT_PARTIAL, atoms._NET_WM_STRUT}) {
        EXPECT_TRUE(propertyMoves(atom)) << atom;
    }
    for (const xcb_atom_t atom : {atoms._NET_WM_NAME, atoms._NET_ACTIVE_WINDOW, atoms._NET_WM_STATE,
                                  atoms._NET_CLIENT_LIST_STACKING, xcb_atom_t{1000}}) {
        EXPECT_FALSE(propertyMoves(atom)) << atom;
    }
}

}  // namespace
}  // namespace pellucine
