#pragma once

#include <memory>

#include "platform/PrivateCaptureEntryPoints.h"

namespace pellucine {

// Looks up the private capture entry points at run time.
class PrivateCaptureLoading {
  public:
    virtual ~PrivateCaptureLoading() = default;

    // The entry points; none when their library or either entry point is missing.
    virtual std::unique_ptr<PrivateCaptureEntryPoints> load() = 0;
};

}  // namespace pellucine
