#include "app/BackgroundMove.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "app/X11WindowManagerMove.h"

namespace pellucine {

BackgroundMove::BackgroundMove(QWidget& window, StartMove startMove)
    : QObject(&window), startMove_(std::move(startMove)) {
    window.installEventFilter(this);
}

void BackgroundMove::install(QWidget& window) {
    install(window, startWindowManagerMove);
}

void BackgroundMove::install(QWidget& window, StartMove startMove) {
    if (window.findChild<BackgroundMove*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new BackgroundMove(window, std::move(startMove));
    }
}

bool BackgroundMove::movesWindow(QPointF pressed, QPointF now, bool leftButtonDown,
                                 int dragDistance) {
    return leftButtonDown && (now - pressed).manhattanLength() >= dragDistance;
}

bool BackgroundMove::eventFilter(QObject* watched, QEvent* event) {
    // The window itself receives a press only when every widget under the pointer let it pass;
    // the moves and the release then come to it too.
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* press = static_cast<QMouseEvent*>(event);
            if (press->button() == Qt::LeftButton) {
                pressed_ = press->globalPosition();
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* move = static_cast<QMouseEvent*>(event);
            const bool held = (move->buttons() & Qt::LeftButton) != 0;
            QWindow* window = static_cast<QWidget*>(watched)->windowHandle();
            if (pressed_ && window != nullptr &&
                movesWindow(*pressed_, move->globalPosition(), held,
                            QApplication::startDragDistance())) {
                // The window manager moves the window with the pointer from where it is now: the
                // window first catches up with the way the pointer has come since the press. The
                // pointer's place goes along as the event has it: Qt's own would be reckoned from
                // the window's new place before the window is there.
                const QPoint pointer = move->globalPosition().toPoint();
                const QPoint lag = pointer - pressed_->toPoint();
                pressed_.reset();
                window->setFramePosition(window->framePosition() + lag);
                startMove_(*window, pointer);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && pressed_) {
                pressed_.reset();
                return true;
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pellucine
