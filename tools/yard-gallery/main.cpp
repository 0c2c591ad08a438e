#include "Gallery.h"
#include "GalleryOutput.h"

int main(int argc, char* argv[]) {
    return pellucine::gallery::runGallery(
        argc, argv,
        QStringLiteral("usage: yard-gallery <folder>\n"
                       "Draws every design-system component in the dark and light schemes to PNG "
                       "files in <folder>.\n"),
        pellucine::gallery::render);
}
