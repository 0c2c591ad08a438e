#include "panels/FontTextMeasurer.h"

#include <QFontMetricsF>

#include "panels/GlanceStyle.h"

namespace pellucine {

double FontTextMeasurer::textWidth(const QString& text, MeasuredFont font) const {
    switch (font) {
        case MeasuredFont::headerTitle:
            return QFontMetricsF(GlanceStyle::headlineFont()).horizontalAdvance(text);
        case MeasuredFont::headerCount:
            return QFontMetricsF(GlanceStyle::captionFont()).horizontalAdvance(text);
    }
    return 0;
}

}  // namespace pellucine
