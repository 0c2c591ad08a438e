#include "design/YardPalette.h"

#include <QString>
#include <cstdint>
#include <limits>

namespace pellucine::Yard {
namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// Reads a hexadecimal unsigned 64-bit number the way a text scanner does: leading blanks are
// skipped, an optional "0x" is accepted, reading stops at the first other character and an
// overflow saturates. No digit at all leaves 0.
std::uint64_t scanHex(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace()) {
        ++i;
    }
    if (i + 2 < text.size() && text.at(i) == u'0' &&
        (text.at(i + 1) == u'x' || text.at(i + 1) == u'X') && hexDigit(text.at(i + 2)) >= 0) {
        i += 2;
    }
    std::uint64_t value = 0;
    bool saturated = false;
    for (; i < text.size(); ++i) {
        const int d = hexDigit(text.at(i));
        if (d < 0) {
            break;
        }
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) {
            saturated = true;
        }
        value = (value << 4) | static_cast<std::uint64_t>(d);
    }
    return saturated ? std::numeric_limits<std::uint64_t>::max() : value;
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(static_cast<float>(opacity));
    return color;
}

Palette makeDark() {
    return Palette{
        .ground = colorFromHex(u"#1c1917"),
        .sheet = colorFromHex(u"#262220"),
        .fore = colorFromHex(u"#f5f3ee"),
        .muted = colorFromHex(u"#b8b1a6"),
        .accent = colorFromHex(u"#659478"),
        .accentType = colorFromHex(u"#659478"),
        .onAccent = colorFromHex(u"#0f1a14"),
        .hairline = withOpacity(colorFromHex(u"#f5f3ee"), 0.14),
        .cardBorder = withOpacity(colorFromHex(u"#f5f3ee"), 0.5),
        .rail = colorFromHex(u"#100e0d"),
        .railSheet = colorFromHex(u"#2e2a27"),
        .railInk = colorFromHex(u"#fcfcfc"),
        .railSelect = colorFromHex(u"#659478"),
        .railSelectInk = colorFromHex(u"#0f1a14"),
    };
}

Palette makeLight() {
    return Palette{
        .ground = colorFromHex(u"#f9f6ec"),
        .sheet = colorFromHex(u"#fffdf7"),
        .fore = colorFromHex(u"#34304a"),
        .muted = colorFromHex(u"#6a6684"),
        .accent = colorFromHex(u"#3f7d5a"),
        .accentType = colorFromHex(u"#3f7d5a"),
        .onAccent = colorFromHex(u"#f9f6ec"),
        .hairline = withOpacity(colorFromHex(u"#34304a"), 0.16),
        .cardBorder = colorFromHex(u"#34304a"),
        .rail = colorFromHex(u"#34304a"),
        .railSheet = colorFromHex(u"#4a4664"),
        .railInk = colorFromHex(u"#f9f6ec"),
        .railSelect = colorFromHex(u"#659478"),
        .railSelectInk = colorFromHex(u"#0f1a14"),
    };
}

}  // namespace

QColor colorFromHex(QStringView hex) {
    QString digits = hex.toString();
    digits.remove(u'#');
    const std::uint64_t value = scanHex(digits);
    return QColor::fromRgb(static_cast<int>((value >> 16) & 0xff),
                           static_cast<int>((value >> 8) & 0xff), static_cast<int>(value & 0xff));
}

const Palette& Palette::dark() {
    static const Palette palette = makeDark();
    return palette;
}

const Palette& Palette::light() {
    static const Palette palette = makeLight();
    return palette;
}

const Palette& palette(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? Palette::dark() : Palette::light();
}

QColor windowGround(ColorScheme scheme) {
    return palette(scheme).ground;
}

}  // namespace pellucine::Yard
