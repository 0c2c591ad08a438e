#include "panels/ControlButton.h"

#include <QPainter>

#include "design/Yard.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

ControlButton::ControlButton(const QString& symbol, const QString& label, Look look,
                             QWidget* parent)
    : QAbstractButton(parent), look_(look) {
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(look_.side, look_.side);
    setCursor(Qt::ArrowCursor);
    setSymbol(symbol, label);
}

void ControlButton::setSymbol(const QString& symbol, const QString& label) {
    symbol_ = symbol;
    setToolTip(label);
    setAccessibleName(label);
    update();
}

void ControlButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Yard::Palette& palette = Yard::palette(this);
    const QRectF bounds = rect();
    if (look_.onDisc) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(GlanceStyle::thickMaterial(palette));
        painter.drawEllipse(bounds);
        // A dark rim outside a light one: the disc stands out from white and black pictures
        // alike, whatever the scheme.
        const QColor rimShade(0, 0, 0, 84);
        const QColor rimLight(255, 255, 255, 140);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(rimShade, 1));
        painter.drawEllipse(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setPen(QPen(rimLight, 1));
        painter.drawEllipse(bounds.adjusted(1.5, 1.5, -1.5, -1.5));
    }
    const QColor ink = look_.destructive ? GlanceStyle::destructive(Yard::scheme(this))
                                         : GlanceStyle::primary(palette);
    if (isDown()) {
        painter.setOpacity(0.6);
    }
    GlanceStyle::drawSymbol(painter, symbol_, bounds, look_.pointSize, SymbolWeight::semibold, ink);
}

}  // namespace pellucine
