#include "platform/x11/X11SwitcherRenderer.h"

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

}  // namespace

QImage X11SwitcherRenderer::genericIcon(int side) {
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

QImage X11SwitcherRenderer::render(const X11SwitcherLayout& layout, const QList<QImage>& icons,
                                   int selected, const QString& name, double scale) {
    QImage image(layout.strip.size(), QImage::Format_RGB32);
    const Yard::Palette& palette = Yard::Palette::dark();
    image.fill(palette.ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const QRect whole(QPoint(0, 0), layout.strip.size());
    Yard::strokeInside(painter, whole, palette.cardBorder, std::max(1.0, scale));
    if (selected >= 0 && selected < layout.items.size()) {
        painter.fillRect(layout.items[selected], palette.railSelect);
    }
    for (int i = 0; i < layout.items.size(); ++i) {
        const QRect target = layout.iconRect(i);
        const QImage icon =
            i < icons.size() && !icons[i].isNull() ? icons[i] : genericIcon(target.width());
        painter.drawImage(target, icon);
    }
    if (canDrawText() && !name.isEmpty()) {
        painter.scale(scale, scale);
        QFont font = Yard::labelFont();
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(palette.fore);
        const QRectF line = points(layout.label, scale);
        painter.drawText(
            line, Qt::AlignCenter,
            painter.fontMetrics().elidedText(name, Qt::ElideRight, static_cast<int>(line.width())));
    }
    return image;
}

}  // namespace pellucine
