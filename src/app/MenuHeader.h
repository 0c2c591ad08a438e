#pragma once

#include <QStringList>
#include <QWidget>

#include "design/YardAccessible.h"

namespace pellucine {

// The top of the status menu: the program's icon and wordmark, and at the trailing edge the key
// caps the switcher strip opens on, in line with the caps of the rows below; no caps while the
// strip is off. Lays itself out in exactly the width it is given; it sits in a disabled menu item
// and never reacts.
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

    // `switcherKeys` are the caps' labels: "Super", "Tab".
    MenuHeader(int width, QStringList switcherKeys, QWidget* parent = nullptr);

    static QString wordmark() { return QStringLiteral("PELLUCINE"); }
    // "PELLUCINE. Super+Tab.", or only the wordmark while the strip is off.
    static QString accessibleText(const QStringList& switcherKeys);
    // The width the icon, the wordmark and the caps need with their paddings.
    static int widthNeed(const QStringList& switcherKeys);
    QStringList capLabels() const { return capLabels_; }
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
    QStringList capLabels_;
};

}  // namespace pellucine
