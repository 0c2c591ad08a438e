#pragma once

#include <QColor>
#include <QStringView>

#include "design/ColorScheme.h"

namespace pellucine::Yard {

// The 14 named colours of one scheme, in sRGB. `accent` fills, `accentType` is the same
// colour used as text or line; views pick by role.
struct Palette {
    QColor ground;
    QColor sheet;
    QColor fore;
    QColor muted;
    QColor accent;
    QColor accentType;
    QColor onAccent;
    QColor hairline;
    QColor cardBorder;
    QColor rail;
    QColor railSheet;
    QColor railInk;
    QColor railSelect;
    QColor railSelectInk;

    static const Palette& dark();
    static const Palette& light();
};

// The dark palette for the dark scheme, the light one for any other.
const Palette& palette(ColorScheme scheme);

// The window background: the `ground` of the scheme's palette.
QColor windowGround(ColorScheme scheme);

// "#rrggbb" to an opaque sRGB colour. Every "#" is dropped, then leading hexadecimal digits
// are read (blanks and a "0x" prefix allowed before them); text without digits gives black.
QColor colorFromHex(QStringView hex);

}  // namespace pellucine::Yard
