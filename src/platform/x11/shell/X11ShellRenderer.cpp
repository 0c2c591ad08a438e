#include "platform/x11/shell/X11ShellRenderer.h"

#include <QGuiApplication>
#include <QPainter>

#include "design/Symbols.h"
#include "design/Yard.h"

namespace pellucine {

namespace {

bool canDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QRectF points(const QRect& pixels, double scale) {
    return {pixels.x() / scale, pixels.y() / scale, pixels.width() / scale,
            pixels.height() / scale};
}

// The framed ground of a window of `size`.
QImage ground(QSize size, double scale) {
    QImage image(size, QImage::Format_RGB32);
    const Yard::Palette& palette = Yard::Palette::dark();
    image.fill(palette.ground);
    {
        QPainter painter(&image);
        Yard::strokeInside(painter, QRect(QPoint(0, 0), size), palette.cardBorder,
                           std::max(1.0, scale));
    }
    return image;
}

// The `selected` item's icon sits on a plate of the ground so that it reads on the highlight.
void drawIcons(QPainter& painter, const X11IconRow& row, const QList<QImage>& icons,
               int selected = -1) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Drawn once for every item without an icon of its own.
    QImage generic;
    for (int i = 0; i < row.items.size(); ++i) {
        const QRect target = row.iconRect(i);
        if (i == selected) {
            Yard::paintIconPlate(painter, target, row.items[i], Yard::Palette::dark());
        }
        if (i < icons.size() && !icons[i].isNull()) {
            painter.drawImage(target, icons[i]);
            continue;
        }
        if (generic.width() != target.width()) {
            generic = X11ShellRenderer::genericIcon(target.width());
        }
        painter.drawImage(target, generic);
    }
}

}  // namespace

QImage X11ShellRenderer::genericIcon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (side <= 0 || !canDrawText()) {
        return image;
    }
    const Yard::Palette& palette = Yard::Palette::dark();
    QPainter painter(&image);
    Symbols::draw(painter, u"macwindow", QRectF(0, 0, side, side), side * 0.7,
                  SymbolWeight::regular, {palette.muted});
    return image;
}

QImage X11ShellRenderer::renderSwitcher(const X11SwitcherLayout& layout, const QList<QImage>& icons,
                                        int selected, const QString& name, double scale) {
    QImage image = ground(layout.strip.size(), scale);
    const Yard::Palette& palette = Yard::Palette::dark();
    QPainter painter(&image);
    if (selected >= 0 && selected < layout.items.size()) {
        painter.fillRect(layout.items[selected], palette.railSelect);
    }
    drawIcons(painter, layout, icons, selected);
    if (canDrawText() && !name.isEmpty()) {
        painter.scale(scale, scale);
        painter.setFont(switcherLabelFont());
        painter.setPen(palette.fore);
        const QRectF line = points(layout.label, scale);
        painter.drawText(
            line, Qt::AlignCenter,
            painter.fontMetrics().elidedText(name, Qt::ElideRight, static_cast<int>(line.width())));
    }
    return image;
}

QFont X11ShellRenderer::switcherLabelFont() {
    QFont font = Yard::labelFont();
    font.setPixelSize(15);
    return font;
}

QImage X11ShellRenderer::renderDock(const X11DockLayout& layout, const QList<QImage>& icons,
                                    double scale) {
    QImage image = ground(layout.bar.size(), scale);
    const Yard::Palette& palette = Yard::Palette::dark();
    QPainter painter(&image);
    drawIcons(painter, layout, icons);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.fore);
    for (int i = 0; i < layout.items.size(); ++i) {
        painter.drawEllipse(layout.dotRect(i));
    }
    return image;
}

}  // namespace pellucine
