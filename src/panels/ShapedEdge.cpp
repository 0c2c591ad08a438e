#include "panels/ShapedEdge.h"

#include <QPainter>

#include "design/Yard.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

ShapedEdge::ShapedEdge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void ShapedEdge::setShape(const QRegion& shape) {
    rim_ = rimOf(shape);
    setVisible(!rim_.isEmpty());
    update();
}

QRegion ShapedEdge::rimOf(const QRegion& shape) {
    const QRegion inner = shape & shape.translated(1, 0) & shape.translated(-1, 0) &
                          shape.translated(0, 1) & shape.translated(0, -1);
    return shape - inner;
}

void ShapedEdge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor edge = GlanceStyle::shapedEdge(Yard::palette(this));
    for (const QRect& rect : rim_) {
        painter.fillRect(rect, edge);
    }
}

}  // namespace pellucine
