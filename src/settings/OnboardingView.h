#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "base/Scheduler.h"
#include "base/SubscriptionBag.h"
#include "core/Permission.h"
#include "platform/SwitcherBinding.h"
#include "platform/SystemDock.h"

namespace pellucine {

class DraggablePermissionTile;
class FadingScrollView;
class FeatureCard;
class PermissionRow;
class PermissionService;
class StepTab;
class YardButton;
class YardText;

// The welcome window's content: three steps that introduce the program and walk the user
// through the two permissions. It reads the permission states, refreshing them every second
// while it is on screen, and never asks for a permission itself (its rows do). Finishing and
// opening Settings are left to the actions it is given. Main thread.
class OnboardingView : public QWidget {
    Q_OBJECT

  public:
    enum class Step { introduction = 0, permissions = 1, dock = 2 };
    static constexpr int stepCount = 3;

    struct Actions {
        // Opens the settings window; the welcome window stays.
        std::function<void()> openSettings;
        // Finishes the welcome flow.
        std::function<void()> onDone;
    };

    static constexpr int minimumWidth = 720;
    static constexpr int minimumHeight = 650;
    static constexpr double pollSeconds = 1.0;
    static inline const QString pollSource = QStringLiteral("onboarding-poll");

    // Opens at `initialStep`; `searchKeys` are the key-cap labels of the window-search hotkey,
    // `switcherKeys` those the switcher strip opens on. The poll runs on `scheduler`.
    OnboardingView(PermissionService& permissions, Scheduler& scheduler, Step initialStep,
                   const QStringList& searchKeys, Actions actions,
                   std::optional<SwitcherBinding> switcherKeys = SwitcherBinding{},
                   QWidget* parent = nullptr);
    ~OnboardingView() override;

    Step step() const { return step_; }
    bool isPolling() const { return poll_.isSet(); }

    static const std::array<QString, stepCount>& stepTitles();
    // The body of the window-search row: each label as a key cap, then {F} on the strip of
    // `switcherKeys`; the tray menu's row when neither is there.
    static QString searchRowTemplate(
        const QStringList& searchKeys,
        const std::optional<SwitcherBinding>& switcherKeys = SwitcherBinding{});
    static QString screenRecordingDescription(PermissionState state);

    StepTab* tab(Step step) const { return tabs_[static_cast<int>(step)]; }
    QWidget* page(Step step) const { return pages_[static_cast<int>(step)]; }
    YardButton* backButton() const { return back_; }
    YardButton* forwardButton() const { return forward_; }
    PermissionRow* accessibilityRow() const { return accessibilityRow_; }
    PermissionRow* screenRecordingRow() const { return screenRecordingRow_; }
    DraggablePermissionTile* dragTile() const { return dragTile_; }
    QWidget* permissionNotice() const { return notice_; }
    FeatureCard* searchRow() const { return searchRow_; }
    YardText* dockHeading() const { return dockHeading_; }

    // Names the Dock the previews sit on in the Dock step's texts (`DockWording`); the desktop's
    // own Dock until told.
    void setDock(SystemDock::Kind kind);

  public slots:
    // Shows `step`; everything else stays as it is.
    void jumpTo(pellucine::OnboardingView::Step step);
    void goBack();
    // Shows the next step; on the last one, finishes the flow.
    void goForward();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* masthead();
    QWidget* introductionPage();
    QWidget* permissionsPage();
    QWidget* dockPage(const QStringList& searchKeys);
    QWidget* closingLine();
    QWidget* buildNotice();
    FeatureCard* featureTile(const QString& symbol, const QString& title, const QString& text);
    FeatureCard* featureRow(const QString& symbol, const QString& title, const QString& text);
    PermissionRow* permissionRow(PermissionKind kind, const QString& title,
                                 std::function<QString(PermissionState)> describe);

    void showStep();
    void refreshPermissionViews();
    void schedulePoll();

    PermissionService& permissions_;
    Scheduler& scheduler_;
    Actions actions_;
    std::optional<SwitcherBinding> switcherKeys_;
    Step step_;
    std::array<StepTab*, stepCount> tabs_{};
    std::array<QWidget*, stepCount> pages_{};
    FadingScrollView* scroll_ = nullptr;
    YardButton* back_ = nullptr;
    YardButton* forward_ = nullptr;
    PermissionRow* accessibilityRow_ = nullptr;
    PermissionRow* screenRecordingRow_ = nullptr;
    DraggablePermissionTile* dragTile_ = nullptr;
    QWidget* notice_ = nullptr;
    FeatureCard* searchRow_ = nullptr;
    YardText* dockHeading_ = nullptr;
    YardText* dockIntroduction_ = nullptr;
    FeatureCard* hoverRow_ = nullptr;
    ScopedWork poll_;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
