#pragma once

#include <QList>
#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "base/SharedTask.h"
#include "base/SubscriptionBag.h"
#include "coordination/AppModel.h"
#include "coordination/CloseAnswer.h"
#include "coordination/DockHoverMonitor.h"
#include "coordination/GlanceRules.h"
#include "coordination/GlanceSource.h"
#include "coordination/GlobalShortcutMonitor.h"
#include "coordination/SecureInputWatch.h"
#include "coordination/ShellCoordinating.h"
#include "coordination/SwitcherPanelControlling.h"
#include "coordination/WindowSearchControlling.h"
#include "core/NativeApplicationSwitcherState.h"
#include "core/NativeSwitcherProbe.h"
#include "core/WindowLifecycleMonitor.h"
#include "platform/Desktop.h"

namespace pellucine {

// The event-driven core: turns Command-Tab, Dock hovering, the status menu and window events
// into glances (which application's windows the preview panel shows, where, with which
// pictures), and owns the monitors and panels that this takes. Made once after launch, started
// once, stopped once. Every callback and task it hands out holds it weakly: once it is
// destroyed none of them touches it. Main thread only.
class AppCoordinator final : public QObject, public ShellCoordinating {
    Q_OBJECT

  public:
    // What the coordinator runs on besides the model; all of it outlives the coordinator.
    struct Platform {
        Desktop& desktop;
        Scheduler& scheduler;
        EventRecording& events;
    };

    // How the panels are made, on first use.
    struct Panels {
        SwitcherPanelFactory switcherPanel;
        WindowSearchFactory windowSearch;
    };

    static constexpr double switcherTrackingInterval = 0.045;
    static constexpr double keystrokeFreeWatchInterval = 0.05;
    static constexpr int keystrokeFreeWatchPasses = 400;
    static constexpr double windowSearchDelay = 0.12;
    static constexpr double dockActionRefreshDelay = 0.16;
    static constexpr double dockCloseRefreshDelay = 0.45;
    static constexpr double commandWarmUpMaximumAge = 20;
    static constexpr double activityDelay = 0.9;
    static constexpr double titleActivityInterval = 30;
    static constexpr double activityWarmUpMaximumAge = 5;
    static constexpr int activityWarmedWindows = 2;
    static constexpr double activationWarmUpDelay = 0.35;
    static constexpr double activationWarmUpMaximumAge = 60;
    // A close sent from the glance is followed this often until the application answers; one
    // that has neither closed the window nor shown a window of its own by the end of the wait
    // did not answer.
    static constexpr double closeAnswerInterval = 0.1;
    static constexpr double closeAnswerWait = 2.0;
    // After the start, the glance's panel is made ahead of the first Command-Tab.
    static constexpr double panelPreparationDelay = 0.15;

    // Makes the monitors and, when both permissions are granted, starts the key tap, the window
    // monitor and the Dock monitor at once.
    AppCoordinator(AppModel& model, Platform platform, Panels panels, QObject* parent = nullptr);
    ~AppCoordinator() override;
    AppCoordinator(const AppCoordinator&) = delete;
    AppCoordinator& operator=(const AppCoordinator&) = delete;

    // Registers the window-search hotkey, starts the secure-input check, subscribes to the
    // preferences, the permissions and the workspace, asks for a Dock while Dock previews are
    // on, preloads pictures, and follows window events. Once.
    void start() override;
    // Ends timers, tasks, the tap and the monitors, withdraws the wish for a Dock, hides the
    // glance and drops the subscriptions, in that order. A second call does nothing.
    void stop() override;
    // (Re)wires the key tap, the window monitor and the Dock monitor for the permissions now.
    void startMonitors();

    // The panel's application menu.
    void performAppAction(ApplicationAction action, qint32 processIdentifier);

    // ShellCoordinating. The menu glance: opens it, or closes it when it is up.
    void showWindows(qint32 processIdentifier) override;
    void showWindowSearch() override;

    // The Command-Tab cycle.
    void commandTabStep(bool backward);
    void commandReleased();
    // Escape closed the strip while Command is still held: the cycle and its glance end.
    void switcherDismissed();
    void commandKeyDown();
    void openWindowSearchFromCommandTab();
    void dockHoverChanged(const DockHoverMonitor::Target& target);
    void dockHoverEnded();
    // Ends the glance whatever its source: tasks, panel, menu monitors, preview session, cycle.
    void hideGlance();
    void recordActivation(std::optional<qint32> processIdentifier);

    // The glance decision: every path that may put a glance on screen ends here.
    void showGlance(qint32 processIdentifier, GlanceSource source,
                    std::optional<ScreenPoint> anchor, std::optional<quint32> displayID,
                    std::optional<ScreenRect> switcherFrame, bool refresh);

    // Window inventory and activity.
    void refreshVisibleGlance();
    void windowActivity(qint32 processIdentifier, bool titleChanged);
    void warmApplications(QList<qint32> processIdentifiers);

    // What the activity debounce and the title throttle still hold, for the tests of their
    // bounds: entries for processes long gone must not pile up, and nothing else shows whether
    // they do.
    int activityTaskCount() const { return static_cast<int>(activityTasks_.size()); }
    int titleActivityCount() const { return static_cast<int>(lastTitleActivity_.size()); }

  private:
    // Made on first use.
    SwitcherPanelControlling& switcherPanel();
    WindowSearchControlling& windowSearch();
    DockHoverMonitor& dockHoverMonitor();
    bool permissionsReady() const;
    qint32 ownProcessIdentifier() const;

    // Wiring.
    void startMonitors(bool ready);
    void subscribe();
    void permissionsChanged(bool ready);
    void scheduleDockActionRefresh(bool closed);
    void selectWindow(const WindowDescriptor& window);
    void actOnWindow(WindowAction action, const WindowDescriptor& window);
    QCoro::Task<void> afterPermissionsChanged(CancellationToken token);
    QCoro::Task<void> dockActionRefresh(CancellationToken token, double delay);

    // Answers to a close sent from the glance. A window the application puts on screen in
    // answer (a "Save changes?" prompt) ends the glance, so that no panel covers it; no answer
    // within the wait marks the windows unanswered and says so.
    QSet<quint32> shownWindowsOf(qint32 processIdentifier) const;
    void awaitCloseAnswer(CloseAnswer::Request request);
    QCoro::Task<void> watchCloseAnswer(CancellationToken token);
    CloseAnswer::Outcome followCloseAnswer();
    void closeWentUnanswered();

    // The cycle.
    void refreshAndShowGlance(qint32 processIdentifier, GlanceSource source);
    void startSwitcherTracking();
    void startKeystrokeFreeWatch();
    // Command let go while secure keyboard entry hid it from the tap.
    void commandReleasedUnseen();
    void warmUpForCommandTab();
    void startPreviewSession();
    // Refreshes the window list, then asks the glance decision again for the glance then up.
    // With an expected glance, only when the glance still has that source (and, from the
    // Dock, that application).
    QCoro::Task<void> refreshThenShow(CancellationToken token,
                                      std::optional<qint32> expectedProcessIdentifier,
                                      std::optional<GlanceSource> expectedSource);
    QCoro::Task<void> trackSwitcher(CancellationToken token);
    QCoro::Task<void> watchWithoutKeystrokes(CancellationToken token);
    QCoro::Task<void> warmWindows(CancellationToken token, QList<WindowDescriptor> windows,
                                  double maxAge);
    QList<qint32> currentApplicationOrder() const;
    bool isCommandHeld() const;
    // Whether a screen-space point lies over the panel (or close to it): the Dock monitor's
    // test of the pointer.
    bool panelContainsPoint(ScreenPoint point);

    // Screens and displays.
    ScreenPoint mouseLocation() const;
    std::optional<quint32> displayUnderPointer() const;
    std::optional<ScreenRect> convertSwitcherFrame(const GlobalRect& frame, quint32 display) const;
    std::optional<ScreenRect> visibleFrameForDisplay(std::optional<quint32> display) const;
    std::optional<GlobalRect> glanceDisplayBounds(std::optional<ScreenPoint> anchor,
                                                  std::optional<quint32> display) const;

    // The glance.
    bool isExcludedApplication(qint32 processIdentifier) const;
    QCoro::Task<void> loadGlancePreviews(CancellationToken token, QList<WindowDescriptor> windows);
    QCoro::Task<void> preloadNeighbours(CancellationToken token, QList<WindowDescriptor> windows);
    // Claims the glance for a refused application and takes the panel down.
    void refuseGlance(qint32 processIdentifier, GlanceSource source);
    void hidePanel();
    void preloadNeighboursOnce(const GlanceRules::WindowPolicy& policy,
                               const std::optional<GlobalRect>& bounds);

    // The menu glance.
    void installMenuPanelMonitors();
    void menuPanelClicked();
    void menuPanelEscape();

    // Inventory.
    QCoro::Task<void> activityRefresh(CancellationToken token, qint32 processIdentifier);
    QCoro::Task<void> warmAfterActivation(CancellationToken token,
                                          QList<qint32> processIdentifiers);
    QCoro::Task<void> handleWorkspaceNotification(CancellationToken token, WorkspaceNotice notice);
    QCoro::Task<void> preloadIfReady(CancellationToken token);
    // Refreshes the window list for a workspace notice: joins a refresh that has not begun,
    // else one that begins after the one under way.
    QCoro::Task<void> refreshForNotice();
    QCoro::Task<void> runWorkspaceRefresh(CancellationToken token);

    AppModel& model_;
    Desktop& desktop_;
    Scheduler& scheduler_;
    EventRecording& events_;
    Panels panels_;

    std::unique_ptr<SwitcherPanelControlling> switcherPanel_;
    ScopedWork panelPreparation_;
    std::unique_ptr<WindowSearchControlling> windowSearch_;
    GlobalShortcutMonitor shortcuts_;
    TaskHandle previewTask_;
    TaskHandle switcherWarmupTask_;
    NativeApplicationSwitcherState nativeSwitcherState_;
    QList<qint32> activationHistory_;
    NativeSwitcherProbe nativeSwitcherProbe_;
    std::unique_ptr<DockHoverMonitor> dockHoverMonitor_;
    WindowLifecycleMonitor windowLifecycleMonitor_;
    TaskHandle nativeSwitcherProbeTask_;
    TaskHandle keystrokeFreeWatch_;
    SecureInputWatch secureInput_;
    TaskHandle inventoryRefreshTask_;
    TaskHandle dockActionRefreshTask_;
    std::optional<CloseAnswer::Request> closeRequest_;
    TaskHandle closeAnswerTask_;
    std::optional<qint32> glanceProcessIdentifier_;
    std::optional<quint32> glanceDisplayIdentifier_;
    std::optional<ScreenRect> nativeSwitcherFrame_;
    std::optional<GlanceSource> glanceSource_;
    std::optional<DockHoverMonitor::Target> dockHoverTarget_;
    TaskHandle warmTask_;
    std::map<qint32, TaskHandle> activityTasks_;
    std::map<qint32, ContinuousInstant> lastTitleActivity_;
    std::vector<Subscription> menuPanelMonitors_;
    bool loggedOwnApplicationGlance_ = false;
    bool inventoryDirty_ = false;
    SubscriptionBag cancellables_;

    // The workspace refresh under way, and the one waiting to begin after it.
    TaskHandle workspaceRefresh_;
    TaskHandle nextWorkspaceRefresh_;
    bool stopped_ = false;
};

}  // namespace pellucine
