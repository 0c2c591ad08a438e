#pragma once

#include <QAbstractButton>
#include <QRectF>

#include "design/YardPalette.h"

namespace pellucine {

class Transition;

// The on/off switch of the program's windows: a 38 × 22 capsule track with a round knob that
// slides to the trailing end and grows when on, animated over 0.12 s. A click anywhere on it,
// or Space while it has focus, flips it. Its label is not drawn; assistive technologies hear it
// as the name of an ordinary check box.
class YardSwitch : public QAbstractButton {
    Q_OBJECT

  public:
    static constexpr int trackWidth = 38;
    static constexpr int trackHeight = 22;
    static constexpr qreal borderWidth = 1.5;
    static constexpr qreal onInset = 3;
    static constexpr qreal offInset = 4;
    static constexpr qreal offBorderOpacity = 0.6;
    static constexpr qreal offKnobOpacity = 0.75;
    static constexpr qreal disabledOpacity = 0.38;
    static constexpr int durationMs = 120;

    // What is drawn at a progress from off (0) to on (1).
    struct Look {
        QRectF knob;
        QColor trackFill;
        QColor trackBorder;
        QColor knobFill;
    };
    static Look look(qreal progress, const Yard::Palette& palette);

    explicit YardSwitch(const QString& label, bool on = false, QWidget* parent = nullptr);

    QString label() const { return accessibleName(); }
    qreal progress() const;
    void finishTransition();

    QSize sizeHint() const override { return {trackWidth, trackHeight}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    void paintSwitch(QPainter& painter) const;

    Transition* transition_;
};

}  // namespace pellucine
