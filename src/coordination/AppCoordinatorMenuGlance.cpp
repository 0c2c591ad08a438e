#include <QPointer>

#include "coordination/AppCoordinator.h"
#include "preferences/KeyCombo.h"

namespace pellucine {

void AppCoordinator::showWindows(qint32 processIdentifier) {
    if (switcherPanel_ && switcherPanel_->isPanelVisible() && glanceSource_ == GlanceSource::menu) {
        hideGlance();
        return;
    }
    startPreviewSession();
    glanceProcessIdentifier_ = processIdentifier;
    glanceSource_ = GlanceSource::menu;
    glanceDisplayIdentifier_ = displayUnderPointer();
    refreshAndShowGlance(processIdentifier, GlanceSource::menu);
}

// The desktop's monitors see every click and key, the program's own windows included. A click
// on one of them (the panel, the tray icon, the status menu) leaves the glance to the program:
// the click that opens the status menu must not close the glance its entry then toggles.
void AppCoordinator::installMenuPanelMonitors() {
    const QPointer<AppCoordinator> self(this);
    Scheduler& scheduler = scheduler_;
    Subscription clicks = desktop_.pointerEvents().monitor(
        PointerEventSource::clicks, [self, &scheduler](const PointerEvent& event) {
            if ((event.type != PointerEvent::Type::leftDown &&
                 event.type != PointerEvent::Type::rightDown) ||
                event.toOwnWindow) {
                return;
            }
            scheduler.post([self] {
                if (self) {
                    self->menuPanelClicked();
                }
            });
        });
    if (clicks.isActive()) {
        menuPanelMonitors_.push_back(std::move(clicks));
    }
    std::shared_ptr<KeyEventTap> keys =
        desktop_.keyEvents().createTap([self, &scheduler](const KeyEvent& event) {
            if (event.type != KeyEvent::Type::keyDown || event.keyCode != KeyCombo::escapeKeyCode) {
                return;
            }
            scheduler.post([self] {
                if (self) {
                    self->menuPanelEscape();
                }
            });
        });
    if (keys) {
        menuPanelMonitors_.emplace_back(std::shared_ptr<void>(std::move(keys)));
    }
}

void AppCoordinator::menuPanelClicked() {
    // A click on one of the panel's menus lies outside its frame but belongs to the glance.
    const SwitcherPanelControlling& panel = switcherPanel();
    if (glanceSource_ == GlanceSource::menu && !panel.isMenuOpen() &&
        !panel.panelFrame().contains(mouseLocation())) {
        hideGlance();
    }
}

void AppCoordinator::menuPanelEscape() {
    if (glanceSource_ == GlanceSource::menu) {
        hideGlance();
    }
}

}  // namespace pellucine
