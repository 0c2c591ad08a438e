#include "panels/FullSizePeekPanelController.h"

#include "design/Yard.h"
#include "panels/FloatingPanel.h"
#include "panels/FullSizePeekView.h"
#include "panels/GlanceStyle.h"
#include "panels/PanelFrames.h"

namespace pellucine {

FullSizePeekPanelController::FullSizePeekPanelController(const GlanceEnvironment& environment)
    : environment_(environment),
      panel_(std::make_unique<FloatingPanel>(true, environment_.windowSystem)) {
    panel_->setWindowTitle(QStringLiteral("Pellucine peek"));
    panel_->resize(1, 1);
    if (environment_.appearance != nullptr) {
        Yard::follow(panel_.get(), *environment_.appearance);
    }
}

FullSizePeekPanelController::~FullSizePeekPanelController() = default;

void FullSizePeekPanelController::show(const WindowDescriptor& window, const QImage& image,
                                       const ScreenRect& screenArea) {
    // Points on this screen: a picture is never shown larger than its window.
    const QSizeF points = GlanceStyle::pointSize(image.size(), panel_->devicePixelRatioF());
    show(window, image, fittedLayout(points.width(), points.height(), screenArea));
}

void FullSizePeekPanelController::show(const WindowDescriptor& window, const QImage& image,
                                       const ScreenRect& screenArea, const ScreenRect& glance,
                                       double headerDepth, Size tileCard) {
    const QSizeF points = GlanceStyle::pointSize(image.size(), panel_->devicePixelRatioF());
    const QSizeF onTile =
        GlanceStyle::shrunkToFit(points, QRectF(QPointF(), tileCard.toQt())).size();
    show(window, image,
         FullSizePeekLayout::placedAround(points.width(), points.height(), screenArea, glance,
                                          headerDepth, Size{onTile.width(), onTile.height()}));
}

void FullSizePeekPanelController::show(const WindowDescriptor& window, const QImage& image,
                                       const FullSizePeekLayout& layout) {
    const bool translucent = !environment_.compositing || environment_.compositing();
    panel_->setTranslucent(translucent);
    panel_->setShape(0, FullSizePeekView::cornerRadius);
    panel_->setBackdrop(GlanceStyle::panelMaterial(Yard::palette(panel_.get())));
    auto* view = new FullSizePeekView(window, image, layout.pictureSize.toQt(),
                                      environment_.icons.icon(window.ownerPID));
    panel_->setContent(view);
    const ScreenRect frame{layout.origin.x, layout.origin.y, layout.panelSize.width,
                           layout.panelSize.height};
    panel_->orderFront(PanelFrames::current(environment_.screens).toWidget(frame));
}

void FullSizePeekPanelController::hide() {
    panel_->orderOut();
    panel_->setContent(nullptr);
}

bool FullSizePeekPanelController::isVisible() const {
    return panel_->isVisible();
}

FullSizePeekView* FullSizePeekPanelController::view() const {
    return qobject_cast<FullSizePeekView*>(panel_->content());
}

ScreenRect FullSizePeekPanelController::frame() const {
    return PanelFrames::current(environment_.screens).fromWidget(panel_->geometry());
}

}  // namespace pellucine
