#pragma once

#include <QWidget>

#include "design/TextBaseline.h"
#include "design/YardAccessible.h"

namespace pellucine {

class Transition;

// The "Saved" stamp that flashes in a page header after a change. Hidden, it is transparent and
// slightly enlarged towards its leading side, keeps its place in the layout, and is skipped by
// assistive technologies; changes fade and settle over 0.16 s.
class SavedStamp : public QWidget, public HasTextBaseline, public AccessibleElement {
    Q_OBJECT

  public:
    static constexpr int horizontalPadding = 8;
    static constexpr int verticalPadding = 3;
    static constexpr qreal tracking = 1.6;
    static constexpr qreal borderWidth = 1.5;
    static constexpr qreal hiddenScale = 1.08;
    static constexpr int durationMs = 160;

    explicit SavedStamp(bool showing = false, QWidget* parent = nullptr);

    bool isShowing() const;
    void setShowing(bool showing);
    // Opacity and scale as drawn now.
    qreal opacity() const;
    qreal scale() const;
    void finishTransition();

    static QString text();
    static QFont labelFont();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    int firstBaseline() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    void adjustAccessibleState(QAccessible::State& state) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Transition* transition_;
};

}  // namespace pellucine
