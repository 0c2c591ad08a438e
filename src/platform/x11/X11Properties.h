#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/x11/X11Atoms.h"

namespace pellucine {

// One window property as the server stored it.
struct X11Property {
    xcb_atom_t type = XCB_NONE;
    uint8_t format = 0;
    QByteArray data;
    // The server holds more than the read asked for: this many bytes more.
    bool truncated = false;
    uint32_t bytesAfter = 0;

    // The items of a 32-bit property (CARDINAL, WINDOW, ATOM); empty for other formats.
    QList<quint32> values32() const;
    // The first 32-bit item.
    std::optional<quint32> first32() const;
    // Text, up to the first NUL or the end: UTF8_STRING as UTF-8 (a malformed sequence becomes
    // U+FFFD, one cut short by a truncated read is dropped), STRING as Latin-1, COMPOUND_TEXT as
    // Latin-1 with its UTF-8 stretches (other character sets' escapes left out). Control
    // characters become spaces.
    QString text(const X11Atoms& atoms) const;
    // The NUL-separated strings of a STRING list (WM_CLASS), trailing empty item dropped, with
    // control characters as spaces.
    QStringList strings() const;
};

// Sends a GetProperty request of any type; read its answer later with `takeProperty`, so that
// many requests share one round trip.
xcb_get_property_cookie_t requestProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t property, uint32_t maxLongs = 4096);
// The property, or none when it is not set or the window is gone.
std::optional<X11Property> takeProperty(xcb_connection_t* connection,
                                        xcb_get_property_cookie_t cookie);

}  // namespace pellucine
