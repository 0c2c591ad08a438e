#pragma once

#include "panels/PanelWindowSystem.h"

namespace pellucine {

// The panels' window system where Qt's own calls stand in (the offscreen platform of the
// widget tests included): floating panels carry only Qt's window flags, a panel takes the
// keyboard through Qt's activation, and a compositing manager is taken to run. Stateless.
class QtPanelWindowSystem final : public PanelWindowSystem {
  public:
    std::unique_ptr<FloatingPanelHints> floatingHints() const override;
    std::unique_ptr<PanelWindowHints> windowHints(QWidget& panel) const override;
    bool compositingManagerRunning() const override { return true; }
};

}  // namespace pellucine
