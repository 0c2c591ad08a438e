#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

#include "base/Rect.h"
#include "platform/Screen.h"
#include "platform/ScreenLayout.h"

namespace pellucine {

// Maps panel frames between the screen space (y up from the main display's bottom edge, in
// points) and Qt's window coordinates (y down, device-independent pixels, with the main
// display's top-left at `mainOrigin`). Qt keeps each screen's top-left at its place in device
// pixels and scales only its size, so a screen other than the main one sits elsewhere in Qt's
// coordinates than in points: a frame whose centre is on one of `screens` moves with that screen
// (Qt puts a window on the screen holding its centre).
// Widget geometry is whole pixels: the left and bottom edges are rounded (halves away from zero)
// so that the panel's lower-left corner stays where its placement put it, and the size is
// rounded up so that nothing computed is cut.
struct PanelFrames {
    // A screen besides the main one: where it is in the global space (points) and where Qt puts
    // its top-left.
    struct Area {
        GlobalRect points;
        QPoint qtOrigin;

        friend bool operator==(const Area&, const Area&) = default;
    };

    QPoint mainOrigin;
    double mainHeight = 0;
    QList<Area> screens;

    QRect toWidget(const ScreenRect& frame) const;
    ScreenRect fromWidget(const QRect& geometry) const;

    // A screen of Qt's geometry `qt` at `ratio` device pixels per Qt pixel, in a global space of
    // `scale` device pixels per point whose origin is the main screen's top-left `mainOrigin`.
    static Area area(const QRect& qt, double ratio, QPoint mainOrigin, double scale);

    // The main display's height from the port (the Qt primary screen's when the port has no
    // main display), placed where Qt puts the primary screen; Qt's other screens as areas.
    static PanelFrames current(const ScreenLayout& layout);
};

// The visible frame of the screen holding most of `frame`, else of the main (first) screen,
// else `fallback`.
ScreenRect visibleFrameUnder(const ScreenRect& frame, const QList<Screen>& screens,
                             const ScreenRect& fallback);

}  // namespace pellucine
