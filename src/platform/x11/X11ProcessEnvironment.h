#pragma once

#include "platform/ProcessEnvironment.h"

namespace pellucine {

// This process and the distribution's release (its major version; 0 when it names none).
class X11ProcessEnvironment final : public ProcessEnvironment {
  public:
    qint32 processIdentifier() const override;
    int operatingSystemMajorVersion() const override;
};

}  // namespace pellucine
