#include "panels/FloatingPanel.h"

#include <QPainterPath>
#include <QRegion>
#include <QResizeEvent>

#include "panels/FloatingPanelHints.h"
#include "panels/PanelWindowSystem.h"
#include "panels/ShapedEdge.h"

namespace pellucine {

FloatingPanel::FloatingPanel(bool passesInput, const PanelWindowSystem& windowSystem,
                             QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint |
                          (passesInput ? Qt::WindowTransparentForInput : Qt::WindowFlags())),
      passesInput_(passesInput),
      hints_(windowSystem.floatingHints()),
      edge_(new ShapedEdge(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::setTranslucent(bool translucent) {
    if (translucent_ != translucent) {
        translucent_ = translucent;
        surfaceApplied_ = false;
    }
}

void FloatingPanel::setShape(qreal inset, qreal radius) {
    shapeInset_ = inset;
    shapeRadius_ = radius;
    updateMask();
}

void FloatingPanel::setContent(QWidget* content) {
    if (content_ == content) {
        return;
    }
    if (content_) {
        content_->hide();
        content_->deleteLater();
    }
    content_ = content;
    if (content_) {
        content_->setParent(this);
        content_->setGeometry(rect());
        content_->show();
    }
    edge_->raise();
}

void FloatingPanel::orderFront(const QRect& geometry) {
    if (!surfaceApplied_) {
        applySurface();
    }
    setGeometry(geometry);
    if (!isVisible()) {
        applyBackdrop();
        show();
    }
    raise();
    hints_->apply(*this);
    updateMask();
}

void FloatingPanel::orderOut() {
    hide();
}

void FloatingPanel::prepare() {
    if (isVisible()) {
        return;
    }
    if (!surfaceApplied_) {
        applySurface();
    }
    create();
    hints_->prepare();
}

void FloatingPanel::applySurface() {
    // The window's visual follows the attribute only when the native window is made, so a
    // change of surface makes it again.
    if (testAttribute(Qt::WA_WState_Created) &&
        testAttribute(Qt::WA_TranslucentBackground) != translucent_) {
        hide();
        destroy(true, true);
    }
    setAttribute(Qt::WA_TranslucentBackground, translucent_);
    surfaceApplied_ = true;
}

void FloatingPanel::applyBackdrop() {
    if (translucent_ || !backdrop_.isValid()) {
        return;
    }
    hints_->fillBackdrop(*this, backdrop_);
}

void FloatingPanel::updateMask() {
    if (translucent_ || shapeRadius_ <= 0) {
        clearMask();
        edge_->setShape(QRegion());
        return;
    }
    QPainterPath path;
    path.addRoundedRect(
        QRectF(rect()).adjusted(shapeInset_, shapeInset_, -shapeInset_, -shapeInset_), shapeRadius_,
        shapeRadius_);
    const QRegion shape(path.toFillPolygon().toPolygon());
    setMask(shape);
    edge_->setShape(shape);
}

void FloatingPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (content_) {
        content_->setGeometry(rect());
    }
    edge_->setGeometry(rect());
    updateMask();
}

}  // namespace pellucine
