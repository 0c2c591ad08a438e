#pragma once

#include "base/Rect.h"

namespace pellucine {

// Size and place of the full-size peek: the picture shrunk (never enlarged) to fit near the top
// of the screen area, inside a panel with a header above it and margins around it.
struct FullSizePeekLayout {
    Size panelSize;
    Size pictureSize;
    ScreenPoint origin;

    static constexpr double largestPictureWidth = 1100;
    static constexpr double largestPictureHeight = 700;
    static constexpr double sideMargins = 72;
    static constexpr double verticalMargins = 110;
    static constexpr double panelExtraWidth = 24;
    static constexpr double panelExtraHeight = 58;
    static constexpr double topMargin = 28;

    // pictureWidth and pictureHeight are pixel counts (a pixel is drawn as at most one point); a
    // zero side counts as 1. An area too small for any picture still gives a positive size.
    static FullSizePeekLayout fitted(double pictureWidth, double pictureHeight,
                                     const ScreenRect& screenArea);

    // The part of `area` above `glance`'s top, where a peek covers none of the glance; the
    // whole area when the glance lies below it, nothing high when the glance reaches its top.
    static ScreenRect areaAbove(const ScreenRect& area, const ScreenRect& glance);

    // The peek over a Dock glance, which it must leave readable, and never smaller than
    // `tilePicture`, the picture as the glance's tile draws it: above the glance when the picture
    // shows there at its own size, or at least `usablePictureHeight` high and as large as on the
    // tile; otherwise wherever it shows largest of above, beside the glance (left, then right)
    // and over the glance's tiles below its top `headerDepth`, which holds the header and the
    // menu button. Ties go to the earlier place. When none of these shows it as large as the
    // tile does, it goes over the tiles and up over the header only as far as its own size
    // needs.
    static FullSizePeekLayout placedAround(double pictureWidth, double pictureHeight,
                                           const ScreenRect& screenArea, const ScreenRect& glance,
                                           double headerDepth, Size tilePicture);
    static constexpr double usablePictureHeight = 160;

    friend bool operator==(const FullSizePeekLayout&, const FullSizePeekLayout&) = default;
};

}  // namespace pellucine
