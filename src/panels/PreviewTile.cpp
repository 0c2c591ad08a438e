#include "panels/PreviewTile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "design/Yard.h"
#include "panels/ControlButton.h"
#include "panels/GlanceStyle.h"
#include "panels/PrivateWindowPlaceholder.h"

namespace pellucine {

namespace {

QFont badgeFont() {
    QFont font = GlanceStyle::caption2Font();
    font.setWeight(QFont::Medium);
    return font;
}

qreal captionLineHeight() {
    return std::ceil(QFontMetricsF(GlanceStyle::captionFont()).height());
}

}  // namespace

PreviewTile::PreviewTile(State state, const PreviewGridLayout& layout, GlanceCallbacks callbacks,
                         bool showsControls, QWidget* parent)
    : WindowItem(std::move(state), std::move(callbacks), showsControls, false, parent),
      layout_(layout) {
    setFixedSize(tileSize(layout_));
}

void PreviewTile::setLayout(const PreviewGridLayout& layout) {
    layout_ = layout;
    setFixedSize(tileSize(layout_));
    layoutControls();
    update();
}

QSize PreviewTile::tileSize(const PreviewGridLayout& layout) {
    const qreal width = layout.cardWidth + 2 * inset;
    const qreal height = layout.previewHeight + spacing + captionLineHeight() + 2 * inset;
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QRectF PreviewTile::cardRect() const {
    return {inset, inset, layout_.cardWidth, layout_.previewHeight};
}

QRectF PreviewTile::badgeRect() const {
    if (!showsLocation()) {
        return {};
    }
    const QFontMetricsF metrics(badgeFont());
    const qreal width =
        std::ceil(metrics.horizontalAdvance(state().location)) + 2 * badgeHorizontalPadding;
    const qreal height = std::ceil(metrics.height()) + 2 * badgeVerticalPadding;
    const QRectF card = cardRect();
    return {card.right() - badgeMargin - width, card.top() + badgeMargin, width, height};
}

WindowPictureKind PreviewTile::pictureKind() const {
    return WindowCommands::tilePicture(state().isPrivate, !state().picture.isNull(),
                                       !state().icon.isNull());
}

void PreviewTile::layoutControls() {
    const QRectF card = cardRect();
    qreal right = card.right() - controlsMargin;
    const QList<ControlButton*> buttons = controls();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        ControlButton* button = *it;
        const QSize size = button->sizeHint();
        button->move(static_cast<int>(std::round(right - size.width())),
                     static_cast<int>(std::round(card.bottom() - controlsMargin - size.height())));
        right -= size.width() + controlsSpacing;
    }
}

void PreviewTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const Yard::Palette& palette = Yard::palette(this);
    GlanceStyle::fillRounded(painter, rect(), cornerRadius,
                             GlanceStyle::primary(palette, groundOpacity));

    const QRectF card = cardRect();
    painter.save();
    QPainterPath clip;
    clip.addRoundedRect(card, cardCornerRadius, cardCornerRadius);
    painter.setClipPath(clip);
    painter.fillRect(card, GlanceStyle::primary(palette, cardFillOpacity));
    paintPicture(painter, card);
    const QRectF badge = badgeRect();
    if (!badge.isEmpty()) {
        GlanceStyle::fillRounded(painter, badge, badge.height() / 2,
                                 GlanceStyle::thickMaterial(palette));
        painter.setFont(badgeFont());
        painter.setPen(GlanceStyle::primary(palette));
        painter.drawText(badge, Qt::AlignCenter | Qt::TextSingleLine, state().location);
    }
    painter.restore();

    const QRectF title(inset, card.bottom() + spacing, layout_.cardWidth, captionLineHeight());
    painter.setFont(GlanceStyle::captionFont());
    painter.setPen(GlanceStyle::secondary(palette));
    const QString text = QFontMetricsF(painter.font())
                             .elidedText(WindowCommands::displayTitle(state().window),
                                         Qt::ElideRight, title.width());
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void PreviewTile::paintPicture(QPainter& painter, const QRectF& card) const {
    const Yard::Palette& palette = Yard::palette(this);
    switch (pictureKind()) {
        case WindowPictureKind::privatePlaceholder:
            PrivateWindowPlaceholder::paint(painter, card, palette);
            break;
        case WindowPictureKind::picture:
            // A small window shows at its own size, never enlarged.
            painter.drawImage(
                GlanceStyle::shrunkToFit(
                    GlanceStyle::pointSize(state().picture.size(), devicePixelRatioF()), card),
                state().picture);
            break;
        case WindowPictureKind::icon: {
            QRectF box(0, 0, std::min(largestIcon, card.width()),
                       std::min(largestIcon, card.height()));
            box.moveCenter(card.center());
            painter.drawImage(GlanceStyle::fitted(state().icon.size(), box), state().icon);
            break;
        }
        case WindowPictureKind::symbol:
            GlanceStyle::drawSymbol(painter, u"macwindow", card, symbolSize, SymbolWeight::light,
                                    GlanceStyle::secondary(palette));
            break;
    }
}

}  // namespace pellucine
