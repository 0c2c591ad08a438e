#include "GalleryOutput.h"
#include "GlanceGallery.h"

int main(int argc, char* argv[]) {
    return pellucine::gallery::runGallery(
        argc, argv,
        QStringLiteral("usage: glance-gallery <folder>\n"
                       "Draws sample glances and a peek in the dark and light schemes to PNG "
                       "files in <folder>.\n"),
        pellucine::gallery::renderGlances);
}
