#include "design/YardSwitch.h"

#include <QPainter>

#include "design/Transition.h"
#include "design/Yard.h"

namespace pellucine {
namespace {

QColor withOpacity(QColor colour, qreal opacity) {
    colour.setAlphaF(static_cast<float>(colour.alphaF() * opacity));
    return colour;
}

}  // namespace

YardSwitch::Look YardSwitch::look(qreal progress, const Yard::Palette& palette) {
    const qreal inset = Transition::mix(offInset, onInset, progress);
    const qreal side = trackHeight - 2 * inset;
    const qreal leftmost = offInset;
    const qreal rightmost = trackWidth - onInset - (trackHeight - 2 * onInset);
    const qreal x = Transition::mix(leftmost, rightmost, progress);
    return {
        QRectF(x, inset, side, side),
        Transition::mix(palette.sheet, palette.accent, progress),
        Transition::mix(withOpacity(palette.fore, offBorderOpacity), palette.accent, progress),
        Transition::mix(withOpacity(palette.fore, offKnobOpacity), palette.onAccent, progress),
    };
}

YardSwitch::YardSwitch(const QString& label, bool on, QWidget* parent)
    : QAbstractButton(parent),
      transition_(new Transition(this, std::chrono::milliseconds(durationMs), on)) {
    setCheckable(true);
    setChecked(on);
    setAccessibleName(label);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::toggled, transition_, &Transition::setOn);
}

qreal YardSwitch::progress() const {
    return transition_->progress();
}

void YardSwitch::finishTransition() {
    transition_->finish();
}

void YardSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Yard::paintFaded(painter, this, isEnabled() ? 1.0 : disabledOpacity,
                     [this](QPainter& p) { paintSwitch(p); });
}

void YardSwitch::paintSwitch(QPainter& painter) const {
    const Look parts = look(progress(), Yard::palette(this));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(0, 0, trackWidth, trackHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(parts.trackFill);
    painter.drawRoundedRect(track, trackHeight / 2.0, trackHeight / 2.0);
    // The border lies inside the capsule, so the track keeps its size.
    const qreal half = borderWidth / 2;
    const QRectF stroke = track.adjusted(half, half, -half, -half);
    painter.setPen(QPen(parts.trackBorder, borderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(stroke, stroke.height() / 2, stroke.height() / 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(parts.knobFill);
    painter.drawEllipse(parts.knob);
}

}  // namespace pellucine
