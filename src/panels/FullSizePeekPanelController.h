#pragma once

#include <QImage>
#include <memory>

#include "base/Rect.h"
#include "core/WindowDescriptor.h"
#include "panels/FullSizePeekLayout.h"
#include "panels/GlanceEnvironment.h"

namespace pellucine {

class FloatingPanel;
class FullSizePeekView;

// The full-size peek: a second floating panel, above the preview panel, that shows one
// window's picture large near the top of the screen. It passes every click and hover to what
// lies under it, so the tile beneath keeps the pointer. Main thread only.
class FullSizePeekPanelController {
  public:
    explicit FullSizePeekPanelController(const GlanceEnvironment& environment);
    ~FullSizePeekPanelController();
    FullSizePeekPanelController(const FullSizePeekPanelController&) = delete;
    FullSizePeekPanelController& operator=(const FullSizePeekPanelController&) = delete;

    // Fits the picture (by its pixel size) into the screen area, fills the panel anew, places
    // it and orders it front.
    void show(const WindowDescriptor& window, const QImage& image, const ScreenRect& screenArea);
    // The same over a Dock glance whose tiles draw pictures within `tileCard`: placed by
    // FullSizePeekLayout::placedAround, never smaller than the tile shows it.
    void show(const WindowDescriptor& window, const QImage& image, const ScreenRect& screenArea,
              const ScreenRect& glance, double headerDepth, Size tileCard);
    // Orders the panel out and drops its content.
    void hide();

    bool isVisible() const;
    FloatingPanel& panel() const { return *panel_; }
    // The content while shown, else null.
    FullSizePeekView* view() const;
    // The panel's frame in the screen space.
    ScreenRect frame() const;

    static FullSizePeekLayout fittedLayout(double pictureWidth, double pictureHeight,
                                           const ScreenRect& screenArea) {
        return FullSizePeekLayout::fitted(pictureWidth, pictureHeight, screenArea);
    }

  private:
    void show(const WindowDescriptor& window, const QImage& image,
              const FullSizePeekLayout& layout);

    const GlanceEnvironment& environment_;
    std::unique_ptr<FloatingPanel> panel_;
};

}  // namespace pellucine
