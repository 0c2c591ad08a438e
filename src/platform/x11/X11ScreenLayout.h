#pragma once

#include <memory>

#include "platform/ScreenLayout.h"
#include "platform/x11/X11DesktopState.h"

namespace pellucine {

// RandR monitors as screens: the primary monitor is the main display (the global origin is its
// top-left corner), and a visible frame is its monitor less the struts of mapped docks and
// panels. A display's identifier is its first RandR output.
class X11ScreenLayout final : public ScreenLayout {
  public:
    explicit X11ScreenLayout(std::weak_ptr<X11DesktopState> state) : state_(std::move(state)) {}

    QList<Screen> screens() const override;
    quint32 mainDisplayIdentifier() const override;
    GlobalRect displayBounds(quint32 displayIdentifier) const override;

  private:
    std::weak_ptr<X11DesktopState> state_;
};

}  // namespace pellucine
