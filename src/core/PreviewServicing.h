#pragma once

#include <QCoro/QCoroTask>
#include <QImage>

#include "core/WindowDescriptor.h"

namespace pellucine {

// Takes window pictures for the previews.
class PreviewServicing {
  public:
    virtual ~PreviewServicing() = default;

    // A picture of the window for display `width` points wide. Throws WindowServiceError when
    // the window cannot be pictured any more, and the platform's own errors unchanged.
    virtual QCoro::Task<QImage> capture(WindowDescriptor window, double width) = 0;
    // Forgets what is known about the windows that can be pictured.
    virtual void invalidateContent() = 0;
};

}  // namespace pellucine
