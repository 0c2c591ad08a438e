#pragma once

#include "platform/ProcessEnvironment.h"

namespace pellucine {

// The facts of the running process and of the system it runs on.
class HostProcess final : public ProcessEnvironment {
  public:
    qint32 processIdentifier() const override;
    // The kernel's major version.
    int operatingSystemMajorVersion() const override;
    QString operatingSystemVersionString() const override;
};

}  // namespace pellucine
