#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include "Sampling.h"
#include "design/WellFrame.h"
#include "design/Yard.h"

namespace pellucine {
namespace {

using testing::blend;
using testing::matches;
using testing::renderOver;

QImage paintedWell(ColorScheme scheme, bool focused) {
    QImage image(60, 30, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    Yard::wellFrame(painter, QRectF(5, 5, 50, 20), scheme, focused);
    return image;
}

TEST(WellFrame, TheBorderLiesInsideTheEdgeAndThickensWhenFocused) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        SCOPED_TRACE(static_cast<int>(scheme));
        const Yard::Palette& p = Yard::palette(scheme);

        const QImage focused = paintedWell(scheme, true);
        EXPECT_TRUE(matches(focused.pixelColor(5, 15), p.accentType));
        EXPECT_TRUE(matches(focused.pixelColor(6, 15), p.accentType));
        EXPECT_TRUE(matches(focused.pixelColor(54, 15), p.accentType));
        EXPECT_TRUE(matches(focused.pixelColor(30, 24), p.accentType));
        EXPECT_TRUE(matches(focused.pixelColor(7, 15), p.ground));

        const QImage idle = paintedWell(scheme, false);
        EXPECT_TRUE(matches(idle.pixelColor(5, 15), blend(p.ground, p.fore, 0.75)));
        EXPECT_TRUE(matches(idle.pixelColor(30, 5), blend(p.ground, p.fore, 0.75)));
        EXPECT_TRUE(matches(idle.pixelColor(7, 15), p.ground));

        // Same outer size either way: nothing outside the rectangle is touched.
        for (const QImage& image : {focused, idle}) {
            EXPECT_TRUE(matches(image.pixelColor(4, 15), Qt::red));
            EXPECT_TRUE(matches(image.pixelColor(55, 15), Qt::red));
            EXPECT_TRUE(matches(image.pixelColor(30, 4), Qt::red));
            EXPECT_TRUE(matches(image.pixelColor(30, 25), Qt::red));
            EXPECT_TRUE(matches(image.pixelColor(30, 15), p.ground));
        }
    }
}

TEST(WellFrame, TheContainerDrawsItsBorderOverContentThatFillsIt) {
    QWidget window;
    Yard::setScheme(&window, ColorScheme::dark);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, Qt::green);
    content->setPalette(palette);
    auto* well = new WellFrame(content, &window);
    well->setTracksFocus(false);
    well->resize(80, 30);
    const Yard::Palette& p = Yard::Palette::dark();

    const QImage idle = renderOver(*well, Qt::red);
    EXPECT_TRUE(matches(idle.pixelColor(0, 15), blend(Qt::green, p.fore, 0.75)));
    EXPECT_TRUE(matches(idle.pixelColor(40, 15), Qt::green));

    well->setFocused(true);
    const QImage focused = renderOver(*well, Qt::red);
    EXPECT_TRUE(matches(focused.pixelColor(1, 15), p.accentType));
    EXPECT_EQ(well->size(), QSize(80, 30));
}

TEST(WellFrame, TheContainerShowsTheGroundWhateverTheWindowBehindIt) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        QWidget window;
        Yard::setScheme(&window, scheme);
        auto* well = new WellFrame(new QWidget, &window);
        well->setContentsMargins(8, 5, 8, 5);
        well->resize(60, 24);
        const QImage image = renderOver(*well, Qt::magenta);
        EXPECT_TRUE(matches(image.pixelColor(30, 12), Yard::palette(scheme).ground));
    }
}

TEST(WellFrame, TheContainerFollowsTheKeyboardFocusUnlessToldOtherwise) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* inside = new QLineEdit;
    auto* outside = new QLineEdit;
    auto* well = new WellFrame(inside);
    layout->addWidget(well);
    layout->addWidget(outside);
    window.show();
    QApplication::setActiveWindow(&window);

    outside->setFocus();
    EXPECT_FALSE(well->isFocused());
    inside->setFocus();
    EXPECT_TRUE(well->isFocused());
    outside->setFocus();
    EXPECT_FALSE(well->isFocused());

    // A host that decides itself (a select whose list is open) keeps its own state.
    well->setTracksFocus(false);
    well->setFocused(true);
    inside->setFocus();
    outside->setFocus();
    EXPECT_TRUE(well->isFocused());

    // New content replaces the old one.
    auto* replacement = new QLineEdit;
    well->setContent(replacement);
    EXPECT_EQ(well->content(), replacement);
    EXPECT_EQ(well->findChildren<QLineEdit*>().size(), 1);
}

}  // namespace
}  // namespace pellucine
