#pragma once

#include <memory>

class QWidget;

namespace pellucine {

class FloatingPanelHints;
class PanelWindowHints;

// What the program's panels ask of the window system beyond Qt: the window-manager hints of a
// floating panel and of a panel that takes the keyboard, and whether a compositing manager
// blends windows with what lies under them. Where the window system offers nothing more,
// `qtOnly()` stands in with Qt's own calls; the composition root hands the X server's in.
// Main thread only.
class PanelWindowSystem {
  public:
    virtual ~PanelWindowSystem() = default;

    // The hints of one floating panel, made with it.
    virtual std::unique_ptr<FloatingPanelHints> floatingHints() const = 0;
    // The hints of `panel`, a top-level widget that outlives them or is deleted with them.
    virtual std::unique_ptr<PanelWindowHints> windowHints(QWidget& panel) const = 0;
    // Whether a compositing manager runs on the application's display, asked now.
    virtual bool compositingManagerRunning() const = 0;

    // Qt's own calls only: no hints beyond Qt's window flags, focus through Qt, and
    // compositing always taken to run. Shared and stateless.
    static const PanelWindowSystem& qtOnly();
};

}  // namespace pellucine
