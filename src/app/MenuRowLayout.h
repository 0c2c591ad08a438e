#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

namespace pellucine {

// What a menu row draws at its trailing edge: a run of key caps, right-aligned monospaced text,
// or nothing.
struct MenuRowTrailing {
    enum class Case { keys, text, none };

    Case trailingCase = Case::none;
    QStringList keys;
    QString text;

    static MenuRowTrailing keyCaps(QStringList labels) {
        return {Case::keys, std::move(labels), {}};
    }
    static MenuRowTrailing plainText(QString text) { return {Case::text, {}, std::move(text)}; }
    static MenuRowTrailing none() { return {}; }

    // The caps joined with blanks, or the text; empty for none.
    QString spoken() const;

    friend bool operator==(const MenuRowTrailing&, const MenuRowTrailing&) = default;
};

// Everything a menu row shows, fixed when the row is made.
struct MenuRowContent {
    QString title;
    std::optional<QString> subtitle;
    // A symbol name; one that is not known leaves the symbol area empty.
    QString symbol;
    MenuRowTrailing trailing;
    bool enabled = true;
    // The title is drawn in the bold face when the row is bold or tinted.
    bool bold = false;
    // The title's colour while not highlighted.
    std::optional<QColor> tint;
    // The symbol's colours; empty draws it in the title's colour.
    QList<QColor> palette;

    bool drawsBoldTitle() const { return bold || tint.has_value(); }

    friend bool operator==(const MenuRowContent&, const MenuRowContent&) = default;
};

// The fonts every menu row draws and measures with, made once per process. Sizes follow the
// desktop's menu font.
namespace MenuRowFonts {
const QFont& title();
const QFont& boldTitle();
// Two pixels under the title.
const QFont& subtitle();
// 10 px, medium.
const QFont& keyCap();
// Monospaced, one pixel under the title.
const QFont& trailing();
// The title font's size in pixels.
qreal titlePixels();
}  // namespace MenuRowFonts

// Where a menu row of a given size draws its parts, in widget coordinates (y down).
struct MenuRowGeometry {
    static constexpr qreal rowHeight = 24;
    static constexpr qreal titleX = 37.5;
    static constexpr qreal symbolX = 17;
    static constexpr qreal symbolXWithSubtitle = 15;
    // From the right edge to the end of the trailing part.
    static constexpr qreal trailingInset = 21;
    static constexpr qreal highlightInset = 5;
    static constexpr qreal highlightRadius = 6;
    static constexpr qreal capGap = 2;
    static constexpr qreal capMinimumLabelWidth = 11;
    static constexpr qreal capPadding = 5;
    static constexpr qreal capStrokeWidth = 0.75;
    // Between the title and the trailing part, in the width a row needs.
    static constexpr qreal trailingGap = 24;

    QRectF highlight;
    // Empty for an unknown symbol.
    QRectF symbol;
    qreal symbolPointSize = 0;
    QRectF title;
    std::optional<QRectF> subtitle;
    std::optional<QRectF> trailingText;
    QList<QRectF> caps;
};

// One width per label: max(ceil(label width), 11) + 5 in the key-cap font.
QList<qreal> capWidths(const QStringList& labels);
// The caps' widths with 2 between neighbours; 0 for none.
qreal keysWidth(const QStringList& labels);
qreal trailingWidth(const MenuRowTrailing& trailing);
// Caps laid out from x, centred on a row of `height`.
QList<QRectF> capRects(const QStringList& labels, qreal x, qreal height);

MenuRowGeometry menuRowGeometry(const MenuRowContent& content, QSizeF size);

// The width a row with a trailing part needs: title, gap, trailing part and both margins.
int trailingRowWidthNeed(const QString& title, const MenuRowTrailing& trailing);
// The width a row without one needs: its title or subtitle, whichever is wider, and margins.
int plainRowWidthNeed(const MenuRowContent& content);

}  // namespace pellucine
