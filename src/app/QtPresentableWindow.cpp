#include "app/QtPresentableWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "app/WindowActivation.h"
#include "app/WorkAreaFit.h"

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

QWindow& QtPresentableWindow::window() {
    widget_.winId();
    QWindow* window = widget_.windowHandle();
    if (watched_ != window) {
        watched_ = window;
        window->installEventFilter(this);
    }
    return *window;
}

bool QtPresentableWindow::isFullScreen() const {
    return widget_.isFullScreen();
}

void QtPresentableWindow::exitFullScreen(std::function<void()> done) {
    const bool onScreen = widget_.isVisible();
    if (onScreen) {
        // The window manager answers later by changing the window's state; Qt passes that on
        // as a spontaneous state change of the window.
        window();
        leftFullScreen_ = std::move(done);
    }
    widget_.setWindowState(widget_.windowState() & ~Qt::WindowFullScreen);
    if (!onScreen && done) {
        // A hidden window has nothing to wait for: it is shown in its new state.
        done();
    }
}

bool QtPresentableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != watched_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::WindowStateChange:
            if (leftFullScreen_ && event->spontaneous() &&
                !(watched_->windowStates() & Qt::WindowFullScreen)) {
                std::exchange(leftFullScreen_, {})();
            }
            break;
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
            if (watchingFrame_ && watched_->isExposed()) {
                frameMayHaveChanged();
            }
            break;
        default:
            break;
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
    if (widget_.isVisible()) {
        // Sent even when the widget believes it has the size already: its copy lags behind
        // what the window manager did meanwhile.
        window().resize(size);
    }
}

void QtPresentableWindow::centre() {
    const QScreen* screen =
        widget_.screen() != nullptr ? widget_.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QWindow& handle = window();
    // Asked of the window each time: the widget's copy lags behind the window manager.
    const QMargins margins = handle.frameMargins();
    const QRect client = WorkAreaFit::place(widget_.size(), margins, screen->availableGeometry());
    if (client.size() != widget_.size()) {
        allowSize(client.size());
    } else {
        restoreLeastSizes(margins, screen->availableGeometry());
    }
    widget_.setGeometry(client);
    if (widget_.isVisible()) {
        handle.resize(client.size());
        handle.setPosition(client.topLeft());
    }
    // The frame is final only once the window manager has framed the window (and, leaving full
    // screen, decorated it again): centred again when it changes.
    watchingFrame_ = true;
    marginsUsed_ = margins;
}

void QtPresentableWindow::allowSize(QSize size) {
    // The window and the content filling it give way where the work area is smaller than
    // their least size; their own content scrolls.
    const auto lower = [this, size](QWidget& widget) {
        const QSize least = widget.minimumSize();
        if (least.boundedTo(size) == least) {
            return;
        }
        const bool kept = std::any_of(loweredSizes_.cbegin(), loweredSizes_.cend(),
                                      [&](const auto& entry) { return entry.first == &widget; });
        if (!kept) {
            loweredSizes_.append({&widget, least});
        }
        widget.setMinimumSize(least.boundedTo(size));
    };
    lower(widget_);
    for (QWidget* child : widget_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        lower(*child);
    }
}

void QtPresentableWindow::restoreLeastSizes(QMargins frame, const QRect& workArea) {
    QSize largest(0, 0);
    for (const auto& [widget, least] : std::as_const(loweredSizes_)) {
        largest = largest.expandedTo(least);
    }
    if (loweredSizes_.isEmpty() || WorkAreaFit::place(largest, frame, workArea).size() != largest) {
        return;
    }
    for (const auto& [widget, least] : std::exchange(loweredSizes_, {})) {
        if (widget) {
            widget->setMinimumSize(least);
        }
    }
}

void QtPresentableWindow::frameMayHaveChanged() {
    if (watched_->windowStates() & (Qt::WindowFullScreen | Qt::WindowMaximized)) {
        watchingFrame_ = false;
        return;
    }
    const QMargins margins = watched_->frameMargins();
    if (margins != marginsUsed_) {
        centre();
    } else if (!margins.isNull()) {
        watchingFrame_ = false;
    }
}

void QtPresentableWindow::orderFront() {
    if (widget_.isMinimized()) {
        widget_.setWindowState(widget_.windowState() & ~Qt::WindowMinimized);
    }
    widget_.show();
    widget_.raise();
}

void QtPresentableWindow::activate() {
    if (activation_ != nullptr) {
        activation_->activate(window());
    } else {
        widget_.activateWindow();
    }
}

}  // namespace pellucine
