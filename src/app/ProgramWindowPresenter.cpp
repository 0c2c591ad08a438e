#include "app/ProgramWindowPresenter.h"

#include "app/BackgroundMove.h"
#include "app/ClosedWindowPixels.h"
#include "app/OnboardingStore.h"
#include "app/QtPresentableWindow.h"
#include "coordination/AppModel.h"
#include "design/Yard.h"
#include "settings/WelcomeWindow.h"

namespace pellucine {

ProgramWindowPresenter::ProgramWindowPresenter(Services services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {}

ProgramWindowPresenter::~ProgramWindowPresenter() = default;

void ProgramWindowPresenter::adopt(QWidget& window) {
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    BackgroundMove::install(window);
    ClosedWindowPixels::install(window);
    Yard::follow(&window, services_.appearance);
    if (services_.commands) {
        installCommands(window, services_.commands());
    }
}

void ProgramWindowPresenter::present(QWidget& window, QSize size) {
    presentWindow(QtPresentableWindow::of(window, services_.activation), size);
}

void ProgramWindowPresenter::showOnboarding(OnboardingView::Step step) {
    services_.model.permissions().refresh(WelcomeWindow::openedSource);
    const SystemDock::Kind dock =
        services_.dockKind ? services_.dockKind() : SystemDock::Kind::systemDock;
    if (welcome_) {
        welcome_->view()->setDock(dock);
        welcome_->view()->jumpTo(step);
        present(*welcome_, WelcomeWindow::presentedSize);
        return;
    }
    const KeyCombo hotkey = services_.model.machinePreferences().value().windowSearchHotkey;
    const std::optional<SwitcherBinding> keys =
        services_.switcherKeys ? services_.switcherKeys() : SwitcherBinding{};
    welcome_ = std::make_unique<WelcomeWindow>(
        services_.model.permissions(), services_.scheduler, step,
        services_.keyboard ? hotkey.keycapLabels(*services_.keyboard) : hotkey.keycapLabels(),
        OnboardingView::Actions{[this] { showSettings(); }, [this] { completeOnboarding(); }},
        keys);
    welcome_->view()->setDock(dock);
    adopt(*welcome_);
    present(*welcome_, WelcomeWindow::presentedSize);
    services_.events.record(QStringLiteral("onboarding-shown"));
}

void ProgramWindowPresenter::completeOnboarding() {
    services_.onboarding.setCompletedOnboarding(true);
    if (welcome_) {
        welcome_->close();
        // Called from inside the window: it goes once control is back in the event loop.
        welcome_.release()->deleteLater();
    }
    services_.events.record(QStringLiteral("onboarding-completed"));
}

void ProgramWindowPresenter::showSettings() {
    services_.events.record(QStringLiteral("settings-opened"));
    if (!settings_) {
        if (!services_.makeSettingsWindow) {
            return;
        }
        settings_ = services_.makeSettingsWindow();
        adopt(*settings_);
    }
    present(*settings_, settingsSize);
}

void ProgramWindowPresenter::showDiagnosticsWindow() {
    if (!diagnostics_) {
        if (!services_.makeDiagnosticsWindow) {
            return;
        }
        diagnostics_ = services_.makeDiagnosticsWindow();
        adopt(*diagnostics_);
    }
    present(*diagnostics_, diagnosticsSize);
}

void ProgramWindowPresenter::showReportWindow(const std::optional<ReportProblem::Phase>& phase) {
    if (services_.openReport) {
        services_.openReport(phase);
    }
}

QWidget* ProgramWindowPresenter::visibleWindow() const {
    for (QWidget* window :
         {static_cast<QWidget*>(settings_.get()), static_cast<QWidget*>(welcome_.get()),
          static_cast<QWidget*>(diagnostics_.get())}) {
        if (window != nullptr && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

bool ProgramWindowPresenter::hasVisibleWindow() const {
    return visibleWindow() != nullptr;
}

void ProgramWindowPresenter::activate() {
    if (QWidget* window = visibleWindow()) {
        QtPresentableWindow& presentable = QtPresentableWindow::of(*window, services_.activation);
        presentable.orderFront();
        presentable.activate();
    }
}

}  // namespace pellucine
