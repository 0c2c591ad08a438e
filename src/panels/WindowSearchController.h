#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/CancellationToken.h"
#include "base/EventRecording.h"
#include "base/Rect.h"
#include "base/Scheduler.h"
#include "base/SharedTask.h"
#include "coordination/WindowSearchControlling.h"
#include "core/WindowDescriptor.h"
#include "panels/PanelWindowSystem.h"
#include "panels/WindowSearchRowDelegate.h"
#include "panels/WindowSearchState.h"
#include "platform/Desktop.h"
#include "preferences/HotkeyCenter.h"
#include "preferences/HotkeyConflicts.h"

class QKeyEvent;

namespace pellucine {

class AppModel;
class Appearance;
class PanelWindowHints;
class WindowSearchPanel;
class WindowSearchView;

// Window search: the global hotkey that toggles the panel, opening and placing the panel,
// gathering every window of the other applications from the model (again once the model's
// fresh list arrives), the panel's keys, and focusing the chosen window. Callbacks it hands out
// do nothing once it is gone. Main thread only.
class WindowSearchController final : public QObject, public WindowSearchControlling {
    Q_OBJECT

  public:
    // What the controller runs on besides the model; all of it outlives the controller.
    struct Platform {
        Desktop& desktop;
        Scheduler& scheduler;
        EventRecording& events;
        HotkeyCenter& hotkeys;
        // Who else uses key combinations, read at every registration; none: nobody does.
        std::function<HotkeyConflicts::Sources()> conflictSources;
        // Posts "pellucine.needs-permissions".
        std::function<void()> needsPermissions;
        // None: every row shows the generic window symbol.
        const ApplicationIconProviding* icons = nullptr;
        // The panel follows its scheme; none: light.
        const Appearance* appearance = nullptr;
        // The panel's hints beyond Qt; Qt's own calls without one.
        const PanelWindowSystem& windowSystem = PanelWindowSystem::qtOnly();
    };

    static constexpr quint64 modifierMask = KeyCombo::allModifiers;
    static constexpr QLatin1String failedRegistrationProblem{"another app"};

    WindowSearchController(AppModel& model, Recency recency, Platform platform,
                           QObject* parent = nullptr);
    // Ends the hotkey's registration and the refresh; the panel goes with the controller.
    ~WindowSearchController() override;

    void setOnHotkeyProblemChange(HotkeyProblemHandler handler) override;
    void setOnOpening(std::function<void()> handler) override { onOpening_ = std::move(handler); }
    void registerHotkey() override;
    void show() override;

    // The hotkey's action: opens the panel when it is not on screen, else closes it.
    void toggle();
    // Closes the panel and focuses the window (unhiding its application first).
    void commit(const WindowDescriptor& window);
    // Ends the refresh, orders the panel out and empties the state; the query text stays.
    void close();
    // Acts on a key pressed in the panel; true when the key was used.
    bool handleKeyDown(const QKeyEvent& event);

    WindowSearchState& search() { return search_; }
    WindowSearchPanel* panel() const { return panel_.get(); }
    WindowSearchView* view() const { return view_; }
    bool isPanelVisible() const;
    // The panel's frame in the screen space, as last placed.
    ScreenRect panelFrame() const { return panelFrame_; }
    std::optional<HotkeyCenter::Id> hotkeyID() const { return hotkeyID_; }
    const std::optional<QString>& hotkeyProblem() const { return hotkeyProblem_; }
    // The refresh started by the last opening, until it ends or is cancelled.
    bool isRefreshing() const { return refreshTask_.isValid() && !refreshTask_.isFinished(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void makePanel();
    void collectCandidates();
    void resizePanel();
    void setPanelFrame(const ScreenRect& frame);
    QCoro::Task<void> refresh(CancellationToken token);

    AppModel& model_;
    Recency recency_;
    Platform platform_;
    WindowSearchState search_;
    std::unique_ptr<WindowSearchPanel> panel_;
    WindowSearchView* view_ = nullptr;
    std::unique_ptr<PanelWindowHints> hints_;
    TaskHandle refreshTask_;
    std::optional<HotkeyCenter::Id> hotkeyID_;
    std::optional<QString> hotkeyProblem_;
    HotkeyProblemHandler onHotkeyProblemChange_;
    std::function<void()> onOpening_;
    ScreenRect panelFrame_{0, 0, 660, 200};
};

}  // namespace pellucine
