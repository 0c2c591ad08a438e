#pragma once

#include "GalleryOutput.h"

namespace pellucine::gallery {

// Draws every glance sheet in both schemes into `folder` as "<sheet>-<scheme>.png", creating
// the folder when missing, and reads each file back.
Result renderGlances(const QString& folder);

}  // namespace pellucine::gallery
