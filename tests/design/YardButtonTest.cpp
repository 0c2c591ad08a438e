#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "Sampling.h"
#include "design/Yard.h"
#include "design/YardButton.h"

namespace pellucine {
namespace {

using testing::blend;
using testing::matches;
using testing::renderOver;
using Kind = YardButton::Kind;

struct Host {
    explicit Host(ColorScheme scheme, Kind kind, const QString& text = QStringLiteral("Save"))
        : button(new YardButton(text, kind, &window)) {
        Yard::setScheme(&window, scheme);
        button->resize(button->sizeHint());
    }
    QImage image() { return renderOver(*button, Yard::palette(&window).ground); }

    QWidget window;
    YardButton* button;
};

struct Look {
    QColor label;
    QColor fill;  // invalid when clear
    QColor border;
};

Look expectedLook(Kind kind, const Yard::Palette& p) {
    switch (kind) {
        case Kind::primary:
            return {p.onAccent, p.accent, p.accent};
        case Kind::secondary:
            return {p.fore, QColor(), p.fore};
        case Kind::danger:
            return {p.accentType, QColor(), p.accentType};
    }
    return {};
}

TEST(YardButton, SizeIsTheTrackedUpperCaseLabelPlusPadding) {
    YardButton button(QStringLiteral("Open settings"));
    EXPECT_EQ(button.displayText(), QStringLiteral("OPEN SETTINGS"));
    const QFontMetricsF metrics(YardButton::labelFont());
    // Qt keeps letter spacing in 64ths of a pixel.
    EXPECT_NEAR(YardButton::labelFont().letterSpacing(), 1.2, 1.0 / 64);
    const QSize hint = button.sizeHint();
    EXPECT_EQ(
        hint.width(),
        static_cast<int>(std::ceil(metrics.horizontalAdvance(QStringLiteral("OPEN SETTINGS")))) +
            26);
    EXPECT_EQ(hint.height(), static_cast<int>(std::ceil(metrics.height())) + 14);

    // Line breaks never make a second line.
    YardButton twoLines(QStringLiteral("Open\nsettings"));
    EXPECT_EQ(twoLines.displayText(), QStringLiteral("OPEN SETTINGS"));
    EXPECT_EQ(twoLines.sizeHint(), hint);
}

TEST(YardButton, EachKindPaintsItsFillBorderAndLabelInBothSchemes) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        const Yard::Palette& palette = Yard::palette(scheme);
        for (Kind kind : {Kind::primary, Kind::secondary, Kind::danger}) {
            SCOPED_TRACE(static_cast<int>(scheme) * 10 + static_cast<int>(kind));
            Host host(scheme, kind);
            const QImage image = host.image();
            const Look look = expectedLook(kind, palette);
            const int middle = image.height() / 2;
            // The 1.5 border covers the outermost pixel fully, on every side.
            EXPECT_TRUE(matches(image.pixelColor(0, middle), look.border));
            EXPECT_TRUE(matches(image.pixelColor(image.width() - 1, middle), look.border));
            EXPECT_TRUE(matches(image.pixelColor(image.width() / 2, 0), look.border));
            // Between the border and the label: the fill, or the ground through a clear one.
            const QColor inside = look.fill.isValid() ? look.fill : palette.ground;
            EXPECT_TRUE(matches(image.pixelColor(5, middle), inside));
            EXPECT_TRUE(matches(image.pixelColor(image.width() / 2, 3), inside));
            EXPECT_TRUE(
                testing::hasPixelNear(image, QRect(13, 7, image.width() - 26, 14), look.label));
        }
    }
}

TEST(YardButton, DisabledAndPressedButtonsFadeAsAWhole) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        const Yard::Palette& p = Yard::palette(scheme);
        Host host(scheme, Kind::primary);
        const int middle = host.button->height() / 2;

        host.button->setDown(true);
        EXPECT_TRUE(matches(host.image().pixelColor(5, middle), blend(p.ground, p.accent, 0.7)));
        host.button->setDown(false);

        host.button->setEnabled(false);
        const QImage disabled = host.image();
        EXPECT_TRUE(matches(disabled.pixelColor(5, middle), blend(p.ground, p.accent, 0.38)));
        EXPECT_TRUE(matches(disabled.pixelColor(0, middle), blend(p.ground, p.accent, 0.38)));

        // Pressing a disabled button changes nothing and sends nothing.
        QSignalSpy clicked(host.button, &QAbstractButton::clicked);
        QTest::mousePress(host.button, Qt::LeftButton, {}, QPoint(5, middle));
        EXPECT_FALSE(host.button->isDown());
        EXPECT_EQ(host.image(), disabled);
        QTest::mouseRelease(host.button, Qt::LeftButton, {}, QPoint(5, middle));
        EXPECT_EQ(clicked.count(), 0);
    }
}

TEST(YardButton, PressingShowsThePressedLookAndTheWholeRectangleClicks) {
    Host host(ColorScheme::dark, Kind::secondary);
    const Yard::Palette& p = Yard::Palette::dark();
    QSignalSpy clicked(host.button, &QAbstractButton::clicked);
    const int middle = host.button->height() / 2;

    // A corner of the clear fill still belongs to the button.
    QTest::mousePress(host.button, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(host.button->isDown());
    EXPECT_TRUE(matches(host.image().pixelColor(0, middle), blend(p.ground, p.fore, 0.7)));
    QTest::mouseRelease(host.button, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(matches(host.image().pixelColor(0, middle), p.fore));

    QTest::mouseClick(host.button, Qt::LeftButton, {},
                      QPoint(host.button->width() - 1, host.button->height() - 1));
    EXPECT_EQ(clicked.count(), 2);
}

}  // namespace
}  // namespace pellucine
