#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11CoordinateSpace.h"

namespace pellucine {

// Space a dock or panel reserves at the edges of the root window (_NET_WM_STRUT_PARTIAL), in
// root pixels. The start and end of each span are inclusive.
struct X11Strut {
    // The largest coordinate of the protocol; a strut with any value beyond it is none.
    static constexpr quint32 maximum = 32767;

    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int leftStartY = 0;
    int leftEndY = 0;
    int rightStartY = 0;
    int rightEndY = 0;
    int topStartX = 0;
    int topEndX = 0;
    int bottomStartX = 0;
    int bottomEndX = 0;

    // From the 12 values of _NET_WM_STRUT_PARTIAL, or the 4 of _NET_WM_STRUT (which span the
    // whole edge of `rootSize`); none for any other count or a value beyond `maximum`.
    static std::optional<X11Strut> fromValues(const QList<quint32>& values, QSize rootSize);
};

// The monitor less the struts whose inner edge lies inside it and whose span meets it. A strut
// whose edge lies beyond the monitor belongs to a panel on another monitor and is not counted.
QRect visibleArea(const QRect& monitor, QSize rootSize, const QList<X11Strut>& struts);

// One monitor in root pixels.
struct X11Monitor {
    // The first RandR output of the monitor (stable while it is connected), else its name atom.
    quint32 identifier = 0;
    QString name;
    QRect rect;
    // `rect` less the struts of mapped docks and panels.
    QRect visibleRect;
    bool isPrimary = false;
};

// Puts the main monitor first (the primary one, else the first listed), keeps the others in
// their order, and works out each one's visible rectangle.
QList<X11Monitor> arrangeMonitors(QList<X11Monitor> monitors, QSize rootSize,
                                  const QList<X11Strut>& struts);

// Reads monitors from RandR (the whole root window when RandR has none) and the struts of the
// mapped clients.
class X11ScreenReader {
  public:
    explicit X11ScreenReader(X11Connection& connection) : connection_(connection) {}

    // The main monitor first (the primary one, else the first RandR lists), then the others in
    // RandR's order.
    QList<X11Monitor> monitors() const;
    // Every property `monitors` asks for.
    static QList<xcb_atom_t> readProperties(const X11Atoms& atoms);
    // Asks for the notices of changed screens, outputs and monitors: RandR's, and the root
    // window's configure notices (which a monitor set up by a client yields). Returns RandR's
    // first event code, 0 when the server has no RandR.
    uint8_t listenForChanges() const;

    // The mapping with the main monitor's top-left as the global origin.
    static X11CoordinateSpace coordinateSpace(const QList<X11Monitor>& monitors,
                                              double scale = 1.0);

  private:
    QList<X11Strut> struts(QSize rootSize) const;

    X11Connection& connection_;
};

}  // namespace pellucine
