#include "panels/WindowSearchController.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>

#include "base/Spawn.h"
#include "coordination/AppModel.h"
#include "design/Yard.h"
#include "panels/PanelFrames.h"
#include "panels/PanelWindowHints.h"
#include "panels/WindowSearchCandidates.h"
#include "panels/WindowSearchKeyMap.h"
#include "panels/WindowSearchPanel.h"
#include "panels/WindowSearchPanelGeometry.h"
#include "panels/WindowSearchView.h"

namespace pellucine {

namespace Geometry = WindowSearchPanelGeometry;

WindowSearchController::WindowSearchController(AppModel& model, Recency recency, Platform platform,
                                               QObject* parent)
    : QObject(parent),
      model_(model),
      recency_(std::move(recency)),
      platform_(std::move(platform)) {}

WindowSearchController::~WindowSearchController() {
    refreshTask_.cancel();
    if (hotkeyID_) {
        platform_.hotkeys.unregister(*hotkeyID_);
    }
    hints_.reset();
    panel_.reset();
}

void WindowSearchController::setOnHotkeyProblemChange(HotkeyProblemHandler handler) {
    onHotkeyProblemChange_ = std::move(handler);
}

void WindowSearchController::registerHotkey() {
    if (hotkeyID_) {
        platform_.hotkeys.unregister(*hotkeyID_);
        hotkeyID_.reset();
    }
    const MachinePreferences& preferences = model_.machinePreferences().value();
    if (!preferences.windowSearchEnabled) {
        hotkeyProblem_.reset();
        if (onHotkeyProblemChange_) {
            onHotkeyProblemChange_(hotkeyProblem_);
        }
        return;
    }
    const KeyCombo combo = preferences.windowSearchHotkey;
    const quint64 modifiers = combo.modifiers & modifierMask;
    const std::optional<QString> owner = HotkeyConflicts::owner(
        combo.keyCode, modifiers,
        platform_.conflictSources ? platform_.conflictSources() : HotkeyConflicts::Sources{});
    hotkeyID_ = platform_.hotkeys.registerHotkey(combo.keyCode, modifiers,
                                                 [self = QPointer<WindowSearchController>(this)] {
                                                     if (self) {
                                                         self->toggle();
                                                     }
                                                 });
    QString result;
    if (hotkeyID_) {
        hotkeyProblem_ = owner;
        result = owner ? QStringLiteral("registered-shared") : QStringLiteral("registered");
    } else {
        hotkeyProblem_ = owner.value_or(QString(failedRegistrationProblem));
        result = QStringLiteral("not-registered");
    }
    if (onHotkeyProblemChange_) {
        onHotkeyProblemChange_(hotkeyProblem_);
    }
    platform_.events.record(QStringLiteral("window-search-hotkey"),
                            {{QStringLiteral("result"), result}});
}

void WindowSearchController::show() {
    if (model_.permissions().accessibility().value() != PermissionState::granted) {
        if (platform_.needsPermissions) {
            platform_.needsPermissions();
        }
        return;
    }
    if (onOpening_) {
        onOpening_();
    }
    if (!panel_) {
        makePanel();
    }
    const KeyCombo hotkey = model_.machinePreferences().value().windowSearchHotkey;
    search_.setHotkey(hotkey, platform_.desktop.keyboardState().keyCharacter(hotkey.keyCode));
    search_.setQuery(QString());
    search_.setSelectedID(std::nullopt);
    collectCandidates();
    resizePanel();

    const QList<Screen> screens = platform_.desktop.screenLayout().screens();
    if (!screens.isEmpty()) {
        const ScreenPoint pointer =
            toScreenSpace(platform_.desktop.pointerEvents().pointerLocation(),
                          PanelFrames::current(platform_.desktop.screenLayout()).mainHeight);
        const std::optional<ScreenRect> visible =
            Geometry::targetVisibleFrame(pointer, screens, screens.first().visibleFrame);
        if (visible) {
            const ScreenPoint origin = Geometry::origin(panelFrame_.size(), *visible);
            setPanelFrame({origin.x, origin.y, panelFrame_.width, panelFrame_.height});
        }
    }
    panel_->show();
    hints_->requestFocus();
    search_.advanceFocusToken();
    platform_.events.record(
        QStringLiteral("window-search-opened"),
        {{QStringLiteral("windowCount"), QString::number(search_.totalCount())}});

    refreshTask_.cancel();
    refreshTask_ = spawn(platform_.scheduler, guarded(this, &WindowSearchController::refresh));
}

QCoro::Task<void> WindowSearchController::refresh(CancellationToken token) {
    const QPointer<WindowSearchController> self(this);
    AppModel& model = model_;
    co_await model.refreshWindows();
    if (!self || token.isCancelled() || !isPanelVisible()) {
        co_return;
    }
    collectCandidates();
    resizePanel();
}

void WindowSearchController::toggle() {
    if (isPanelVisible()) {
        close();
    } else {
        show();
    }
}

void WindowSearchController::close() {
    refreshTask_.cancel();
    if (panel_) {
        panel_->hide();
    }
    search_.reset();
}

void WindowSearchController::commit(const WindowDescriptor& window) {
    const qsizetype requested = search_.results().size();
    close();
    Workspace& workspace = platform_.desktop.workspace();
    const std::optional<RunningApplication> application =
        workspace.runningApplication(window.ownerPID);
    if (application && application->isHidden) {
        workspace.unhide(window.ownerPID);
    }
    model_.performWindowAction(WindowAction::focus(), window);
    platform_.events.record(QStringLiteral("window-search-committed"),
                            {{QStringLiteral("requestedCount"), QString::number(requested)}});
}

bool WindowSearchController::handleKeyDown(const QKeyEvent& event) {
    const std::optional<WindowSearchCommand> command =
        WindowSearchKeyMap::command(event.key(), event.modifiers());
    if (!command) {
        return false;
    }
    switch (command->kind) {
        case WindowSearchCommand::Kind::commit:
            if (const std::optional<WindowDescriptor> window = search_.selectedWindow()) {
                commit(*window);
            }
            break;
        case WindowSearchCommand::Kind::close:
            close();
            break;
        case WindowSearchCommand::Kind::moveSelection:
            search_.moveSelection(command->step);
            break;
    }
    return true;
}

bool WindowSearchController::isPanelVisible() const {
    return panel_ && panel_->isVisible();
}

bool WindowSearchController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isPanelVisible() && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == panel_.get()) {
        return handleKeyDown(static_cast<const QKeyEvent&>(*event));
    }
    return QObject::eventFilter(watched, event);
}

void WindowSearchController::makePanel() {
    panel_ = std::make_unique<WindowSearchPanel>();
    const QPointer<WindowSearchController> self(this);
    WindowSearchView::Callbacks callbacks;
    callbacks.onCommit = [self](const WindowDescriptor& window) {
        if (self) {
            self->commit(window);
        }
    };
    callbacks.onQueryChange = [self] {
        if (self && self->panel_) {
            self->resizePanel();
        }
    };
    view_ = new WindowSearchView(search_, std::move(callbacks), platform_.icons, panel_.get());
    panel_->setContent(view_);
    panel_->setOnCancel([self] {
        if (self) {
            self->close();
        }
    });
    panel_->setOnResignKey([self] {
        if (self) {
            self->close();
        }
    });
    if (platform_.appearance != nullptr) {
        Yard::follow(panel_.get(), *platform_.appearance);
    }
    view_->field()->installEventFilter(this);
    panel_->installEventFilter(this);
    hints_ = platform_.windowSystem.windowHints(*panel_);
    hints_->applyBeforeMapping();
}

void WindowSearchController::collectCandidates() {
    QList<WindowSearch::Candidate> candidates = WindowSearchCandidates::collect(
        model_.applications().value(), platform_.desktop.process().processIdentifier(),
        recency_ ? recency_() : QList<qint32>{});
    search_.setTotalCount(candidates.size());
    search_.setCandidates(std::move(candidates));
    search_.refresh();
}

void WindowSearchController::resizePanel() {
    setPanelFrame(Geometry::resizedFrame(panelFrame_, search_.results().size()));
}

void WindowSearchController::setPanelFrame(const ScreenRect& frame) {
    panelFrame_ = frame;
    if (!panel_) {
        return;
    }
    panel_->placeAt(PanelFrames::current(platform_.desktop.screenLayout()).toWidget(frame));
}

}  // namespace pellucine
