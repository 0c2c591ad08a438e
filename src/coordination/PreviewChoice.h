#pragma once

#include <QList>

#include "base/Clock.h"
#include "core/PreviewCache.h"
#include "core/WindowDescriptor.h"

namespace pellucine {

// Which windows the preview operations may picture, and which of them need a new picture.
struct PreviewChoice {
    bool keepPasswordManagersPrivate = true;
    int osMajorVersion = 0;

    // The window belongs to a password manager while those are kept private. A window
    // without a bundle identifier never does, unless one of its owner's aliases names one.
    bool isPrivate(const WindowDescriptor& window) const;

    // In list order, the windows on screen that are not private and whose cache entry is
    // missing or was made more than maxAgeSeconds before now. An entry holding only its JPEG
    // copy counts as present.
    QList<WindowDescriptor> needingCapture(const QList<WindowDescriptor>& windows,
                                           const PreviewCache& cache, ContinuousInstant now,
                                           double maxAgeSeconds) const;
};

}  // namespace pellucine
