#include "panels/FullSizePeekView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "design/Yard.h"
#include "panels/GlanceStyle.h"
#include "panels/WindowCommands.h"

namespace pellucine {

FullSizePeekView::FullSizePeekView(WindowDescriptor window, QImage image, QSizeF imageSize,
                                   QImage icon, QWidget* parent)
    : QWidget(parent),
      window_(std::move(window)),
      image_(std::move(image)),
      imageSize_(imageSize),
      icon_(std::move(icon)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

std::optional<QString> FullSizePeekView::hintFor(qreal room, qreal longWidth, qreal shortWidth) {
    if (longWidth <= room) {
        return longHint();
    }
    if (shortWidth <= room) {
        return shortHint();
    }
    return std::nullopt;
}

QString FullSizePeekView::title() const {
    return WindowCommands::displayTitle(window_);
}

qreal FullSizePeekView::titleColumnLeft() const {
    return headerPadding + (hasIcon() ? iconSide + headerSpacing : 0);
}

qreal FullSizePeekView::titleColumnWidth() const {
    const qreal titleWidth = QFontMetricsF(GlanceStyle::headlineFont()).horizontalAdvance(title());
    const qreal nameWidth =
        QFontMetricsF(GlanceStyle::captionFont()).horizontalAdvance(window_.applicationName);
    const qreal room = width() - headerPadding - titleColumnLeft();
    return std::min(std::ceil(std::max(titleWidth, nameWidth)), std::max<qreal>(0, room));
}

std::optional<QString> FullSizePeekView::hint() const {
    // The titles come first; the hint takes what is left after the spacing before it.
    const qreal room =
        width() - headerPadding - titleColumnLeft() - titleColumnWidth() - headerSpacing;
    const QFontMetricsF metrics(GlanceStyle::captionFont());
    return hintFor(room, std::ceil(metrics.horizontalAdvance(longHint())),
                   std::ceil(metrics.horizontalAdvance(shortHint())));
}

QRectF FullSizePeekView::pictureRect() const {
    return {(width() - imageSize_.width()) / 2, headerHeight, imageSize_.width(),
            imageSize_.height()};
}

void FullSizePeekView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const Yard::Palette& palette = Yard::palette(this);
    const QRectF bounds = rect();
    GlanceStyle::fillRounded(painter, bounds, cornerRadius, GlanceStyle::panelMaterial(palette));
    GlanceStyle::strokeRounded(painter, bounds, cornerRadius, GlanceStyle::outline(outlineOpacity));

    const qreal middle = headerHeight / 2;
    if (hasIcon()) {
        const QRectF box(headerPadding, middle - iconSide / 2, iconSide, iconSide);
        painter.drawImage(GlanceStyle::fitted(icon_.size(), box), icon_);
    }
    const QFontMetricsF titleMetrics(GlanceStyle::headlineFont());
    const QFontMetricsF nameMetrics(GlanceStyle::captionFont());
    const qreal left = titleColumnLeft();
    const qreal column = titleColumnWidth();
    const qreal textHeight = titleMetrics.height() + titleSpacing + nameMetrics.height();
    const qreal top = middle - textHeight / 2;
    painter.setFont(GlanceStyle::headlineFont());
    painter.setPen(GlanceStyle::primary(palette));
    painter.drawText(QRectF(left, top, column, titleMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     titleMetrics.elidedText(title(), Qt::ElideRight, column));
    painter.setFont(GlanceStyle::captionFont());
    painter.setPen(GlanceStyle::secondary(palette));
    painter.drawText(
        QRectF(left, top + titleMetrics.height() + titleSpacing, column, nameMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        nameMetrics.elidedText(window_.applicationName, Qt::ElideRight, column));
    if (const auto text = hint()) {
        painter.setPen(GlanceStyle::tertiary(palette));
        painter.drawText(QRectF(0, 0, width() - headerPadding, headerHeight),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, *text);
    }

    const QRectF picture = pictureRect();
    QPainterPath clip;
    clip.addRoundedRect(picture, pictureCornerRadius, pictureCornerRadius);
    painter.setClipPath(clip);
    painter.drawImage(GlanceStyle::fitted(image_.size(), picture), image_);
}

}  // namespace pellucine
