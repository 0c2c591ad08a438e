#include "app/MenuHeader.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/MenuRow.h"
#include "design/Yard.h"

namespace pellucine {

namespace {

qreal capHeight() {
    return std::ceil(QFontMetricsF(MenuRowFonts::keyCap()).height()) + 2;
}

QColor withAlpha(QColor colour, qreal alpha) {
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

}  // namespace

MenuHeader::MenuHeader(int width, QStringList switcherKeys, QWidget* parent)
    : QWidget(parent), capLabels_(std::move(switcherKeys)) {
    Yard::installAccessibility();
    const qreal content = std::max({iconSide, QFontMetricsF(wordmarkFont()).height(), capHeight()});
    size_ = QSize(width, static_cast<int>(std::ceil(topPadding + content + bottomPadding)));
    setFixedSize(size_);
    setAccessibleName(accessibleText(capLabels_));
}

QString MenuHeader::accessibleText(const QStringList& switcherKeys) {
    QString text = wordmark() + QLatin1Char('.');
    if (!switcherKeys.isEmpty()) {
        text += QLatin1Char(' ') + switcherKeys.join(QLatin1Char('+')) + QLatin1Char('.');
    }
    return text;
}

int MenuHeader::widthNeed(const QStringList& switcherKeys) {
    const qreal caps = switcherKeys.isEmpty() ? 0 : spacing + keysWidth(switcherKeys);
    return static_cast<int>(std::ceil(leadingPadding + iconSide + spacing +
                                      QFontMetricsF(wordmarkFont()).horizontalAdvance(wordmark()) +
                                      caps + trailingPadding));
}

QFont MenuHeader::wordmarkFont() {
    return Yard::tracked(
        Yard::font(14, QFont::Black, Yard::FontDesign::standard, Yard::FontWidth::condensed),
        wordmarkTracking);
}

QRectF MenuHeader::iconRect() const {
    return {leadingPadding, (size_.height() + topPadding - bottomPadding - iconSide) / 2, iconSide,
            iconSide};
}

QRectF MenuHeader::wordmarkRect() const {
    const QFontMetricsF metrics(wordmarkFont());
    const qreal height = metrics.height();
    return {leadingPadding + iconSide + spacing,
            (size_.height() + topPadding - bottomPadding - height) / 2,
            metrics.horizontalAdvance(wordmark()), height};
}

QList<QRectF> MenuHeader::capRects() const {
    const QStringList labels = capLabels();
    const qreal x = size_.width() - trailingPadding - keysWidth(labels);
    QList<QRectF> rects;
    for (QRectF rect : pellucine::capRects(labels, x, size_.height())) {
        rect.moveTop((size_.height() + topPadding - bottomPadding - rect.height()) / 2);
        rects << rect;
    }
    return rects;
}

void MenuHeader::paintEvent(QPaintEvent*) {
    const Yard::Palette& yard = Yard::palette(this);
    const QColor primary = palette().color(QPalette::WindowText);
    QPainter painter(this);
    painter.fillRect(rect(), yard.ground);
    const QIcon icon = QGuiApplication::windowIcon();
    if (!icon.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap pixmap =
            icon.pixmap(QSize(int(iconSide), int(iconSide)), devicePixelRatioF());
        painter.drawPixmap(iconRect(), pixmap, QRectF(pixmap.rect()));
    }
    painter.setFont(wordmarkFont());
    painter.setPen(primary);
    painter.drawText(wordmarkRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, wordmark());
    MenuRow::paintCaps(painter, capRects(), capLabels(), withAlpha(primary, 0.72),
                       withAlpha(primary, 0.06), withAlpha(primary, 0.22));
}

}  // namespace pellucine
