#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "design/Yard.h"

// A border drawn inside a rectangle looks the same however it is drawn.
namespace pellucine {
namespace {

// The border as an antialiased pen draws it.
void penBorder(QPainter& painter, const QRectF& rect, const QColor& colour, qreal width) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal half = width / 2;
    painter.drawRect(rect.adjusted(half, half, -half, -half));
    painter.restore();
}

QImage drawn(const QRectF& rect, const QColor& colour, qreal width, QPointF offset, bool pen) {
    QImage image(120, 90, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(20, 40, 60));
    QPainter painter(&image);
    painter.translate(offset);
    if (pen) {
        penBorder(painter, rect, colour, width);
    } else {
        Yard::strokeInside(painter, rect, colour, width);
    }
    return image;
}

int differingPixels(const QImage& a, const QImage& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) > tolerance ||
                std::abs(p.green() - q.green()) > tolerance ||
                std::abs(p.blue() - q.blue()) > tolerance) {
                ++count;
            }
        }
    }
    return count;
}

TEST(StrokeInsideTest, WholePixelBordersMatchThePenAndPaintEachPixelOnce) {
    const QRectF rect(4, 6, 100, 70);
    for (const qreal width : {1.0, 2.0, 5.0}) {
        for (const QPointF offset : {QPointF(0, 0), QPointF(7, -3)}) {
            // The pen leaves the four corner pixels of a one-pixel border partly uncovered; the
            // mitred corner it stands for is whole.
            const QColor solid(250, 200, 10);
            EXPECT_LE(differingPixels(drawn(rect, solid, width, offset, true),
                                      drawn(rect, solid, width, offset, false), 1),
                      width == 1 ? 4 : 0)
                << "width " << width << " offset " << offset.x();
        }
        // A translucent border is blended once everywhere, its corners too.
        const QImage border = drawn(rect, QColor(250, 200, 10, 120), width, {}, false);
        EXPECT_EQ(border.pixelColor(4, 6), border.pixelColor(50, 6)) << width;
        EXPECT_EQ(border.pixelColor(103, 75), border.pixelColor(103, 40)) << width;
        EXPECT_EQ(border.pixelColor(50, 40), QColor(20, 40, 60)) << "the inside stays as it was";
    }
}

TEST(StrokeInsideTest, FractionalAndTinyBordersStillDraw) {
    const QColor solid(250, 200, 10);
    for (const QRectF& rect : {QRectF(4.5, 6.25, 100, 70), QRectF(4, 6, 3, 3)}) {
        for (const qreal width : {1.5, 2.0}) {
            EXPECT_LE(differingPixels(drawn(rect, solid, width, {}, true),
                                      drawn(rect, solid, width, {}, false), 1),
                      0)
                << rect.x() << " " << rect.width() << " " << width;
        }
    }
    // Scaled, as on a screen of two pixels to the point.
    QImage scaled(120, 90, QImage::Format_ARGB32_Premultiplied);
    scaled.fill(Qt::black);
    QPainter painter(&scaled);
    painter.scale(2, 2);
    Yard::strokeInside(painter, QRectF(2, 2, 40, 30), solid, 1);
    painter.end();
    EXPECT_EQ(scaled.pixelColor(5, 20), solid) << "two pixels wide at the left edge";
    EXPECT_EQ(scaled.pixelColor(6, 20), QColor(Qt::black));
}

}  // namespace
}  // namespace pellucine
