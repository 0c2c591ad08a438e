#include "settings/DraggablePermissionTile.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>

#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardText.h"
#include "settings/SymbolIcon.h"

namespace pellucine {

DraggablePermissionTile::DraggablePermissionTile(QWidget* parent)
    : CardFrame(Style{.padding = {14, 10, 14, 10}}, QBoxLayout::LeftToRight, spacing, parent) {
    setToolTip(QStringLiteral("Drag this app tile into your desktop's privacy settings"));

    auto* icon = new QLabel;
    icon->setFixedSize(iconSide, iconSide);
    icon->setScaledContents(true);
    icon->setPixmap(
        QGuiApplication::windowIcon().pixmap(QSize(iconSide, iconSide), devicePixelRatioF()));

    auto* text = new QVBoxLayout;
    text->setSpacing(textSpacing);
    text->addWidget(
        new YardText(QStringLiteral("Drag PELLUCINE into Screen Recording"), Yard::labelFont()));
    text->addWidget(
        new YardText(QStringLiteral("Use this if your desktop does not list the app on its own."),
                     Yard::hintFont(), &Yard::Palette::muted));

    content()->addWidget(icon, 0, Qt::AlignVCenter);
    content()->addLayout(text, 1);
    content()->addWidget(new SymbolIcon(QStringLiteral("arrow.up"), SymbolIcon::title2,
                                        SymbolWeight::semibold, &Yard::Palette::accentType,
                                        QSize(qCeil(Symbols::side(SymbolIcon::title2)),
                                              qCeil(Symbols::side(SymbolIcon::title2)))),
                         0, Qt::AlignVCenter);
}

std::unique_ptr<QMimeData> DraggablePermissionTile::dragData(const QString& path) {
    auto data = std::make_unique<QMimeData>();
    const QFileInfo file(path);
    if (!path.isEmpty() && file.isFile()) {
        data->setUrls({QUrl::fromLocalFile(file.absoluteFilePath())});
    }
    return data;
}

void DraggablePermissionTile::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position().toPoint();
    }
    CardFrame::mousePressEvent(event);
}

void DraggablePermissionTile::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - *pressedAt_).manhattanLength() <
            QApplication::startDragDistance()) {
        CardFrame::mouseMoveEvent(event);
        return;
    }
    pressedAt_.reset();
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData(QCoreApplication::applicationFilePath()).release());
    drag->setPixmap(grab());
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

void DraggablePermissionTile::mouseReleaseEvent(QMouseEvent* event) {
    pressedAt_.reset();
    CardFrame::mouseReleaseEvent(event);
}

}  // namespace pellucine
