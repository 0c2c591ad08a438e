#pragma once

#include "panels/PanelWindowSystem.h"

namespace pellucine {

// The panels' window system on the X server Qt draws on, over Qt's own X connection: floating
// panels get X11FloatingPanelHints, a panel that takes the keyboard X11PanelWindowHints, and a
// compositing manager runs when the screen's _NET_WM_CM_S<n> selection has an owner. Off X11
// each part does what QtPanelWindowSystem does. Stateless; main thread only.
class X11PanelWindowSystem final : public PanelWindowSystem {
  public:
    std::unique_ptr<FloatingPanelHints> floatingHints() const override;
    std::unique_ptr<PanelWindowHints> windowHints(QWidget& panel) const override;
    // Asks the server each time: a compositing manager may have started or ended since.
    bool compositingManagerRunning() const override;
};

}  // namespace pellucine
