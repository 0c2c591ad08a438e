#pragma once

#include <vector>

#include "coordination/SwitcherPanelControlling.h"

namespace pellucine {

// A headless panel for tests: records every show and hide, keeps a visible flag and a frame the
// test may set, and lets the test act as the user on the panel through the callbacks.
class RecordingSwitcherPanel final : public SwitcherPanelControlling {
  public:
    explicit RecordingSwitcherPanel(SwitcherPanelCallbacks callbacks = {})
        : callbacks_(std::move(callbacks)) {}

    bool isPanelVisible() const override { return visible_; }
    ScreenRect panelFrame() const override { return frame_; }
    void show(SwitcherPanelShowOptions options) override {
        shows_.push_back(std::move(options));
        visible_ = true;
    }
    void hide() override {
        ++hideCount_;
        visible_ = false;
        menuOpen_ = false;
    }
    bool isMenuOpen() const override { return menuOpen_; }
    void prepare() override { ++prepareCount_; }

    void setPanelVisible(bool visible) { visible_ = visible; }
    void setPanelFrame(ScreenRect frame) { frame_ = frame; }
    // The user opens or closes a menu of the panel.
    void setMenuOpen(bool open) { menuOpen_ = open; }

    const std::vector<SwitcherPanelShowOptions>& shows() const { return shows_; }
    int hideCount() const { return hideCount_; }
    int prepareCount() const { return prepareCount_; }

    // The user clicks a preview, a window control, an application menu entry, the close button.
    void select(const WindowDescriptor& window) const {
        if (callbacks_.onSelect) {
            callbacks_.onSelect(window);
        }
    }
    void act(WindowAction action, const WindowDescriptor& window) const {
        if (callbacks_.onAction) {
            callbacks_.onAction(action, window);
        }
    }
    void actOnApplication(ApplicationAction action, qint32 pid) const {
        if (callbacks_.onApplicationAction) {
            callbacks_.onApplicationAction(action, pid);
        }
    }
    // False when the last showing had no close button (or nothing was shown).
    bool close() const {
        if (shows_.empty() || !shows_.back().onClose) {
            return false;
        }
        shows_.back().onClose();
        return true;
    }

  private:
    SwitcherPanelCallbacks callbacks_;
    bool visible_ = false;
    bool menuOpen_ = false;
    ScreenRect frame_{0, 0, initialPanelSize.width, initialPanelSize.height};
    std::vector<SwitcherPanelShowOptions> shows_;
    int hideCount_ = 0;
    int prepareCount_ = 0;
};

}  // namespace pellucine
