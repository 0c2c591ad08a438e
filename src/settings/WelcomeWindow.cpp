#include "settings/WelcomeWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "design/Yard.h"
#include "preferences/PermissionService.h"

namespace pellucine {

WelcomeWindow::WelcomeWindow(PermissionService& permissions, Scheduler& scheduler,
                             OnboardingView::Step initialStep, const QStringList& searchKeys,
                             OnboardingView::Actions actions,
                             std::optional<SwitcherBinding> switcherKeys, QWidget* parent)
    : QWidget(parent, Qt::Window), permissions_(permissions), onDone_(std::move(actions.onDone)) {
    actions.onDone = [this] { finish(); };
    view_ = new OnboardingView(permissions, scheduler, initialStep, searchKeys, std::move(actions),
                               switcherKeys);
    setWindowTitle(title());
    setMinimumSize(presentedSize);
    Yard::setWindowGround(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

QString WelcomeWindow::title() {
    return QStringLiteral("Welcome to PELLUCINE");
}

void WelcomeWindow::present(OnboardingView::Step step) {
    permissions_.refresh(openedSource);
    view_->jumpTo(step);
    resize(presentedSize);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        QRect frame(QPoint(), presentedSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    showNormal();
    raise();
    activateWindow();
}

void WelcomeWindow::finish() {
    close();
    // The action may release this window; nothing here runs after it.
    const std::function<void()> done = onDone_;
    if (done) {
        done();
    }
}

}  // namespace pellucine
