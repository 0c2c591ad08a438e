#pragma once

#include "platform/PrivateCaptureLoading.h"

namespace pellucine {

// The answer of a system without private capture entry points, such as every Linux desktop.
class UnavailablePrivateCapture final : public PrivateCaptureLoading {
  public:
    std::unique_ptr<PrivateCaptureEntryPoints> load() override { return nullptr; }
};

}  // namespace pellucine
