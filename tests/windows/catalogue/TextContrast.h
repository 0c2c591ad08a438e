#pragma once

#include <QColor>
#include <QList>

#include "windows/catalogue/LayoutCheck.h"

class QWidget;

namespace pellucine::testing {

// The contrast ratio of two opaque colours by their relative luminance, from 1 (the same) to 21
// (black on white), as accessibility guidelines define it.
double contrastRatio(const QColor& a, const QColor& b);

// Looks at every text `window` draws as it is shown now: the ink of each text run the painter
// is given (with its opacity) against the colour most of the window's picture has under that
// run. A fault is a run of an enabled widget below 4.5:1, or 3:1 for large text (24 px, or
// 18.67 px bold). Texts drawn wholly outside their clip, fully transparent or through an
// off-screen layer are not seen. Main thread.
QList<LayoutFault> checkTextContrast(QWidget& window);

}  // namespace pellucine::testing
