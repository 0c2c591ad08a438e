#pragma once

#include "base/Error.h"

namespace pellucine {

// The failure of a window operation or capture.
class WindowServiceError final : public Error {
  public:
    enum class Case { windowUnavailable, permissionRequired };

    explicit WindowServiceError(Case c);
    static WindowServiceError windowUnavailable() {
        return WindowServiceError(Case::windowUnavailable);
    }
    static WindowServiceError permissionRequired() {
        return WindowServiceError(Case::permissionRequired);
    }

    Case errorCase() const { return case_; }
    QString typeName() const override { return QStringLiteral("pellucine.WindowServiceError"); }

    friend bool operator==(const WindowServiceError& a, const WindowServiceError& b) {
        return a.case_ == b.case_;
    }

  private:
    Case case_;
};

}  // namespace pellucine
