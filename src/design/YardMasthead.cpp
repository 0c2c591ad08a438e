#include "design/YardMasthead.h"

#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "design/Yard.h"
#include "design/YardText.h"

namespace pellucine {
namespace {

QSizeF wordmarkSize() {
    const QFontMetricsF metrics(YardMasthead::wordmarkFont());
    return {std::ceil(metrics.horizontalAdvance(YardMasthead::wordmark())),
            std::ceil(metrics.height())};
}

}  // namespace

YardMasthead::YardMasthead(qreal iconInset, QWidget* parent)
    : QWidget(parent), iconInset_(iconInset) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(mastheadHeight);
    updateAccessibleName();
}

void YardMasthead::setIconInset(qreal inset) {
    iconInset_ = inset;
    updateGeometry();
    placeTrailing();
    update();
}

void YardMasthead::setTrailing(QWidget* trailing) {
    if (trailing_ == trailing) {
        return;
    }
    delete trailing_.data();
    trailing_ = trailing;
    if (trailing_ != nullptr) {
        trailing_->setParent(this);
        // A design-system text keeps its own ink through every restyle: it takes the rail's,
        // faded as a whole.
        if (auto* text = qobject_cast<YardText*>(trailing_.data())) {
            text->setInk(&Yard::Palette::railInk);
            auto* fade = new QGraphicsOpacityEffect(text);
            fade->setOpacity(trailingOpacity);
            text->setGraphicsEffect(fade);
        }
        styleTrailing();
        trailing_->show();
    }
    updateAccessibleName();
    updateGeometry();
    placeTrailing();
}

QString YardMasthead::wordmark() {
    return QStringLiteral("PELLUCINE");
}

QFont YardMasthead::wordmarkFont() {
    return Yard::tracked(
        Yard::font(19, QFont::Black, Yard::FontDesign::standard, Yard::FontWidth::condensed),
        wordmarkTracking);
}

qreal YardMasthead::leadingSpace(qreal iconInset) {
    return std::max<qreal>(sidePadding, iconInset);
}

YardMasthead::Layout YardMasthead::layout(qreal width, qreal iconInset, QSizeF wordmarkSize,
                                          std::optional<QSizeF> trailingSize) {
    Layout result;
    const qreal middle = mastheadHeight / 2.0;
    const qreal iconX = leadingSpace(iconInset);
    result.icon = QRectF(iconX, middle - iconSide / 2.0, iconSide, iconSide);
    const qreal wordmarkX = result.icon.right() + spacing;
    result.wordmark = QRectF(QPointF(wordmarkX, middle - wordmarkSize.height() / 2), wordmarkSize);
    result.minimumWidth = result.wordmark.right() + spacing + minimumGap + sidePadding;
    if (trailingSize) {
        result.minimumWidth += spacing + trailingSize->width();
        const qreal right = std::max(width, result.minimumWidth) - sidePadding;
        result.trailing =
            QRectF(QPointF(right - trailingSize->width(), middle - trailingSize->height() / 2),
                   *trailingSize);
    }
    return result;
}

YardMasthead::Layout YardMasthead::currentLayout() const {
    std::optional<QSizeF> trailingSize;
    if (trailing_ != nullptr) {
        trailingSize = QSizeF(trailing_->sizeHint().expandedTo(trailing_->minimumSizeHint()));
    }
    return layout(width(), iconInset_, wordmarkSize(), trailingSize);
}

QSize YardMasthead::sizeHint() const {
    return minimumSizeHint();
}

QSize YardMasthead::minimumSizeHint() const {
    return {static_cast<int>(std::ceil(currentLayout().minimumWidth)), mastheadHeight};
}

bool YardMasthead::event(QEvent* event) {
    if (Yard::restyles(event)) {
        styleTrailing();
    } else if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        placeTrailing();
    }
    return QWidget::event(event);
}

void YardMasthead::paintEvent(QPaintEvent*) {
    const Yard::Palette& palette = Yard::palette(this);
    const Layout parts = currentLayout();
    QPainter painter(this);
    painter.fillRect(rect(), palette.rail);
    const QIcon icon = QGuiApplication::windowIcon();
    if (!icon.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap pixmap =
            icon.pixmap(QSize(iconSide, iconSide), devicePixelRatioF(), QIcon::Normal, QIcon::On);
        painter.drawPixmap(parts.icon, pixmap, QRectF(pixmap.rect()));
    }
    painter.setFont(wordmarkFont());
    painter.setPen(palette.railInk);
    painter.drawText(parts.wordmark, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     wordmark());
}

void YardMasthead::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeTrailing();
}

void YardMasthead::styleTrailing() {
    if (trailing_ == nullptr || qobject_cast<YardText*>(trailing_.data()) != nullptr) {
        return;
    }
    QColor ink = Yard::palette(this).railInk;
    ink.setAlphaF(static_cast<float>(trailingOpacity));
    QPalette palette = trailing_->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, ink);
    }
    trailing_->setPalette(palette);
}

void YardMasthead::placeTrailing() {
    if (trailing_ == nullptr) {
        return;
    }
    const Layout parts = currentLayout();
    if (parts.trailing) {
        const QRectF r = *parts.trailing;
        trailing_->setGeometry(QRect(QPoint(qRound(r.left()), qRound(r.top())), r.size().toSize()));
    }
}

void YardMasthead::updateAccessibleName() {
    QString name = wordmark();
    if (trailing_ != nullptr) {
        QString extra = trailing_->accessibleName();
        if (extra.isEmpty()) {
            if (const auto* label = qobject_cast<const QLabel*>(trailing_.data())) {
                extra = label->text();
            }
        }
        if (!extra.isEmpty()) {
            name += QStringLiteral(", ") + extra;
        }
    }
    setAccessibleName(name);
}

}  // namespace pellucine
