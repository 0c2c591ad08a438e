#include "app/MenuRow.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QWidgetAction>

#include "design/Symbols.h"

namespace pellucine {

namespace {

// Subtitles and trailing texts: the label ink faded, but still legible on the menu.
constexpr qreal secondaryInkOpacity = 0.72;

QColor withAlpha(QColor colour, qreal alpha) {
    colour.setAlphaF(static_cast<float>(alpha * colour.alphaF()));
    return colour;
}

}  // namespace

MenuRow::MenuRow(MenuRowContent content, QSize size, QWidget* parent)
    : QWidget(parent), content_(std::move(content)), size_(size) {
    Yard::installAccessibility();
    setFixedSize(size);
    setAccessibleName(content_.trailing.trailingCase == Trailing::Case::none
                          ? content_.title
                          : content_.title + QStringLiteral(", ") + content_.trailing.spoken());
}

QMenu* MenuRow::menu() const {
    return qobject_cast<QMenu*>(parentWidget());
}

QAction* MenuRow::enclosingAction() const {
    QMenu* const owner = menu();
    if (owner == nullptr) {
        return nullptr;
    }
    for (QAction* action : owner->actions()) {
        auto* widgetAction = qobject_cast<QWidgetAction*>(action);
        if (widgetAction != nullptr && widgetAction->defaultWidget() == this) {
            return action;
        }
    }
    return nullptr;
}

bool MenuRow::isHighlighted() const {
    QMenu* const owner = menu();
    return content_.enabled && owner != nullptr && owner->activeAction() != nullptr &&
           owner->activeAction() == enclosingAction();
}

bool MenuRow::isAccessiblyPressable() const {
    return content_.enabled && enclosingAction() != nullptr;
}

bool MenuRow::performClick() {
    QPointer<QAction> action = enclosingAction();
    if (!content_.enabled || action == nullptr) {
        return false;
    }
    QMenu* top = menu();
    while (auto* above = qobject_cast<QMenu*>(top->parentWidget())) {
        top = above;
    }
    top->hide();
    if (action) {
        action->trigger();
    }
    return true;
}

void MenuRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        performClick();
    }
    event->accept();
}

void MenuRow::paintCaps(QPainter& painter, const QList<QRectF>& rects, const QStringList& labels,
                        const QColor& label, const QColor& fill, const QColor& stroke) {
    const qreal inset = MenuRowGeometry::capStrokeWidth / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(MenuRowFonts::keyCap());
    for (qsizetype i = 0; i < rects.size() && i < labels.size(); ++i) {
        const QRectF outline = rects[i].adjusted(inset, inset, -inset, -inset);
        painter.fillRect(outline, fill);
        painter.setPen(QPen(stroke, MenuRowGeometry::capStrokeWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outline);
        painter.setPen(label);
        painter.drawText(rects[i], Qt::AlignCenter | Qt::TextSingleLine, labels[i]);
    }
    painter.restore();
}

void MenuRow::paintEvent(QPaintEvent*) {
    const MenuRowGeometry g = menuRowGeometry(content_, size());
    const QPalette& colours = palette();
    const QColor labelColour = colours.color(QPalette::WindowText);
    const bool highlighted = isHighlighted();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor titleColour;
    QColor secondary;
    QList<QColor> symbolPalette;
    if (highlighted) {
        QPainterPath highlight;
        highlight.addRoundedRect(g.highlight, MenuRowGeometry::highlightRadius,
                                 MenuRowGeometry::highlightRadius);
        painter.fillPath(highlight, colours.color(QPalette::Highlight));
        titleColour = secondary = colours.color(QPalette::HighlightedText);
        symbolPalette = content_.palette.isEmpty()
                            ? QList<QColor>{titleColour}
                            : QList<QColor>{Qt::white, withAlpha(Qt::white, 0.35)};
    } else {
        titleColour =
            !content_.enabled ? withAlpha(labelColour, 0.25) : content_.tint.value_or(labelColour);
        secondary = withAlpha(labelColour, secondaryInkOpacity);
        symbolPalette = content_.palette.isEmpty() ? QList<QColor>{titleColour} : content_.palette;
    }

    if (!g.symbol.isEmpty()) {
        Symbols::draw(painter, content_.symbol, g.symbol, g.symbolPointSize, SymbolWeight::regular,
                      symbolPalette);
    }
    const auto text = [&](const QRectF& rect, const QFont& font, const QColor& colour,
                          const QString& string) {
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, string);
    };
    text(g.title, content_.drawsBoldTitle() ? MenuRowFonts::boldTitle() : MenuRowFonts::title(),
         titleColour, content_.title);
    if (g.subtitle) {
        text(*g.subtitle, MenuRowFonts::subtitle(), secondary, *content_.subtitle);
    }
    if (g.trailingText) {
        text(*g.trailingText, MenuRowFonts::trailing(), secondary, content_.trailing.text);
    }
    if (!g.caps.isEmpty()) {
        const QColor capLabel = highlighted
                                    ? colours.color(QPalette::HighlightedText)
                                    : withAlpha(labelColour, content_.enabled ? 0.72 : 0.35);
        paintCaps(painter, g.caps, content_.trailing.keys, capLabel,
                  highlighted ? withAlpha(Qt::white, 0.12) : withAlpha(labelColour, 0.06),
                  highlighted ? withAlpha(Qt::white, 0.55) : withAlpha(labelColour, 0.22));
    }
}

}  // namespace pellucine
