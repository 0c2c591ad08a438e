#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "base/Rect.h"
#include "core/ApplicationAction.h"
#include "core/WindowAction.h"
#include "core/WindowDescriptor.h"

namespace pellucine {

// What the preview panel calls back: a click on a preview, a window control, an entry of the
// application menu (with the application's process identifier).
struct SwitcherPanelCallbacks {
    std::function<void(const WindowDescriptor&)> onSelect;
    std::function<void(WindowAction, const WindowDescriptor&)> onAction;
    std::function<void(ApplicationAction, qint32)> onApplicationAction;
};

// How the panel is shown. Points and frames are in the screen space (bottom-left origin).
struct SwitcherPanelShowOptions {
    std::optional<ScreenPoint> anchor;
    // A screen's visible frame.
    std::optional<ScreenRect> screenFrame;
    // The system's Command-Tab strip; the panel stands above it.
    std::optional<ScreenRect> switcherFrame;
    // A Dock glance: the compact list instead of the grid when the Dock preview style asks for
    // it.
    bool dockMode = false;
    bool showsWindowControls = false;
    // Adds the window-search hint below the previews.
    bool showsSearchHint = false;
    // When set, a close button in the header calls it.
    std::function<void()> onClose;
};

// The floating, non-activating preview panel and its full-size peek. Main thread only.
class SwitcherPanelControlling {
  public:
    // The panel's size when created, and its window level; the peek's level.
    static constexpr Size initialPanelSize{900, 245};
    static constexpr int panelWindowLevel = 3;
    static constexpr int peekWindowLevel = 101;

    virtual ~SwitcherPanelControlling() = default;

    virtual bool isPanelVisible() const = 0;
    virtual ScreenRect panelFrame() const = 0;
    // Lays out the previews of the model's switcher selection, places the panel and orders it
    // to the front. Cannot fail.
    virtual void show(SwitcherPanelShowOptions options) = 0;
    // Cancels the peek and orders both panels out; harmless when nothing is shown.
    virtual void hide() = 0;
    // A window or application menu of the panel is open. The pointer is then over the menu,
    // not the panel, while the user is still using the glance.
    virtual bool isMenuOpen() const = 0;
    // Makes ahead of time what the first showing would otherwise make (the panel's window), so
    // that the first glance does not wait for it. Harmless when done before or while shown.
    virtual void prepare() {}
};

// Makes the panel controller; the application shell binds the model it reads.
using SwitcherPanelFactory =
    std::function<std::unique_ptr<SwitcherPanelControlling>(SwitcherPanelCallbacks callbacks)>;

}  // namespace pellucine
