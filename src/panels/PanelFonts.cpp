#include "panels/PanelFonts.h"

#include "design/YardFonts.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

QList<QFont> panelFonts() {
    // Besides the glance's styles: the weights its rows and badges set on the callout and
    // caption faces, and the search panel's key and kicker faces.
    QFont mediumCallout = GlanceStyle::calloutFont();
    mediumCallout.setWeight(QFont::Medium);
    QFont mediumCaption = GlanceStyle::caption2Font();
    mediumCaption.setWeight(QFont::Medium);
    return {GlanceStyle::headlineFont(),
            GlanceStyle::bodyFont(),
            GlanceStyle::calloutFont(),
            GlanceStyle::captionFont(),
            mediumCallout,
            mediumCaption,
            Yard::keyFont(),
            Yard::kickerFont()};
}

}  // namespace pellucine
