#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <limits>

#include "Sampling.h"
#include "design/HazardStripe.h"
#include "design/Yard.h"

namespace pellucine {
namespace {

using testing::matches;
using testing::renderOver;

TEST(HazardStripe, StripesCoverTheBandEveryTwoHeightsFromMinusOneHeight) {
    const QList<QPolygonF> stripes = HazardStripe::stripes(100, 5);
    ASSERT_EQ(stripes.size(), 12);
    for (qsizetype i = 0; i < stripes.size(); ++i) {
        EXPECT_DOUBLE_EQ(stripes.at(i).at(0).x(), -5 + 10.0 * static_cast<double>(i));
    }
    // Each leans right: bottom-left, top-left, top-right, bottom-right.
    const QPolygonF first = stripes.first();
    EXPECT_EQ(first, QPolygonF({QPointF(-5, 5), QPointF(0, 0), QPointF(4.5, 0), QPointF(-0.5, 5)}));
    EXPECT_DOUBLE_EQ(stripes.last().at(0).x(), 105);

    // The last start is the last below w + 2h.
    EXPECT_EQ(HazardStripe::stripes(95, 5).size(), 11);
    EXPECT_EQ(HazardStripe::stripes(95.01, 5).size(), 12);
}

TEST(HazardStripe, DegenerateBandsHaveNoStripesAndReturnAtOnce) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(HazardStripe::stripes(100, 0).isEmpty());
    EXPECT_TRUE(HazardStripe::stripes(100, -1).isEmpty());
    EXPECT_TRUE(HazardStripe::stripes(100, nan).isEmpty());
    EXPECT_TRUE(HazardStripe::stripes(inf, 5).isEmpty());
    EXPECT_TRUE(HazardStripe::stripes(nan, 5).isEmpty());
    EXPECT_TRUE(HazardStripe::stripes(100, 1e-12).isEmpty());
    // A band narrower than nothing still gets the stripes that reach into it.
    EXPECT_EQ(HazardStripe::stripes(0, 5).size(), 2);
    EXPECT_TRUE(HazardStripe::stripes(-20, 5).isEmpty());
}

TEST(HazardStripe, PaintsAccentStripesOnTheRailInBothSchemes) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        SCOPED_TRACE(static_cast<int>(scheme));
        const Yard::Palette& p = Yard::palette(scheme);
        QWidget window;
        Yard::setScheme(&window, scheme);
        auto* stripe = new HazardStripe(10, &window);
        stripe->resize(100, stripe->sizeHint().height());
        EXPECT_EQ(stripe->height(), 10);

        const QImage image = renderOver(*stripe, Qt::red);
        // Along the middle row a stripe spans [x + 0.45h, x + 1.35h] for x = -10, 10, 30, …
        for (int x : {19, 39, 79}) {
            EXPECT_TRUE(matches(image.pixelColor(x, 5), p.accent)) << x;
        }
        for (int x : {8, 28, 88}) {
            EXPECT_TRUE(matches(image.pixelColor(x, 5), p.rail)) << x;
        }
        // Edge to edge: no red left at either end.
        EXPECT_FALSE(testing::hasPixelNear(image, image.rect(), Qt::red));
    }
}

TEST(HazardStripe, ABandOfNoHeightDrawsNothing) {
    for (qreal height : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        HazardStripe stripe(height);
        EXPECT_EQ(stripe.sizeHint().height(), 0);
        EXPECT_EQ(stripe.maximumHeight(), 0);

        QImage image(40, 10, QImage::Format_ARGB32);
        image.fill(Qt::red);
        const QImage before = image;
        QPainter painter(&image);
        HazardStripe::paint(painter, QRectF(0, 0, 40, height), Yard::Palette::dark());
        HazardStripe::paint(painter, QRectF(0, 0, 0, 10), Yard::Palette::dark());
        painter.end();
        EXPECT_EQ(image, before);
    }
    HazardStripe stripe(5);
    stripe.setStripeHeight(-1);
    EXPECT_EQ(stripe.maximumHeight(), 0);
    stripe.setStripeHeight(2.5);
    EXPECT_EQ(stripe.maximumHeight(), 3);
}

}  // namespace
}  // namespace pellucine
