#include <gtest/gtest.h>

#include "Sampling.h"
#include "design/YardPalette.h"

namespace pellucine {
namespace {

using Yard::colorFromHex;
using Yard::Palette;

struct Expected {
    const char* field;
    QColor Palette::*member;
    const char* dark;
    double darkOpacity;
    const char* light;
    double lightOpacity;
};

const Expected table[] = {
    {"ground", &Palette::ground, "#1c1917", 1, "#f9f6ec", 1},
    {"sheet", &Palette::sheet, "#262220", 1, "#fffdf7", 1},
    {"fore", &Palette::fore, "#f5f3ee", 1, "#34304a", 1},
    {"muted", &Palette::muted, "#b8b1a6", 1, "#6a6684", 1},
    {"accent", &Palette::accent, "#659478", 1, "#3f7d5a", 1},
    {"accentType", &Palette::accentType, "#659478", 1, "#3f7d5a", 1},
    {"onAccent", &Palette::onAccent, "#0f1a14", 1, "#f9f6ec", 1},
    {"hairline", &Palette::hairline, "#f5f3ee", 0.14, "#34304a", 0.16},
    {"cardBorder", &Palette::cardBorder, "#f5f3ee", 0.5, "#34304a", 1},
    {"rail", &Palette::rail, "#100e0d", 1, "#34304a", 1},
    {"railSheet", &Palette::railSheet, "#2e2a27", 1, "#4a4664", 1},
    {"railInk", &Palette::railInk, "#fcfcfc", 1, "#f9f6ec", 1},
    {"railSelect", &Palette::railSelect, "#659478", 1, "#659478", 1},
    {"railSelectInk", &Palette::railSelectInk, "#0f1a14", 1, "#0f1a14", 1},
};

void expectColour(const QColor& actual, const char* hex, double opacity, const char* what) {
    EXPECT_EQ(actual.name(), QString::fromLatin1(hex)) << what;
    EXPECT_NEAR(actual.alphaF(), opacity, 0.002) << what;
}

TEST(YardPalette, HoldsAllFourteenColoursOfBothSchemesWithTheirOpacities) {
    for (const Expected& e : table) {
        expectColour(Palette::dark().*(e.member), e.dark, e.darkOpacity, e.field);
        expectColour(Palette::light().*(e.member), e.light, e.lightOpacity, e.field);
    }
}

TEST(YardPalette, SchemeChoosesThePaletteAndTheWindowGround) {
    EXPECT_EQ(&Yard::palette(ColorScheme::dark), &Palette::dark());
    EXPECT_EQ(&Yard::palette(ColorScheme::light), &Palette::light());
    EXPECT_EQ(Yard::windowGround(ColorScheme::dark), Palette::dark().ground);
    EXPECT_EQ(Yard::windowGround(ColorScheme::light), Palette::light().ground);
    EXPECT_EQ(Yard::windowGround(ColorScheme::dark), QColor(28, 25, 23));
    EXPECT_EQ(Yard::windowGround(ColorScheme::light), QColor(249, 246, 236));
}

TEST(YardPalette, HexParsingScansLeadingDigitsAndFallsBackToBlack) {
    EXPECT_EQ(colorFromHex(u"#1c1917"), QColor(28, 25, 23));
    EXPECT_EQ(colorFromHex(u"1C1917"), QColor(28, 25, 23));
    EXPECT_EQ(colorFromHex(u""), QColor(0, 0, 0));
    EXPECT_EQ(colorFromHex(u"#"), QColor(0, 0, 0));
    EXPECT_EQ(colorFromHex(u"zz"), QColor(0, 0, 0));
    // Every "#" goes, wherever it stands.
    EXPECT_EQ(colorFromHex(u"##fff"), QColor(0, 15, 255));
    EXPECT_EQ(colorFromHex(u"#12#34#56"), QColor(0x12, 0x34, 0x56));
    // Reading stops at the first character that is not a digit.
    EXPECT_EQ(colorFromHex(u"#12zz56"), QColor(0, 0, 0x12));
    EXPECT_EQ(colorFromHex(u" 0x0000ff"), QColor(0, 0, 255));
    // More digits than 64 bits hold saturate instead of wrapping.
    EXPECT_EQ(colorFromHex(u"#1ffffffffffffffff00"), QColor(255, 255, 255));
    EXPECT_EQ(colorFromHex(u"#abcdef").alphaF(), 1.0f);
}

}  // namespace
}  // namespace pellucine
