#include <gtest/gtest.h>

#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>

#include "Sampling.h"
#include "design/Yard.h"
#include "design/YardMasthead.h"
#include "design/YardText.h"

namespace pellucine {
namespace {

using testing::matches;
using testing::renderOver;

TEST(YardMasthead, TheIconStartsAtTheInsetButNeverInsideTheSidePadding) {
    EXPECT_EQ(YardMasthead::leadingSpace(24), 24);
    EXPECT_EQ(YardMasthead::leadingSpace(80), 80);
    EXPECT_EQ(YardMasthead::leadingSpace(18), 18);
    EXPECT_EQ(YardMasthead::leadingSpace(0), 18);
    EXPECT_EQ(YardMasthead::leadingSpace(-40), 18);
}

TEST(YardMasthead, LayoutKeepsTheSpacingAfterTheInsetAndPinsTheTrailingView) {
    const QSizeF wordmark(100, 20);
    const auto plain = YardMasthead::layout(600, 28, wordmark, std::nullopt);
    EXPECT_EQ(plain.icon, QRectF(28, 14, 30, 30));
    EXPECT_EQ(plain.wordmark, QRectF(68, 19, 100, 20));
    EXPECT_FALSE(plain.trailing.has_value());
    EXPECT_EQ(plain.minimumWidth, 168 + 10 + 16 + 18);

    const auto wide = YardMasthead::layout(600, 90, wordmark, QSizeF(50, 24));
    EXPECT_EQ(wide.icon.x(), 90);
    ASSERT_TRUE(wide.trailing.has_value());
    EXPECT_EQ(*wide.trailing, QRectF(532, 17, 50, 24));
    EXPECT_EQ(wide.minimumWidth, 230 + 10 + 16 + 10 + 50 + 18);

    // Too narrow: the trailing view keeps its gap instead of covering the wordmark.
    const auto narrow = YardMasthead::layout(100, 80, wordmark, QSizeF(50, 24));
    EXPECT_GE(narrow.trailing->left(), narrow.wordmark.right() + 36);

    EXPECT_EQ(YardMasthead::layout(600, -10, wordmark, std::nullopt).icon.x(), 18);
}

class YardMastheadWidget : public ::testing::Test {
  protected:
    YardMastheadWidget() {
        QPixmap icon(30, 30);
        icon.fill(Qt::red);
        QGuiApplication::setWindowIcon(QIcon(icon));
    }
    ~YardMastheadWidget() override { QGuiApplication::setWindowIcon(QIcon()); }
};

TEST_F(YardMastheadWidget, PaintsTheRailIconAndWordmarkInBothSchemes) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        SCOPED_TRACE(static_cast<int>(scheme));
        const Yard::Palette& p = Yard::palette(scheme);
        QWidget window;
        Yard::setScheme(&window, scheme);
        auto* masthead = new YardMasthead(80, &window);
        masthead->resize(500, masthead->sizeHint().height());
        EXPECT_EQ(masthead->height(), 58);

        const QImage image = renderOver(*masthead, Qt::blue);
        EXPECT_TRUE(matches(image.pixelColor(2, 2), p.rail));
        EXPECT_TRUE(matches(image.pixelColor(499, 57), p.rail));
        EXPECT_TRUE(matches(image.pixelColor(105, 29), Qt::red));
        EXPECT_TRUE(matches(image.pixelColor(43, 29), p.rail));
        EXPECT_TRUE(testing::hasPixelToward(image, QRect(130, 10, 120, 38), p.rail, p.railInk));
    }
}

TEST_F(YardMastheadWidget, AnInsetInsideTheSidePaddingPlacesTheIconAtThePadding) {
    QWidget window;
    auto* masthead = new YardMasthead(-25, &window);
    masthead->resize(400, 58);
    const QImage image = renderOver(*masthead, Qt::blue);
    EXPECT_TRUE(matches(image.pixelColor(18, 14), Qt::red));
    EXPECT_TRUE(matches(image.pixelColor(17, 29), Yard::Palette::light().rail));
    EXPECT_GE(masthead->minimumSizeHint().width(), 18 + 30);
}

TEST_F(YardMastheadWidget, TheTrailingViewSitsAtTheRightInTheRailInk) {
    QWidget window;
    Yard::setScheme(&window, ColorScheme::dark);
    auto* masthead = new YardMasthead(18, &window);
    auto* label = new QLabel(QStringLiteral("Diagnostics"));
    masthead->setTrailing(label);
    masthead->resize(640, 58);
    window.show();
    EXPECT_EQ(label->geometry().right() + 1, 640 - 18);
    EXPECT_EQ(label->parentWidget(), masthead);
    EXPECT_EQ(masthead->accessibleName(), QStringLiteral("PELLUCINE, Diagnostics"));

    QColor ink = Yard::Palette::dark().railInk;
    ink.setAlphaF(0.74f);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), ink);
    Yard::setScheme(&window, ColorScheme::light);
    ink = Yard::Palette::light().railInk;
    ink.setAlphaF(0.74f);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), ink);

    masthead->resize(900, 58);
    EXPECT_EQ(label->geometry().right() + 1, 900 - 18);
    // The minimum width leaves the trailing view clear of the wordmark.
    EXPECT_GE(masthead->minimumSizeHint().width(),
              18 + 10 + 30 + 10 + 36 + label->sizeHint().width() + 18);

    masthead->setTrailing(nullptr);
    EXPECT_EQ(masthead->accessibleName(), QStringLiteral("PELLUCINE"));
}

TEST_F(YardMastheadWidget, ADesignTextAtTheTrailingEdgeIsDrawnInTheRailInkInEitherScheme) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget window;
        auto* masthead = new YardMasthead(18, &window);
        auto* tag = new YardText(QStringLiteral("FOR SUPPORT"), Yard::tagFont());
        masthead->setTrailing(tag);
        masthead->resize(640, 58);
        window.show();
        // Polishing and scheme changes restyle the text; it keeps the rail's ink.
        Yard::setScheme(&window, scheme);
        const Yard::Palette& p = Yard::palette(scheme);
        EXPECT_EQ(tag->palette().color(QPalette::WindowText), p.railInk);
        const auto* fade = qobject_cast<QGraphicsOpacityEffect*>(tag->graphicsEffect());
        ASSERT_NE(fade, nullptr);
        EXPECT_DOUBLE_EQ(fade->opacity(), YardMasthead::trailingOpacity);
        const QImage image = renderOver(*masthead, Qt::blue);
        EXPECT_TRUE(testing::hasPixelToward(image, tag->geometry(), p.rail, p.railInk));
    }
}

}  // namespace
}  // namespace pellucine
