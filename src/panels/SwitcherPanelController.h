#pragma once

#include <QPointer>
#include <QSet>
#include <memory>
#include <optional>

#include "base/Scheduler.h"
#include "base/SubscriptionBag.h"
#include "coordination/SwitcherPanelControlling.h"
#include "panels/GlanceEnvironment.h"
#include "panels/GlanceGeometry.h"

namespace pellucine {

class AppModel;
class FloatingPanel;
class FullSizePeekPanelController;
class GlanceContentView;

// The preview panel: sizes it for the model's switcher selection, fills it with a new content
// view, places it above the switcher strip, beside the Dock anchor or near the top of the
// screen, and orders it front without taking focus. Resting on a preview for 0.45 s shows that
// window's picture in the full-size peek. Main thread only.
//
// The peek shows only what a tile may show: nothing for a window the password-manager rule
// keeps private, and nothing (the previous peek taken down) when the window has no picture.
// A new showing keeps the peek, waiting or shown, of a window it still lists and takes down
// any other. A showing of the glance already up, for the same place, updates its content in
// place (see show).
class SwitcherPanelController final : public SwitcherPanelControlling {
  public:
    static constexpr double peekDelaySeconds = 0.45;
    // The peek's screen area when no screen is known.
    static constexpr ScreenRect peekFallbackArea{0, 0, 1440, 900};

    SwitcherPanelController(AppModel& model, GlanceEnvironment environment,
                            SwitcherPanelCallbacks callbacks);
    ~SwitcherPanelController() override;
    SwitcherPanelController(const SwitcherPanelController&) = delete;
    SwitcherPanelController& operator=(const SwitcherPanelController&) = delete;

    // A factory for the coordinator over one model and environment.
    static SwitcherPanelFactory factory(AppModel& model, GlanceEnvironment environment);

    bool isPanelVisible() const override;
    ScreenRect panelFrame() const override;
    void show(SwitcherPanelShowOptions options) override;
    void hide() override;
    bool isMenuOpen() const override;
    void prepare() override;

    // The pointer rests on a window (the peek follows after the delay) or left it (the peek
    // goes at once). The content view calls it.
    void showPeek(const std::optional<WindowDescriptor>& window);
    bool isPeekPending() const { return peekPending_; }

    FloatingPanel& panel() const { return *panel_; }
    FullSizePeekPanelController& peekPanel() const { return *peek_; }
    // The content of the last showing; null before the first.
    GlanceContentView* content() const { return content_; }
    // The sizes and place of the last showing.
    const GlanceGeometry& geometry() const { return geometry_; }

  private:
    // What places a glance: equal for a refresh of the glance shown.
    struct Placement {
        std::optional<ScreenPoint> anchor;
        std::optional<ScreenRect> screenFrame;
        std::optional<ScreenRect> switcherFrame;
        bool dockMode = false;

        static Placement of(const SwitcherPanelShowOptions& options) {
            return {options.anchor, options.screenFrame, options.switcherFrame, options.dockMode};
        }
        friend bool operator==(const Placement&, const Placement&) = default;
    };

    void firePeek(const WindowDescriptor& window);
    // Shows the picture in the peek, beside the glance.
    void presentPeek(const WindowDescriptor& window, const QImage& image);
    // A shown peek takes its window's newly published picture.
    void followPeekedPicture();
    // How far the glance's header (with its menu button) reaches down from the panel's top.
    double glanceHeaderDepth() const;
    void cancelPeek();
    // Whether the waiting or shown peek's window is in the model's selection (true for none).
    bool peekTargetListed() const;
    // The panel is translucent unless no compositing manager runs.
    bool translucentSurface() const;

    AppModel& model_;
    GlanceEnvironment environment_;
    SwitcherPanelCallbacks callbacks_;
    std::unique_ptr<FullSizePeekPanelController> peek_;
    ScopedWork peekWork_;
    bool peekPending_ = false;
    std::optional<quint32> peekTarget_;
    GlanceGeometry geometry_;
    Placement placement_;
    // The windows of the last showing.
    QSet<quint32> shownWindows_;
    // How many places the shown layout has room for.
    int placeCapacity_ = 0;
    bool dockMode_ = false;
    std::unique_ptr<FloatingPanel> panel_;
    QPointer<GlanceContentView> content_;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
