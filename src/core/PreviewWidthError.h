#pragma once

#include "base/Error.h"

namespace pellucine {

// A picture was asked for at a display width that is not a number of points from 0 up to the
// largest a preview may be.
class PreviewWidthError final : public Error {
  public:
    explicit PreviewWidthError(double width);

    double width() const { return width_; }
    QString typeName() const override { return QStringLiteral("pellucine.PreviewWidthError"); }

  private:
    double width_;
};

}  // namespace pellucine
