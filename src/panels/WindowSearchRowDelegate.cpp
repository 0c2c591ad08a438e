#include "panels/WindowSearchRowDelegate.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include "design/Symbols.h"
#include "design/Yard.h"
#include "panels/WindowSearchResultModel.h"
#include "panels/WindowSearchTexts.h"

namespace pellucine {

namespace {

constexpr qreal badgeTracking = 1.2;
constexpr qreal badgeInkOpacity = 0.85;
constexpr qreal badgeBorderOpacity = 0.45;
constexpr qreal placeholderSymbolSize = 22;

QColor withOpacity(QColor colour, qreal opacity) {
    colour.setAlphaF(static_cast<float>(colour.alphaF() * opacity));
    return colour;
}

// The line laid out on one row, highlights in the bold font and their colour.
struct LaidOut {
    explicit LaidOut(const HighlightedText::Line& line, const QFont& regular, const QFont& bold,
                     const QColor& highlight)
        : layout(line.text, regular) {
        QList<QTextLayout::FormatRange> formats;
        for (const HighlightedText::Span& span : line.highlights) {
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(span.start);
            range.length = static_cast<int>(span.end - span.start);
            range.format.setFont(bold);
            if (highlight.isValid()) {
                range.format.setForeground(highlight);
            }
            formats.append(range);
        }
        layout.setFormats(formats);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine textLine = layout.createLine();
        if (textLine.isValid()) {
            textLine.setLineWidth(1e6);
        }
        layout.endLayout();
    }

    qreal width() const { return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0; }

    QTextLayout layout;
};

void drawLine(QPainter& painter, const HighlightedText::Line& line, const QRectF& room,
              const QFont& regular, const QFont& bold, const QColor& ink, const QColor& highlight) {
    const HighlightedText::Line shown =
        WindowSearchRowDelegate::fitted(line, room.width(), regular, bold);
    const LaidOut laidOut(shown, regular, bold, highlight);
    painter.setPen(ink);
    laidOut.layout.draw(&painter, room.topLeft());
}

}  // namespace

WindowSearchRowDelegate::Geometry WindowSearchRowDelegate::Geometry::of(const QRectF& row,
                                                                        qreal badgeHeight) {
    Geometry g;
    const qreal middle = row.center().y();
    g.icon = QRectF(row.left() + horizontalPadding, middle - iconSide / 2.0, iconSide, iconSide);
    g.badge = QRectF(row.right() - horizontalPadding - badgeWidth, middle - badgeHeight / 2,
                     badgeWidth, badgeHeight);
    const qreal textLeft = g.icon.right() + spacing;
    g.text = QRectF(textLeft, row.top(), std::max<qreal>(0, g.badge.left() - spacing - textLeft),
                    row.height());
    return g;
}

WindowSearchRowDelegate::WindowSearchRowDelegate(const WindowSearchResultModel& model,
                                                 const ApplicationIconProviding* icons,
                                                 QObject* parent)
    : QStyledItemDelegate(parent), model_(model), icons_(icons) {}

QFont WindowSearchRowDelegate::titleFont(bool bold) {
    return Yard::font(15, bold ? std::optional(QFont::Bold) : std::nullopt);
}

QFont WindowSearchRowDelegate::applicationFont(bool bold) {
    return Yard::font(12, bold ? std::optional(QFont::Bold) : std::nullopt);
}

QFont WindowSearchRowDelegate::badgeFont() {
    return Yard::tracked(Yard::kickerFont(), badgeTracking);
}

HighlightedText::Line WindowSearchRowDelegate::fitted(const HighlightedText::Line& line,
                                                      qreal width, const QFont& regular,
                                                      const QFont& bold) {
    return HighlightedText::elideMiddle(line, width, [&](const HighlightedText::Line& candidate) {
        return LaidOut(candidate, regular, bold, QColor()).width();
    });
}

QSize WindowSearchRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
    return {option.rect.width(), rowHeight};
}

void WindowSearchRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= model_.rowCount()) {
        return;
    }
    const WindowSearch::Result& result = model_.result(index.row());
    const WindowDescriptor& window = result.candidate.window;
    const Yard::Palette& palette = Yard::palette(option.widget);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QColor ink = selected ? palette.onAccent : palette.fore;
    const QColor highlight = selected ? palette.onAccent : palette.accentType;
    const QRectF row = option.rect;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    if (selected) {
        painter->fillRect(row, palette.accent);
    } else {
        painter->fillRect(QRectF(row.left(), row.bottom() - 1, row.width(), 1), palette.hairline);
    }

    const QFont badgeText = badgeFont();
    const qreal badgeHeight = QFontMetricsF(badgeText).height() + 2 * badgeVerticalPadding;
    const Geometry geometry = Geometry::of(row, badgeHeight);

    const QImage icon = icons_ != nullptr ? icons_->icon(window.ownerPID) : QImage();
    if (!icon.isNull()) {
        if (selected) {
            Yard::paintIconPlate(*painter, geometry.icon, row, palette);
        }
        painter->drawImage(geometry.icon, icon);
    } else {
        Symbols::draw(*painter, u"macwindow", geometry.icon, placeholderSymbolSize,
                      SymbolWeight::regular, {ink});
    }

    const QFont title = titleFont(false);
    const QFont application = applicationFont(false);
    const qreal titleHeight = QFontMetricsF(title).height();
    const qreal applicationHeight = QFontMetricsF(application).height();
    const qreal top =
        geometry.text.center().y() - (titleHeight + lineSpacing + applicationHeight) / 2;
    const QString titleText = WindowSearch::displayTitle(window);
    drawLine(*painter, {titleText, HighlightedText::utf16Spans(titleText, result.titleMatches)},
             QRectF(geometry.text.left(), top, geometry.text.width(), titleHeight), title,
             titleFont(true), ink, highlight);
    drawLine(*painter,
             {window.applicationName,
              HighlightedText::utf16Spans(window.applicationName, result.applicationMatches)},
             QRectF(geometry.text.left(), top + titleHeight + lineSpacing, geometry.text.width(),
                    applicationHeight),
             application, applicationFont(true), selected ? palette.onAccent : palette.muted,
             highlight);

    Yard::strokeInside(*painter, geometry.badge, withOpacity(ink, badgeBorderOpacity), 1.0);
    // On the accent only the full ink is legible.
    painter->setPen(selected ? ink : withOpacity(ink, badgeInkOpacity));
    painter->setFont(badgeText);
    painter->drawText(geometry.badge, Qt::AlignCenter | Qt::TextSingleLine,
                      WindowSearchTexts::badge(result.candidate.location));
    painter->restore();
}

}  // namespace pellucine
