#pragma once

#include <QList>
#include <QPolygonF>
#include <QWidget>

#include "design/YardPalette.h"

namespace pellucine {

// A band of accent stripes leaning right on the rail colour, as wide as it is laid out and
// `stripeHeight` high. Hidden from accessibility.
class HazardStripe : public QWidget {
    Q_OBJECT

  public:
    explicit HazardStripe(qreal height = 5, QWidget* parent = nullptr);

    qreal stripeHeight() const { return height_; }
    void setStripeHeight(qreal height);

    // The stripes over a band of `width` × `height`: one every 2h from x = −h while x < w + 2h,
    // each 0.9h wide along the edges. None when the height is zero or less, or when either
    // measure is not finite or the band would need more than `maximumStripes`.
    static QList<QPolygonF> stripes(qreal width, qreal height);
    static constexpr int maximumStripes = 100000;

    // The rail fill and the stripes over `rect`; nothing for an empty rectangle.
    static void paint(QPainter& painter, const QRectF& rect, const Yard::Palette& palette);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qreal height_;
};

}  // namespace pellucine
