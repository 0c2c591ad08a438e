#pragma once

#include <QWidget>

#include "design/YardPalette.h"

namespace pellucine {

// What stands in for a window that is never photographed: a lock over "Kept private".
class PrivateWindowPlaceholder : public QWidget {
    Q_OBJECT

  public:
    static constexpr qreal symbolSize = 26;
    static constexpr qreal spacing = 6;

    explicit PrivateWindowPlaceholder(QWidget* parent = nullptr);

    static QString text() { return QStringLiteral("Kept private"); }
    static QSize size();
    // Draws the placeholder centred in `rect`.
    static void paint(QPainter& painter, const QRectF& rect, const Yard::Palette& palette);

    QSize sizeHint() const override { return size(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pellucine
