#include "app/StatusItem.h"

#include <QCursor>
#include <QPainter>
#include <QSystemTrayIcon>

#include "app/StatusMenu.h"
#include "core/Bundle.h"
#include "design/Symbols.h"

namespace pellucine {

namespace {

constexpr int iconSide = 19;

// The template's shape in one colour.
QPixmap tinted(const QImage& shape, int side, const QColor& colour) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, side, side), shape);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace

QIcon makeMenuBarIcon(ColorScheme scheme) {
    const QColor ink = scheme == ColorScheme::dark ? QColor(Qt::white) : QColor(Qt::black);
    QImage shape;
    if (const auto path =
            Bundle::main().resourcePath(QStringLiteral("MenuBarIcon"), QStringLiteral("png"))) {
        shape.load(*path);
    }
    QIcon icon;
    // Trays ask for sizes around 16 to 48 pixels; each is drawn at its size.
    for (const int side : {16, iconSide, 22, 24, 32, 48}) {
        if (!shape.isNull()) {
            icon.addPixmap(tinted(shape, side, ink));
            continue;
        }
        const QImage symbol = Symbols::image(u"rectangle.stack", side / Symbols::side(1),
                                             SymbolWeight::regular, {ink});
        if (!symbol.isNull()) {
            icon.addPixmap(QPixmap::fromImage(symbol));
        } else {
            QPixmap empty(side, side);
            empty.fill(Qt::transparent);
            icon.addPixmap(empty);
        }
    }
    return icon;
}

QString StatusItem::toolTip(const std::optional<SwitcherBinding>& switcherKeys) {
    return QStringLiteral("PELLUCINE: window previews for ") +
           (switcherKeys ? switcherKeys->name() + QStringLiteral(" and ") : QString()) +
           QStringLiteral("the Dock bar");
}

StatusItem::StatusItem(StatusMenu& menu, ColorScheme scheme,
                       const std::optional<SwitcherBinding>& switcherKeys, QObject* parent)
    : QObject(parent), menu_(menu), tray_(std::make_unique<QSystemTrayIcon>()) {
    tray_->setIcon(makeMenuBarIcon(scheme));
    tray_->setToolTip(toolTip(switcherKeys));
    connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](auto reason) {
        if (reason != QSystemTrayIcon::Unknown) {
            open();
        }
    });
}

StatusItem::~StatusItem() = default;

bool StatusItem::isTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusItem::setVisible(bool visible) {
    tray_->setVisible(visible);
}

bool StatusItem::isVisible() const {
    return tray_->isVisible();
}

void StatusItem::setScheme(ColorScheme scheme) {
    tray_->setIcon(makeMenuBarIcon(scheme));
}

void StatusItem::open() {
    // The pointer is on the icon; the menu opens below it, or above it at the bottom edge.
    menu_.popup(QCursor::pos());
}

}  // namespace pellucine
