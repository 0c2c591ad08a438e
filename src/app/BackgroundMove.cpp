#include "app/BackgroundMove.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace pellucine {

BackgroundMove::BackgroundMove(QWidget& window) : QObject(&window) {
    window.installEventFilter(this);
}

void BackgroundMove::install(QWidget& window) {
    if (window.findChild<BackgroundMove*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new BackgroundMove(window);
    }
}

bool BackgroundMove::eventFilter(QObject* watched, QEvent* event) {
    // The window itself receives a press only when every widget under the pointer let it pass.
    if (event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        QWindow* window = static_cast<QWidget*>(watched)->windowHandle();
        if (press->button() == Qt::LeftButton && window != nullptr && window->startSystemMove()) {
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pellucine
