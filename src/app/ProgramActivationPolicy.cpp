#include "app/ProgramActivationPolicy.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

namespace pellucine {

ProgramActivationPolicy::ProgramActivationPolicy(ActivationPolicy policy,
                                                 std::unique_ptr<WindowListing> listing,
                                                 QObject* parent)
    : QObject(parent), policy_(policy), listing_(std::move(listing)) {
    qGuiApp->installEventFilter(this);
}

ProgramActivationPolicy::~ProgramActivationPolicy() {
    if (qGuiApp != nullptr) {
        qGuiApp->removeEventFilter(this);
    }
}

void ProgramActivationPolicy::setPolicy(ActivationPolicy policy) {
    if (policy == policy_) {
        return;
    }
    policy_ = policy;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && isProgramWindow(*window)) {
            apply(*window, true);
        }
    }
}

bool ProgramActivationPolicy::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWindowType()) {
        auto* window = static_cast<QWindow*>(watched);
        if (isProgramWindow(*window)) {
            // The show event comes before the window is mapped.
            apply(*window, false);
        }
    }
    return QObject::eventFilter(watched, event);
}

bool ProgramActivationPolicy::isProgramWindow(const QWindow& window) {
    if (!window.isTopLevel()) {
        return false;
    }
    switch (window.type()) {
        case Qt::Window:
        case Qt::Dialog:
        case Qt::Sheet:
        case Qt::Drawer:
        case Qt::Tool:
            return true;
        default:
            return false;
    }
}

void ProgramActivationPolicy::apply(QWindow& window, bool mapped) {
    if (policy_ == ActivationPolicy::prohibited) {
        // Posted to this object: a widget's window passes events posted to it on to the widget.
        QMetaObject::invokeMethod(
            this,
            [target = QPointer<QWindow>(&window)] {
                if (target) {
                    target->hide();
                }
            },
            Qt::QueuedConnection);
        return;
    }
    if (listing_) {
        listing_->setUnlisted(window, policy_ == ActivationPolicy::accessory, mapped);
    }
}

}  // namespace pellucine
