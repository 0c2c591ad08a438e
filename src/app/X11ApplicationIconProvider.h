#pragma once

#include "panels/ApplicationIconProviding.h"
#include "platform/x11/X11ApplicationIcons.h"

namespace pellucine {

class X11DesktopState;

// Application icons for the program's panels, looked up the way the switcher strip and the Dock
// bar look them up, from the application's most recently active window. Main thread only.
class X11ApplicationIconProvider final : public ApplicationIconProviding {
  public:
    static constexpr int side = 64;

    explicit X11ApplicationIconProvider(X11DesktopState& state) : state_(state) {}

    QImage icon(qint32 processIdentifier) const override;

  private:
    X11DesktopState& state_;
    mutable X11ApplicationIcons icons_;
};

}  // namespace pellucine
