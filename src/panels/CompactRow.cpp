#include "panels/CompactRow.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "design/Yard.h"
#include "panels/ControlButton.h"
#include "panels/GlanceStyle.h"
#include "panels/PreviewTile.h"

namespace pellucine {

namespace {

QFont titleFont() {
    QFont font = GlanceStyle::calloutFont();
    font.setWeight(QFont::Medium);
    return font;
}

}  // namespace

CompactRow::CompactRow(State state, GlanceCallbacks callbacks, bool showsControls, QWidget* parent)
    : WindowItem(std::move(state), std::move(callbacks), showsControls, true, parent) {
    setFixedHeight(rowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CompactRow::sizeHint() const {
    const qreal width = 2 * horizontalInset + thumbnailSize.width() + spacing + minimumSpacer +
                        controlsWidth() + 120;
    return {static_cast<int>(std::ceil(width)), rowHeight};
}

qreal CompactRow::controlsWidth() const {
    qreal width = 0;
    for (const ControlButton* button : controls()) {
        width += spacing + button->sizeHint().width();
    }
    return width;
}

QRectF CompactRow::thumbnailRect() const {
    return {horizontalInset, (rowHeight - thumbnailSize.height()) / 2, thumbnailSize.width(),
            thumbnailSize.height()};
}

QRectF CompactRow::textRect() const {
    const qreal left = thumbnailRect().right() + spacing;
    const qreal right = width() - horizontalInset - controlsWidth() - minimumSpacer;
    return {left, 0, std::max<qreal>(0, right - left), static_cast<qreal>(rowHeight)};
}

std::optional<WindowPictureKind> CompactRow::pictureKind() const {
    return WindowCommands::rowPicture(state().isPrivate, !state().picture.isNull(),
                                      !state().icon.isNull());
}

void CompactRow::layoutControls() {
    qreal right = width() - horizontalInset;
    const QList<ControlButton*> buttons = controls();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        ControlButton* button = *it;
        const QSize size = button->sizeHint();
        button->move(static_cast<int>(std::round(right - size.width())),
                     (rowHeight - size.height()) / 2);
        right -= size.width() + spacing;
    }
}

void CompactRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const Yard::Palette& palette = Yard::palette(this);
    GlanceStyle::fillRounded(painter, rect(), cornerRadius,
                             GlanceStyle::primary(palette, PreviewTile::groundOpacity));

    const QRectF thumbnail = thumbnailRect();
    painter.save();
    QPainterPath clip;
    clip.addRoundedRect(thumbnail, thumbnailCornerRadius, thumbnailCornerRadius);
    painter.setClipPath(clip);
    painter.fillRect(thumbnail, GlanceStyle::primary(palette, PreviewTile::cardFillOpacity));
    if (const auto kind = pictureKind()) {
        switch (*kind) {
            case WindowPictureKind::privatePlaceholder:
                GlanceStyle::drawSymbol(painter, u"lock.fill", thumbnail, lockSize,
                                        SymbolWeight::regular, GlanceStyle::secondary(palette));
                break;
            case WindowPictureKind::picture:
                painter.drawImage(GlanceStyle::filling(state().picture.size(), thumbnail),
                                  state().picture);
                break;
            case WindowPictureKind::icon:
                painter.drawImage(GlanceStyle::fitted(state().icon.size(),
                                                      thumbnail.adjusted(iconInset, iconInset,
                                                                         -iconInset, -iconInset)),
                                  state().icon);
                break;
            case WindowPictureKind::symbol:
                break;
        }
    }
    painter.restore();

    const QRectF texts = textRect();
    const QFontMetricsF titleMetrics(titleFont());
    const QFontMetricsF locationMetrics(GlanceStyle::caption2Font());
    const bool locationShown = showsLocation();
    const qreal height =
        titleMetrics.height() + (locationShown ? textSpacing + locationMetrics.height() : 0);
    qreal top = texts.center().y() - height / 2;
    painter.setFont(titleFont());
    painter.setPen(GlanceStyle::primary(palette));
    painter.drawText(QRectF(texts.left(), top, texts.width(), titleMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     titleMetrics.elidedText(WindowCommands::displayTitle(state().window),
                                             Qt::ElideRight, texts.width()));
    if (locationShown) {
        top += titleMetrics.height() + textSpacing;
        painter.setFont(GlanceStyle::caption2Font());
        painter.setPen(GlanceStyle::secondary(palette));
        painter.drawText(
            QRectF(texts.left(), top, texts.width(), locationMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            locationMetrics.elidedText(state().location, Qt::ElideRight, texts.width()));
    }
}

}  // namespace pellucine
