#include "app/QtPresentableWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include "app/WindowActivation.h"

namespace pellucine {

QtPresentableWindow::QtPresentableWindow(QWidget& widget, WindowActivation* activation)
    : QObject(&widget), widget_(widget), activation_(activation) {}

QtPresentableWindow& QtPresentableWindow::of(QWidget& widget, WindowActivation* activation) {
    if (auto* existing =
            widget.findChild<QtPresentableWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
        existing->activation_ = activation;
        return *existing;
    }
    // Owned by the widget.
    return *new QtPresentableWindow(widget, activation);
}

bool QtPresentableWindow::isFullScreen() const {
    return widget_.isFullScreen();
}

void QtPresentableWindow::exitFullScreen(std::function<void()> done) {
    const bool onScreen = widget_.isVisible();
    if (onScreen) {
        // The window manager answers later by changing the window's state; Qt passes that on
        // as a spontaneous state change of the window.
        QWindow* window = widget_.windowHandle();
        if (leaving_ != nullptr) {
            leaving_->removeEventFilter(this);
        }
        leaving_ = window;
        leftFullScreen_ = std::move(done);
        window->installEventFilter(this);
    }
    widget_.setWindowState(widget_.windowState() & ~Qt::WindowFullScreen);
    if (!onScreen && done) {
        // A hidden window has nothing to wait for: it is shown in its new state.
        done();
    }
}

bool QtPresentableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == leaving_ && event->type() == QEvent::WindowStateChange && event->spontaneous() &&
        !(leaving_->windowStates() & Qt::WindowFullScreen)) {
        leaving_->removeEventFilter(this);
        leaving_ = nullptr;
        const std::function<void()> done = std::exchange(leftFullScreen_, {});
        if (done) {
            done();
        }
    }
    return QObject::eventFilter(watched, event);
}

bool QtPresentableWindow::isZoomed() const {
    return widget_.isMaximized();
}

void QtPresentableWindow::unzoom() {
    widget_.setWindowState(widget_.windowState() & ~Qt::WindowMaximized);
}

void QtPresentableWindow::setContentSize(QSize size) {
    widget_.resize(size);
}

void QtPresentableWindow::centre() {
    const QScreen* screen =
        widget_.screen() != nullptr ? widget_.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    // The frame is centred; its margins are known once the window manager has framed the
    // window, and count as none before.
    const QSize margins = widget_.frameGeometry().size() - widget_.geometry().size();
    QRect frame(QPoint(), widget_.size() + margins);
    frame.moveCenter(screen->availableGeometry().center());
    widget_.move(frame.topLeft());
}

void QtPresentableWindow::orderFront() {
    widget_.show();
    widget_.raise();
}

void QtPresentableWindow::activate() {
    QWindow* window = widget_.windowHandle();
    if (activation_ != nullptr && window != nullptr) {
        activation_->activate(*window);
    } else {
        widget_.activateWindow();
    }
}

}  // namespace pellucine
