#include <gtest/gtest.h>

#include "panels/FullSizePeekLayout.h"
#include "panels/GlanceStyle.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

TEST(PictureSizingTest, ATilePictureShrinksToFitButIsNeverEnlarged) {
    const QRectF card(10, 20, 240, 150);
    struct Case {
        QSizeF picture;
        QRectF drawn;
    };
    const Case cases[] = {
        // Twice the card: fitted to it.
        {{480, 300}, {10, 20, 240, 150}},
        // Taller than the card: fitted by its height, centred across.
        {{200, 300}, {80, 20, 100, 150}},
        // Smaller each way: its own size, centred.
        {{220, 120}, {20, 35, 220, 120}},
        // Exactly the card, and one side exactly: no change of scale.
        {{240, 150}, {10, 20, 240, 150}},
        {{240, 100}, {10, 45, 240, 100}},
        // One side larger: fitted, so the other shrinks too.
        {{300, 100}, {10, 55, 240, 80}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GlanceStyle::shrunkToFit(c.picture, card), c.drawn)
            << c.picture.width() << " x " << c.picture.height();
    }
    // Nothing to draw: an empty rectangle at the centre.
    EXPECT_TRUE(GlanceStyle::shrunkToFit({0, 0}, card).isEmpty());
    EXPECT_EQ(GlanceStyle::shrunkToFit({0, 0}, card).center(), card.center());
}

TEST(PictureSizingTest, PixelsBecomePointsAtTheScreensScale) {
    EXPECT_EQ(GlanceStyle::pointSize({480, 288}, 2), QSizeF(240, 144));
    EXPECT_EQ(GlanceStyle::pointSize({250, 150}, 1), QSizeF(250, 150));
    EXPECT_EQ(GlanceStyle::pointSize({300, 150}, 1.5), QSizeF(200, 100));
    EXPECT_EQ(GlanceStyle::pointSize({250, 150}, 0), QSizeF(250, 150));
    EXPECT_EQ(GlanceStyle::pointSize({250, 150}, -1), QSizeF(250, 150));
}

TEST(PictureSizingTest, ThePeekAreaIsWhatLiesAboveTheGlance) {
    const ScreenRect screen{0, 40, 1280, 760};
    // A Dock glance near the bottom: the area above its top.
    EXPECT_EQ(FullSizePeekLayout::areaAbove(screen, {300, 60, 680, 300}),
              (ScreenRect{0, 360, 1280, 440}));
    // Below the area: all of it; reaching its top or beyond: none of its height.
    EXPECT_EQ(FullSizePeekLayout::areaAbove(screen, {300, -200, 680, 200}), screen);
    EXPECT_EQ(FullSizePeekLayout::areaAbove(screen, {300, 500, 680, 300}),
              (ScreenRect{0, 800, 1280, 0}));
    // A flipped glance counts as its standard form.
    EXPECT_EQ(FullSizePeekLayout::areaAbove(screen, {300, 360, 680, -300}),
              (ScreenRect{0, 360, 1280, 440}));

    // A tall picture then fits above the glance and keeps clear of it.
    const ScreenRect above = FullSizePeekLayout::areaAbove(screen, {300, 60, 680, 300});
    const FullSizePeekLayout peek = FullSizePeekLayout::fitted(1000, 1400, above);
    EXPECT_GE(peek.origin.y, 360 + 24 - 1e-9);
    EXPECT_LE(peek.origin.y + peek.panelSize.height, above.maxY());
}

}  // namespace
}  // namespace pellucine
