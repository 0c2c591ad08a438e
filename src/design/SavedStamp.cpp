#include "design/SavedStamp.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/Transition.h"
#include "design/Yard.h"

namespace pellucine {

SavedStamp::SavedStamp(bool showing, QWidget* parent)
    : QWidget(parent),
      transition_(new Transition(this, std::chrono::milliseconds(durationMs), showing)) {
    Yard::installAccessibility();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Saved"));
}

bool SavedStamp::isShowing() const {
    return transition_->isOn();
}

void SavedStamp::setShowing(bool showing) {
    if (showing == isShowing()) {
        return;
    }
    transition_->setOn(showing);
    QAccessible::State changed;
    changed.invisible = true;
    Yard::announceStateChange(this, changed);
}

qreal SavedStamp::opacity() const {
    return transition_->progress();
}

qreal SavedStamp::scale() const {
    return Transition::mix(hiddenScale, 1.0, transition_->progress());
}

void SavedStamp::finishTransition() {
    transition_->finish();
}

QString SavedStamp::text() {
    return QStringLiteral("Saved").toUpper();
}

QFont SavedStamp::labelFont() {
    return Yard::tracked(Yard::kickerFont(), tracking);
}

QSize SavedStamp::sizeHint() const {
    const QFontMetricsF metrics(labelFont());
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text()))) + 2 * horizontalPadding,
            static_cast<int>(std::ceil(metrics.height())) + 2 * verticalPadding};
}

int SavedStamp::firstBaseline() const {
    return verticalPadding + QFontMetrics(labelFont()).ascent();
}

void SavedStamp::adjustAccessibleState(QAccessible::State& state) const {
    if (!isShowing()) {
        state.invisible = true;
    }
}

void SavedStamp::paintEvent(QPaintEvent*) {
    if (opacity() <= 0) {
        return;
    }
    const QColor ink = Yard::palette(this).accentType;
    QPainter painter(this);
    painter.setOpacity(opacity());
    // Scaled about the middle of the trailing edge.
    const QPointF anchor(width(), height() / 2.0);
    painter.translate(anchor);
    painter.scale(scale(), scale());
    painter.translate(-anchor);
    Yard::strokeInside(painter, rect(), ink, borderWidth);
    painter.setFont(labelFont());
    painter.setPen(ink);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}

}  // namespace pellucine
