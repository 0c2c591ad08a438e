#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

#include "base/Rect.h"
#include "platform/Screen.h"
#include "platform/ScreenLayout.h"

namespace pellucine {

// Maps panel frames between the screen space (y up from the main display's bottom edge) and
// the window system's coordinates (y down, with the main display's top-left at `mainOrigin`).
// Widget geometry is whole pixels: the left and bottom edges are rounded (halves away from zero)
// so that the panel's lower-left corner stays where its placement put it, and the size is
// rounded up so that nothing computed is cut.
struct PanelFrames {
    QPoint mainOrigin;
    double mainHeight = 0;

    QRect toWidget(const ScreenRect& frame) const;
    ScreenRect fromWidget(const QRect& geometry) const;

    // The main display's height from the port (the Qt primary screen's when the port has no
    // main display), placed where Qt puts the primary screen.
    static PanelFrames current(const ScreenLayout& layout);
};

// The visible frame of the screen holding most of `frame`, else of the main (first) screen,
// else `fallback`.
ScreenRect visibleFrameUnder(const ScreenRect& frame, const QList<Screen>& screens,
                             const ScreenRect& fallback);

}  // namespace pellucine
