#pragma once

#include <QWidget>

#include "base/KeyNames.h"
#include "design/YardAccessible.h"

namespace pellucine {

// The top of the status menu: the program's icon and wordmark, and at the trailing edge the two
// key caps of the Command-Tab gesture, in line with the caps of the rows below. Lays itself out
// in exactly the width it is given; it sits in a disabled menu item and never reacts.
class MenuHeader final : public QWidget, public AccessibleElement {
    Q_OBJECT

  public:
    static constexpr int initialWidth = 268;
    static constexpr qreal leadingPadding = 15;
    static constexpr qreal trailingPadding = 21;
    static constexpr qreal topPadding = 6;
    static constexpr qreal bottomPadding = 7;
    static constexpr qreal iconSide = 30;
    static constexpr qreal spacing = 10;
    static constexpr qreal wordmarkTracking = 0.7;

    explicit MenuHeader(int width, QWidget* parent = nullptr);

    static QString wordmark() { return QStringLiteral("PELLUCINE"); }
    static QStringList capLabels() { return {KeyNames::super, KeyNames::tab}; }
    static QFont wordmarkFont();

    QRectF iconRect() const;
    QRectF wordmarkRect() const;
    QList<QRectF> capRects() const;

    QSize sizeHint() const override { return size_; }
    QSize minimumSizeHint() const override { return size_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSize size_;
};

}  // namespace pellucine
