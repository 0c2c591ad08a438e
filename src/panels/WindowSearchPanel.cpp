#include "panels/WindowSearchPanel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWindow>

namespace pellucine {

WindowSearchPanel::WindowSearchPanel(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Search Windows"));
    setAccessibleName(QStringLiteral("Search Windows"));
    resize(initialWidth, initialHeight);
}

bool WindowSearchPanel::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            if (isVisible()) {
                hasBeenKey_ = true;
            }
            break;
        case QEvent::WindowDeactivate:
            // A focus-out that arrives after the panel was hidden, or before it took the
            // keyboard in this showing, belongs to an earlier showing.
            if (hasBeenKey_ && isVisible() && !isActiveWindow()) {
                hasBeenKey_ = false;
                if (onResignKey_) {
                    onResignKey_();
                }
            }
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void WindowSearchPanel::setContent(QWidget* content) {
    content_ = content;
    if (content_) {
        content_->setGeometry(rect());
    }
}

void WindowSearchPanel::placeAt(const QRect& geometry) {
    QWindow* window = windowHandle();
    if (isVisible() && window != nullptr && !window->isExposed()) {
        window->removeEventFilter(this);
        window->installEventFilter(this);
        pendingGeometry_ = geometry;
        return;
    }
    pendingGeometry_.reset();
    setFixedSize(geometry.size());
    move(geometry.topLeft());
}

bool WindowSearchPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() && pendingGeometry_ &&
        windowHandle()->isExposed()) {
        // Once Qt has taken the exposure in; a later placement replaces this one.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (pendingGeometry_) {
                    placeAt(*pendingGeometry_);
                }
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void WindowSearchPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (content_) {
        content_->setGeometry(rect());
    }
}

void WindowSearchPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (onCancel_) {
            onCancel_();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void WindowSearchPanel::showEvent(QShowEvent* event) {
    hasBeenKey_ = false;
    QWidget::showEvent(event);
}

void WindowSearchPanel::hideEvent(QHideEvent* event) {
    hasBeenKey_ = false;
    QWidget::hideEvent(event);
}

}  // namespace pellucine
