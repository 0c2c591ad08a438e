#pragma once

#include "base/Error.h"

namespace pellucine {

// A failure of the X server connection: no server, a lost connection, a missing extension.
class X11Error final : public Error {
  public:
    using Error::Error;
    QString typeName() const override { return QStringLiteral("pellucine.X11Error"); }
};

}  // namespace pellucine
