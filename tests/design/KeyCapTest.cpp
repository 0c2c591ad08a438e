#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "Sampling.h"
#include "design/KeyCap.h"
#include "design/Yard.h"

namespace pellucine {
namespace {

using testing::blend;
using testing::matches;
using testing::renderOver;

int keyLineHeight() {
    return static_cast<int>(std::ceil(QFontMetricsF(Yard::keyFont()).height()));
}

TEST(KeyCap, OneCharacterCapsAreTwentyInlineAndFortyOtherwise) {
    for (const QString& label : {QStringLiteral("⌘"), QStringLiteral("F"), QStringLiteral(",")}) {
        EXPECT_EQ(KeyCap::size(label, true), QSize(20, keyLineHeight() + 2));
        EXPECT_EQ(KeyCap::size(label, false), QSize(40, keyLineHeight() + 8));
    }
    // An empty label keeps the minimum.
    EXPECT_EQ(KeyCap::size(QString(), false).width(), 40);
    EXPECT_EQ(KeyCap(QStringLiteral("⇧"), false, true).sizeHint(), QSize(20, keyLineHeight() + 2));
}

TEST(KeyCap, LongLabelsGrowPastTheMinimumByThePaddingOnly) {
    const QString label = QStringLiteral("Space");
    const int text =
        static_cast<int>(std::ceil(QFontMetricsF(Yard::keyFont()).horizontalAdvance(label)));
    ASSERT_GT(text, 26);
    EXPECT_EQ(KeyCap::size(label, false).width(), text + 14);
    EXPECT_EQ(KeyCap::size(label, true).width(), text + 8);

    KeyCap cap(QStringLiteral("F"));
    cap.setLabel(label);
    EXPECT_EQ(cap.sizeHint().width(), text + 14);
    cap.setInline(true);
    EXPECT_EQ(cap.sizeHint().width(), text + 8);
}

TEST(KeyCap, PlainAndRailCapsPaintTheirColoursInBothSchemes) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        SCOPED_TRACE(static_cast<int>(scheme));
        const Yard::Palette& p = Yard::palette(scheme);
        QWidget window;
        Yard::setScheme(&window, scheme);

        auto* plain = new KeyCap(QStringLiteral("⌘"), false, false, &window);
        plain->resize(plain->sizeHint());
        const QImage clear = renderOver(*plain, p.ground);
        const int middle = clear.height() / 2;
        EXPECT_TRUE(matches(clear.pixelColor(0, middle), blend(p.ground, p.fore, 0.5)));
        EXPECT_TRUE(matches(clear.pixelColor(clear.width() - 1, 2), blend(p.ground, p.fore, 0.5)));
        EXPECT_TRUE(matches(clear.pixelColor(2, 2), p.ground));
        EXPECT_TRUE(
            testing::hasPixelToward(clear, clear.rect().adjusted(7, 4, -7, -4), p.ground, p.fore));

        auto* rail = new KeyCap(QStringLiteral("Esc"), true, false, &window);
        rail->resize(rail->sizeHint());
        const QImage onRail = renderOver(*rail, p.rail);
        EXPECT_TRUE(matches(onRail.pixelColor(2, 2), p.railSheet));
        EXPECT_TRUE(matches(onRail.pixelColor(0, middle), blend(p.railSheet, p.railInk, 0.45)));
        EXPECT_TRUE(matches(onRail.pixelColor(onRail.width() / 2, onRail.height() - 1),
                            blend(p.railSheet, p.railInk, 0.45)));
        EXPECT_TRUE(testing::hasPixelToward(onRail, onRail.rect().adjusted(7, 4, -7, -4),
                                            p.railSheet, p.railInk));
    }
}

TEST(KeyCap, ThePaintHelperDrawsWhatTheWidgetDraws) {
    QWidget window;
    Yard::setScheme(&window, ColorScheme::dark);
    for (bool onRail : {false, true}) {
        for (bool isInline : {false, true}) {
            auto* cap = new KeyCap(QStringLiteral("⌥"), onRail, isInline, &window);
            cap->resize(cap->sizeHint());
            const QColor background = Yard::Palette::dark().rail;
            const QImage widget = renderOver(*cap, background);

            QImage helper(KeyCap::size(QStringLiteral("⌥"), isInline), QImage::Format_ARGB32);
            helper.fill(background);
            QPainter painter(&helper);
            KeyCap::paint(painter, helper.rect(), QStringLiteral("⌥"), Yard::Palette::dark(),
                          onRail);
            painter.end();
            EXPECT_EQ(widget, helper) << onRail << isInline;
        }
    }
}

}  // namespace
}  // namespace pellucine
