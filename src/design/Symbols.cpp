#include "design/Symbols.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "design/YardFonts.h"

namespace pellucine::Symbols {
namespace {

// Glyphs of the icon font are drawn on a 24-unit grid.
constexpr qreal grid = 24.0;
constexpr qreal sidePerPoint = 1.2;

// One glyph of a symbol. Without a target the glyph sits where the font puts it on the grid;
// with one its outline is fitted into the target (keeping its proportions unless `stretch`).
// `colour` indexes the palette; a `cutout` layer is cut out of the layers below it when the
// symbol is drawn in one colour.
struct Layer {
    char32_t glyph = 0;
    QRectF target;
    bool stretch = false;
    int colour = 0;
    bool cutout = false;
};

namespace glyph {
constexpr char32_t adsClick = 0xe762;
constexpr char32_t arrowDownward = 0xe5db;
constexpr char32_t arrowUpward = 0xe5d8;
constexpr char32_t autoAwesome = 0xe65f;
constexpr char32_t autoAwesomeMotion = 0xe661;
constexpr char32_t callToAction = 0xe06c;
constexpr char32_t check = 0xe5ca;
constexpr char32_t checkCircleOutline = 0xe92d;
constexpr char32_t circle = 0xef4a;
constexpr char32_t close = 0xe5cd;
constexpr char32_t closeFullscreen = 0xf1cf;
constexpr char32_t cropLandscape = 0xe3c3;
constexpr char32_t errorOutline = 0xe001;
constexpr char32_t expandMore = 0xe5cf;
constexpr char32_t feedback = 0xe87f;
constexpr char32_t filterNone = 0xe3e0;
constexpr char32_t helpOutline = 0xe8fd;
constexpr char32_t indeterminateCheckBox = 0xe909;
constexpr char32_t infoOutline = 0xe88f;
constexpr char32_t keyboardCommandKey = 0xeae7;
constexpr char32_t language = 0xe894;
constexpr char32_t lock = 0xe897;
constexpr char32_t monitorHeart = 0xeaa2;
constexpr char32_t moreHoriz = 0xe5d3;
constexpr char32_t moveToInbox = 0xe168;
constexpr char32_t openInFull = 0xf1ce;
constexpr char32_t openInNew = 0xe89e;
constexpr char32_t powerSettingsNew = 0xe8ac;
constexpr char32_t radioButtonUnchecked = 0xe836;
constexpr char32_t refresh = 0xe5d5;
constexpr char32_t remove = 0xe15b;
constexpr char32_t search = 0xe8b6;
constexpr char32_t settings = 0xe8b8;
constexpr char32_t stop = 0xe047;
constexpr char32_t sync = 0xe627;
constexpr char32_t warning = 0xe002;
constexpr char32_t webAsset = 0xe069;
}  // namespace glyph

// A mark fitted inside the filled disc of the "circle" glyph.
const QRectF insideDisc{6.5, 6.5, 11, 11};

QList<Layer> single(char32_t g) {
    return {Layer{.glyph = g}};
}

// A filled disc in the second colour with a mark in the first, cut out in one colour.
QList<Layer> markOnDisc(char32_t mark) {
    return {Layer{.glyph = glyph::circle, .colour = 1},
            Layer{.glyph = mark, .target = insideDisc, .colour = 0, .cutout = true}};
}

// A landscape frame with filled parts inside it (placements, split views).
QList<Layer> framed(std::initializer_list<QRectF> fills) {
    QList<Layer> layers{Layer{.glyph = glyph::cropLandscape}};
    for (const QRectF& r : fills) {
        layers.append(Layer{.glyph = glyph::stop, .target = r, .stretch = true});
    }
    return layers;
}

const QHash<QString, QList<Layer>>& table() {
    // The frame's inside spans x 5…19, y 7…17; fills keep 1.5 units from it and 1 between them.
    static const QHash<QString, QList<Layer>> symbols{
        // Status menu and menu rows.
        {QStringLiteral("rectangle.stack"), single(glyph::filterNone)},
        {QStringLiteral("arrow.down.circle.fill"), markOnDisc(glyph::arrowDownward)},
        {QStringLiteral("info.circle"), single(glyph::infoOutline)},
        {QStringLiteral("gearshape"), single(glyph::settings)},
        {QStringLiteral("magnifyingglass"), single(glyph::search)},
        {QStringLiteral("sparkles.rectangle.stack"), single(glyph::autoAwesome)},
        {QStringLiteral("waveform.path.ecg"), single(glyph::monitorHeart)},
        {QStringLiteral("exclamationmark.bubble"), single(glyph::feedback)},
        {QStringLiteral("globe"), single(glyph::language)},
        {QStringLiteral("power"), single(glyph::powerSettingsNew)},
        {QStringLiteral("exclamationmark.triangle.fill"), single(glyph::warning)},
        // Controls.
        {QStringLiteral("chevron.down"), single(glyph::expandMore)},
        {QStringLiteral("checkmark"), single(glyph::check)},
        // Panels: window controls, menus, tiles and search.
        {QStringLiteral("ellipsis.circle"),
         {Layer{.glyph = glyph::radioButtonUnchecked},
          Layer{.glyph = glyph::moreHoriz, .target = QRectF(7, 7, 10, 10)}}},
        {QStringLiteral("xmark"), single(glyph::close)},
        {QStringLiteral("lock.fill"), single(glyph::lock)},
        {QStringLiteral("macwindow"), single(glyph::webAsset)},
        {QStringLiteral("minus"), single(glyph::remove)},
        {QStringLiteral("arrow.up.forward.app"), single(glyph::openInNew)},
        {QStringLiteral("arrow.up.left.and.arrow.down.right"), single(glyph::openInFull)},
        {QStringLiteral("arrow.down.right.and.arrow.up.left"), single(glyph::closeFullscreen)},
        {QStringLiteral("rectangle.inset.filled"), framed({QRectF(6.5, 8.5, 11, 7)})},
        {QStringLiteral("rectangle.lefthalf.inset.filled"), framed({QRectF(6.5, 8.5, 5, 7)})},
        {QStringLiteral("rectangle.righthalf.inset.filled"), framed({QRectF(12.5, 8.5, 5, 7)})},
        {QStringLiteral("rectangle.inset.topleft.filled"), framed({QRectF(6.5, 8.5, 5, 3)})},
        {QStringLiteral("rectangle.inset.topright.filled"), framed({QRectF(12.5, 8.5, 5, 3)})},
        {QStringLiteral("rectangle.inset.bottomleft.filled"), framed({QRectF(6.5, 12.5, 5, 3)})},
        {QStringLiteral("rectangle.inset.bottomright.filled"), framed({QRectF(12.5, 12.5, 5, 3)})},
        // Settings, welcome, updates and report windows.
        {QStringLiteral("command"), single(glyph::keyboardCommandKey)},
        {QStringLiteral("rectangle.stack.fill"), single(glyph::autoAwesomeMotion)},
        {QStringLiteral("cursorarrow.click.2"), single(glyph::adsClick)},
        {QStringLiteral("dock.rectangle"), single(glyph::callToAction)},
        {QStringLiteral("minus.square"), single(glyph::indeterminateCheckBox)},
        {QStringLiteral("rectangle.split.2x1"), framed({QRectF(11, 5, 2, 14)})},
        {QStringLiteral("exclamationmark.circle"), single(glyph::errorOutline)},
        {QStringLiteral("checkmark.circle"), single(glyph::checkCircleOutline)},
        {QStringLiteral("checkmark.circle.fill"), markOnDisc(glyph::check)},
        {QStringLiteral("arrow.clockwise.circle.fill"), markOnDisc(glyph::refresh)},
        {QStringLiteral("arrow.triangle.2.circlepath"), single(glyph::sync)},
        {QStringLiteral("arrow.up"), single(glyph::arrowUpward)},
        {QStringLiteral("questionmark.circle"), single(glyph::helpOutline)},
        {QStringLiteral("tray.and.arrow.down.fill"), single(glyph::moveToInbox)},
    };
    return symbols;
}

const QRawFont& iconFont() {
    static const QRawFont font = [] {
        Yard::registerBundledFonts();
        const QByteArray data =
            Yard::bundledFontData(QStringLiteral(":/pellucine/fonts/MaterialIcons-Regular.ttf"));
        if (data.isEmpty()) {
            qWarning("Could not open the bundled icon font");
            return QRawFont();
        }
        return QRawFont(data, grid);
    }();
    return font;
}

// The outline of one layer on the 24-unit grid.
QPainterPath layerPath(const Layer& layer) {
    const QRawFont& font = iconFont();
    if (!font.isValid()) {
        return {};
    }
    const QList<quint32> indexes = font.glyphIndexesForString(QString::fromUcs4(&layer.glyph, 1));
    if (indexes.isEmpty() || indexes.first() == 0) {
        return {};
    }
    // Glyph outlines come with the baseline at y 0 and the grid above it.
    QPainterPath path = font.pathForGlyph(indexes.first()).translated(0, grid);
    path.setFillRule(Qt::WindingFill);
    if (layer.target.isEmpty()) {
        return path;
    }
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) {
        return path;
    }
    qreal sx = layer.target.width() / bounds.width();
    qreal sy = layer.target.height() / bounds.height();
    if (!layer.stretch) {
        sx = sy = std::min(sx, sy);
    }
    const QPointF fitted(layer.target.center().x() - bounds.width() * sx / 2,
                         layer.target.center().y() - bounds.height() * sy / 2);
    QTransform t;
    t.translate(fitted.x(), fitted.y());
    t.scale(sx, sy);
    t.translate(-bounds.left(), -bounds.top());
    return t.map(path);
}

// Extra outline width, as a share of the symbol's side, that thickens a weight beyond regular.
qreal emboldening(SymbolWeight weight) {
    switch (weight) {
        case SymbolWeight::ultraLight:
        case SymbolWeight::thin:
        case SymbolWeight::light:
        case SymbolWeight::regular:
            return 0;
        case SymbolWeight::medium:
            return 0.015;
        case SymbolWeight::semibold:
            return 0.03;
        case SymbolWeight::bold:
            return 0.045;
        case SymbolWeight::heavy:
            return 0.06;
        case SymbolWeight::black:
            return 0.075;
    }
    return 0;
}

void fill(QPainter& painter, const QPainterPath& path, const QColor& colour, qreal outline) {
    painter.fillPath(path, colour);
    if (outline > 0) {
        painter.strokePath(path, QPen(colour, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
}

}  // namespace

bool contains(QStringView name) {
    return table().contains(name.toString());
}

QStringList names() {
    QStringList all = table().keys();
    all.sort();
    return all;
}

qreal side(qreal pointSize) {
    return std::max<qreal>(0, pointSize) * sidePerPoint;
}

QSizeF imageSize(QStringView name, qreal pointSize) {
    if (!contains(name)) {
        return {};
    }
    return {side(pointSize), side(pointSize)};
}

bool draw(QPainter& painter, QStringView name, const QRectF& rect, qreal pointSize,
          SymbolWeight weight, const QList<QColor>& palette) {
    const auto found = table().constFind(name.toString());
    const qreal s = side(pointSize);
    if (found == table().constEnd() || palette.isEmpty() || !(s > 0)) {
        return false;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center().x() - s / 2, rect.center().y() - s / 2);
    painter.scale(s / grid, s / grid);
    // The outline is stroked in grid units, so it scales with the symbol.
    const qreal outline = emboldening(weight) * grid;
    if (palette.size() < 2) {
        QPainterPath shape;
        shape.setFillRule(Qt::WindingFill);
        for (const Layer& layer : *found) {
            const QPainterPath path = layerPath(layer);
            shape = layer.cutout ? shape.subtracted(path) : shape.united(path);
        }
        fill(painter, shape, palette.first(), outline);
    } else {
        for (const Layer& layer : *found) {
            const QColor& colour =
                palette.at(std::min<qsizetype>(layer.colour, palette.size() - 1));
            fill(painter, layerPath(layer), colour, outline);
        }
    }
    painter.restore();
    return true;
}

QImage image(QStringView name, qreal pointSize, SymbolWeight weight, const QList<QColor>& palette,
             qreal devicePixelRatio) {
    const QSizeF size = imageSize(name, pointSize);
    if (size.isEmpty() || palette.isEmpty()) {
        return {};
    }
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int pixels = static_cast<int>(std::ceil(size.width() * ratio));
    QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(ratio);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    draw(painter, name, QRectF(QPointF(0, 0), QSizeF(pixels / ratio, pixels / ratio)), pointSize,
         weight, palette);
    return result;
}

}  // namespace pellucine::Symbols
