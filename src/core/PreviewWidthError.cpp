#include "core/PreviewWidthError.h"

#include "core/ScreenCapturePreviewService.h"

namespace pellucine {

PreviewWidthError::PreviewWidthError(double width)
    : Error(QStringLiteral("A preview can’t be %1 points wide; the width must be from 0 to %2 "
                           "points.")
                .arg(width)
                .arg(ScreenCapturePreviewService::maximumDisplayWidth)),
      width_(width) {}

}  // namespace pellucine
