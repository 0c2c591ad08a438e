#include "design/Yard.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "design/Appearance.h"

namespace pellucine::Yard {
namespace {

constexpr const char* schemeProperty = "pellucineColorScheme";
constexpr const char* groundProperty = "pellucineWindowGround";

void applyGround(QWidget* widget) {
    widget->setPalette(qtPalette(scheme(widget)));
    widget->setAutoFillBackground(true);
}

void refresh(QWidget* widget) {
    if (widget->property(groundProperty).toBool()) {
        applyGround(widget);
    }
    QEvent event(schemeChangeEvent());
    QCoreApplication::sendEvent(widget, &event);
    widget->update();
}

}  // namespace

ColorScheme scheme(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant value = w->property(schemeProperty);
        if (value.isValid()) {
            return value.toInt() == static_cast<int>(ColorScheme::dark) ? ColorScheme::dark
                                                                        : ColorScheme::light;
        }
    }
    return ColorScheme::light;
}

const Palette& palette(const QWidget* widget) {
    return palette(scheme(widget));
}

void setScheme(QWidget* widget, ColorScheme value) {
    if (widget == nullptr) {
        return;
    }
    widget->setProperty(schemeProperty, static_cast<int>(value));
    refresh(widget);
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        refresh(child);
    }
}

QPalette qtPalette(ColorScheme value) {
    const Palette& yard = palette(value);
    QPalette colours(QBrush(yard.fore), QBrush(yard.sheet), QBrush(yard.sheet.lighter(130)),
                     QBrush(yard.sheet.darker(160)), QBrush(yard.sheet.darker(130)),
                     QBrush(yard.fore), QBrush(yard.fore), QBrush(yard.ground),
                     QBrush(yard.ground));
    colours.setColor(QPalette::AlternateBase, yard.sheet);
    colours.setColor(QPalette::PlaceholderText, yard.muted);
    colours.setColor(QPalette::Highlight, yard.accent);
    colours.setColor(QPalette::HighlightedText, yard.onAccent);
    colours.setColor(QPalette::Link, yard.accentType);
    colours.setColor(QPalette::ToolTipBase, yard.sheet);
    colours.setColor(QPalette::ToolTipText, yard.fore);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        colours.setColor(QPalette::Disabled, role, yard.muted);
    }
    return colours;
}

QEvent::Type schemeChangeEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool restyles(const QEvent* event) {
    const QEvent::Type type = event->type();
    return type == schemeChangeEvent() || type == QEvent::ParentChange || type == QEvent::Polish ||
           type == QEvent::Show;
}

void setWindowGround(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    window->setProperty(groundProperty, true);
    applyGround(window);
}

QMetaObject::Connection follow(QWidget* window, const Appearance& appearance) {
    setScheme(window, appearance.scheme());
    return QObject::connect(&appearance, &Appearance::schemeChanged, window,
                            [window](ColorScheme value) { setScheme(window, value); });
}

QSizePolicy fullWidthPolicy() {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    return policy;
}

void addLeading(QBoxLayout* layout, QWidget* widget) {
    const bool grows = widget->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag;
    layout->addWidget(widget, 0, grows ? Qt::Alignment() : Qt::AlignLeft);
}

void paintFaded(QPainter& painter, const QWidget* widget, qreal opacity,
                const std::function<void(QPainter&)>& paint) {
    if (opacity >= 1.0) {
        paint(painter);
        return;
    }
    const qreal ratio = widget->devicePixelRatioF();
    QImage layer(widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    QPainter layerPainter(&layer);
    paint(layerPainter);
    layerPainter.end();
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(QPointF(0, 0), layer);
    painter.restore();
}

namespace {

bool isWhole(qreal value) {
    return value == std::floor(value) && std::abs(value) < 1e7;
}

// A border of whole pixels, as four bands that meet without overlapping: each pixel is painted
// once, as the antialiased pen paints it, at a fraction of the pen's cost on a large rectangle.
bool fillWholePixelBorder(QPainter& painter, const QRectF& rect, const QColor& colour,
                          qreal width) {
    const QTransform& transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate || !isWhole(transform.dx()) ||
        !isWhole(transform.dy()) || !isWhole(width) || width < 1 || !isWhole(rect.x()) ||
        !isWhole(rect.y()) || !isWhole(rect.width()) || !isWhole(rect.height()) ||
        rect.width() < 2 * width || rect.height() < 2 * width) {
        return false;
    }
    const QRectF top(rect.left(), rect.top(), rect.width(), width);
    const QRectF bottom(rect.left(), rect.bottom() - width, rect.width(), width);
    const QRectF left(rect.left(), rect.top() + width, width, rect.height() - 2 * width);
    const QRectF right(rect.right() - width, rect.top() + width, width, rect.height() - 2 * width);
    for (const QRectF& band : {top, bottom, left, right}) {
        if (!band.isEmpty()) {
            painter.fillRect(band, colour);
        }
    }
    return true;
}

}  // namespace

void strokeInside(QPainter& painter, const QRectF& rect, const QColor& colour, qreal width) {
    if (fillWholePixelBorder(painter, rect, colour, width)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal half = width / 2;
    painter.drawRect(rect.adjusted(half, half, -half, -half));
    painter.restore();
}

QRectF iconPlate(const QRectF& icon, const QRectF& cell) {
    if (icon.isEmpty() || !cell.contains(icon)) {
        return {};
    }
    const qreal margin = std::min({icon.left() - cell.left(), cell.right() - icon.right(),
                                   icon.top() - cell.top(), cell.bottom() - icon.bottom()});
    const qreal grow = std::min(std::min(icon.width(), icon.height()) / 6, margin / 2);
    return icon.adjusted(-grow, -grow, grow, grow);
}

void paintIconPlate(QPainter& painter, const QRectF& icon, const QRectF& cell,
                    const Palette& palette) {
    const QRectF plate = iconPlate(icon, cell);
    if (plate.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.ground);
    const qreal radius = plate.height() / 4;
    painter.drawRoundedRect(plate, radius, radius);
    painter.restore();
}

}  // namespace pellucine::Yard
