#include "design/Transition.h"

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>
#include <cmath>

namespace pellucine {

Transition::Transition(QWidget* owner, std::chrono::milliseconds duration, bool on)
    : QObject(owner),
      owner_(owner),
      duration_(duration),
      on_(on),
      progress_(on ? 1.0 : 0.0),
      animation_(new QVariantAnimation(this)) {
    animation_->setEasingCurve(easeOut());
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setProgress(value.toReal()); });
}

Transition::~Transition() = default;

bool Transition::isRunning() const {
    return animation_->state() == QAbstractAnimation::Running;
}

void Transition::setOn(bool on) {
    if (on_ == on) {
        return;
    }
    on_ = on;
    animation_->stop();
    const qreal target = on ? 1.0 : 0.0;
    if (owner_ == nullptr || !owner_->isVisible() || duration_.count() <= 0) {
        setProgress(target);
        return;
    }
    // Reversing half-way takes the share of the duration that is left to cover.
    const qreal distance = std::abs(target - progress_);
    animation_->setDuration(static_cast<int>(std::ceil(duration_.count() * distance)));
    animation_->setStartValue(progress_);
    animation_->setEndValue(target);
    animation_->start();
}

void Transition::finish() {
    if (isRunning()) {
        animation_->stop();
    }
    setProgress(on_ ? 1.0 : 0.0);
}

QEasingCurve Transition::easeOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return curve;
}

qreal Transition::mix(qreal from, qreal to, qreal progress) {
    return from + (to - from) * progress;
}

QColor Transition::mix(const QColor& from, const QColor& to, qreal progress) {
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(static_cast<float>(mix(a.redF(), b.redF(), progress)),
                            static_cast<float>(mix(a.greenF(), b.greenF(), progress)),
                            static_cast<float>(mix(a.blueF(), b.blueF(), progress)),
                            static_cast<float>(mix(a.alphaF(), b.alphaF(), progress)));
}

void Transition::setProgress(qreal progress) {
    if (progress_ == progress) {
        return;
    }
    progress_ = progress;
    if (owner_ != nullptr) {
        owner_->update();
    }
    emit progressChanged(progress_);
}

}  // namespace pellucine
