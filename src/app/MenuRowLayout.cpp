#include "app/MenuRowLayout.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "base/KeyNames.h"
#include "design/Symbols.h"
#include "design/YardFonts.h"

namespace pellucine {

QString MenuRowTrailing::spoken() const {
    switch (trailingCase) {
        case Case::keys:
            return KeyNames::spoken(keys);
        case Case::text:
            return text;
        case Case::none:
            break;
    }
    return {};
}

namespace MenuRowFonts {

qreal titlePixels() {
    static const qreal pixels = [] {
        const QFont menu = QApplication::font("QMenu");
        if (menu.pixelSize() > 0) {
            return qreal(menu.pixelSize());
        }
        return std::max<qreal>(1, menu.pointSizeF() / Yard::pointSizeForPixels(1));
    }();
    return pixels;
}

const QFont& title() {
    static const QFont font = Yard::font(titlePixels());
    return font;
}

const QFont& boldTitle() {
    static const QFont font = Yard::font(titlePixels(), QFont::Bold);
    return font;
}

const QFont& subtitle() {
    static const QFont font = Yard::font(std::max<qreal>(1, titlePixels() - 2));
    return font;
}

const QFont& keyCap() {
    static const QFont font = Yard::font(10, QFont::Medium);
    return font;
}

const QFont& trailing() {
    static const QFont font = Yard::font(std::max<qreal>(1, titlePixels() - 1), std::nullopt,
                                         Yard::FontDesign::monospaced);
    return font;
}

}  // namespace MenuRowFonts

namespace {

using G = MenuRowGeometry;

QSizeF textSize(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

}  // namespace

QList<qreal> capWidths(const QStringList& labels) {
    const QFontMetricsF metrics(MenuRowFonts::keyCap());
    QList<qreal> widths;
    for (const QString& label : labels) {
        widths << std::max(std::ceil(metrics.horizontalAdvance(label)), G::capMinimumLabelWidth) +
                      G::capPadding;
    }
    return widths;
}

qreal keysWidth(const QStringList& labels) {
    if (labels.isEmpty()) {
        return 0;
    }
    qreal total = G::capGap * qreal(labels.size() - 1);
    for (qreal w : capWidths(labels)) {
        total += w;
    }
    return total;
}

qreal trailingWidth(const MenuRowTrailing& trailing) {
    switch (trailing.trailingCase) {
        case MenuRowTrailing::Case::keys:
            return keysWidth(trailing.keys);
        case MenuRowTrailing::Case::text:
            return QFontMetricsF(MenuRowFonts::trailing()).horizontalAdvance(trailing.text);
        case MenuRowTrailing::Case::none:
            break;
    }
    return 0;
}

QList<QRectF> capRects(const QStringList& labels, qreal x, qreal height) {
    const qreal capHeight = std::ceil(QFontMetricsF(MenuRowFonts::keyCap()).height()) + 2;
    QList<QRectF> rects;
    for (qreal w : capWidths(labels)) {
        rects << QRectF(x, (height - capHeight) / 2, w, capHeight);
        x += w + G::capGap;
    }
    return rects;
}

MenuRowGeometry menuRowGeometry(const MenuRowContent& content, QSizeF size) {
    const qreal width = size.width();
    const qreal height = size.height();
    MenuRowGeometry g;
    g.highlight =
        QRectF(G::highlightInset, 0, std::max<qreal>(0, width - 2 * G::highlightInset), height);

    const bool hasSubtitle = content.subtitle.has_value();
    g.symbolPointSize = MenuRowFonts::titlePixels() + (hasSubtitle ? 2 : 0);
    const QSizeF symbol = Symbols::imageSize(content.symbol, g.symbolPointSize);
    if (!symbol.isEmpty()) {
        g.symbol = QRectF(QPointF(hasSubtitle ? G::symbolXWithSubtitle : G::symbolX,
                                  (height - symbol.height()) / 2),
                          symbol);
    }

    const QFont& titleFont =
        content.drawsBoldTitle() ? MenuRowFonts::boldTitle() : MenuRowFonts::title();
    const QSizeF title = textSize(titleFont, content.title);
    if (hasSubtitle) {
        const QSizeF subtitle = textSize(MenuRowFonts::subtitle(), *content.subtitle);
        const qreal block = subtitle.height() + 1 + title.height();
        const qreal top = (height - block) / 2;
        g.title = QRectF(QPointF(G::titleX, top), title);
        g.subtitle = QRectF(QPointF(G::titleX, top + title.height() + 1), subtitle);
    } else {
        g.title = QRectF(QPointF(G::titleX, (height - title.height()) / 2), title);
    }

    const qreal trailingEnd = width - G::trailingInset;
    if (content.trailing.trailingCase == MenuRowTrailing::Case::text) {
        const QSizeF text = textSize(MenuRowFonts::trailing(), content.trailing.text);
        g.trailingText =
            QRectF(QPointF(trailingEnd - text.width(), (height - text.height()) / 2), text);
    } else if (content.trailing.trailingCase == MenuRowTrailing::Case::keys) {
        g.caps =
            capRects(content.trailing.keys, trailingEnd - keysWidth(content.trailing.keys), height);
    }
    return g;
}

int trailingRowWidthNeed(const QString& title, const MenuRowTrailing& trailing) {
    const qreal titleWidth =
        std::max<qreal>(0, QFontMetricsF(MenuRowFonts::title()).horizontalAdvance(title));
    return static_cast<int>(std::ceil(trailingWidth(trailing) + G::trailingGap + titleWidth +
                                      G::titleX + G::trailingInset));
}

int plainRowWidthNeed(const MenuRowContent& content) {
    const QFont& titleFont =
        content.drawsBoldTitle() ? MenuRowFonts::boldTitle() : MenuRowFonts::title();
    qreal widest = QFontMetricsF(titleFont).horizontalAdvance(content.title);
    if (content.subtitle) {
        widest = std::max(
            widest, QFontMetricsF(MenuRowFonts::subtitle()).horizontalAdvance(*content.subtitle));
    }
    return static_cast<int>(std::ceil(G::titleX + widest + G::trailingInset));
}

}  // namespace pellucine
