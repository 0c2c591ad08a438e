#pragma once

#include "base/Error.h"

namespace pellucine {

// Why the platform could not list or picture windows.
class ScreenCaptureError final : public Error {
  public:
    enum class Case {
        // The user has not allowed this program to record the screen.
        permissionDenied,
        // The window closed before its picture was taken.
        windowGone,
        // The window is minimized, hidden or on another desktop, and this platform keeps no
        // picture of such windows.
        windowNotViewable,
        // Anything else: the platform refused or answered with nothing.
        failed
    };

    explicit ScreenCaptureError(Case c);

    Case errorCase() const { return case_; }
    QString typeName() const override { return QStringLiteral("pellucine.ScreenCaptureError"); }

  private:
    Case case_;
};

}  // namespace pellucine
