#pragma once

#include <QString>
#include <QtGlobal>

namespace pellucine {

// Facts about this program's own process and the system it runs on.
class ProcessEnvironment {
  public:
    virtual ~ProcessEnvironment() = default;
    virtual qint32 processIdentifier() const = 0;
    virtual int operatingSystemMajorVersion() const = 0;
    // The system's name and version in one line, as shown in diagnostics.
    virtual QString operatingSystemVersionString() const = 0;
};

}  // namespace pellucine
