#include "app/ClosedWindowPixels.h"

#include <QBackingStore>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace pellucine {

ClosedWindowPixels::ClosedWindowPixels(QWidget& window) : QObject(&window) {
    window.installEventFilter(this);
}

void ClosedWindowPixels::install(QWidget& window) {
    if (window.findChild<ClosedWindowPixels*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new ClosedWindowPixels(window);
    }
}

void ClosedWindowPixels::release(QWidget& window) {
    QBackingStore* store = window.backingStore();
    if (window.isVisible() || store == nullptr ||
        store->size().width() * store->size().height() <= 1) {
        return;
    }
    // The buffer follows the store's size at the next paint; one of a single pixel makes it so
    // now. The next showing resizes the store to the window and repaints all of it.
    store->resize(QSize(1, 1));
    const QRegion pixel(0, 0, 1, 1);
    store->beginPaint(pixel);
    store->endPaint();
}

bool ClosedWindowPixels::eventFilter(QObject* watched, QEvent* event) {
    // A minimised window is hidden by the window system and comes back without a repaint.
    if (event->type() == QEvent::Hide && !event->spontaneous()) {
        QPointer<QWidget> window(static_cast<QWidget*>(watched));
        QTimer::singleShot(0, this, [window] {
            if (window) {
                release(*window);
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pellucine
