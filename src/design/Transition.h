#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <chrono>

class QVariantAnimation;
class QWidget;

namespace pellucine {

// A 0…1 progress between a widget's two looks ("off" at 0, "on" at 1), eased out. It animates
// only while the widget is visible; a hidden widget jumps straight to its new look. Every change
// of progress repaints the widget.
class Transition : public QObject {
    Q_OBJECT

  public:
    Transition(QWidget* owner, std::chrono::milliseconds duration, bool on = false);
    ~Transition() override;

    bool isOn() const { return on_; }
    qreal progress() const { return progress_; }
    bool isRunning() const;
    std::chrono::milliseconds duration() const { return duration_; }

    void setOn(bool on);
    // Ends a running animation at its target.
    void finish();

    // The ease-out curve of every animation of the design system.
    static QEasingCurve easeOut();
    // Linear interpolation from `from` at progress 0 to `to` at progress 1.
    static qreal mix(qreal from, qreal to, qreal progress);
    static QColor mix(const QColor& from, const QColor& to, qreal progress);

  signals:
    void progressChanged(qreal progress);

  private:
    void setProgress(qreal progress);

    QPointer<QWidget> owner_;
    std::chrono::milliseconds duration_;
    bool on_;
    qreal progress_;
    QVariantAnimation* animation_;
};

}  // namespace pellucine
