#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include "settings/OnboardingView.h"

namespace pellucine {

// The top-level welcome window around an OnboardingView. It is kept when closed (Esc or the
// close button) and shown again by the next `present`; only the view's last step finishes it:
// the window closes, then `onDone` runs, which may release the window with deleteLater (never
// delete it directly, it is still on the stack).
class WelcomeWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize presentedSize{OnboardingView::minimumWidth,
                                         OnboardingView::minimumHeight};
    static inline const QString openedSource = QStringLiteral("onboarding-opened");

    WelcomeWindow(PermissionService& permissions, Scheduler& scheduler,
                  OnboardingView::Step initialStep, const QStringList& searchKeys,
                  OnboardingView::Actions actions,
                  std::optional<SwitcherBinding> switcherKeys = SwitcherBinding{},
                  QWidget* parent = nullptr);

    static QString title();

    OnboardingView* view() const { return view_; }

    // Refreshes the permission states, switches to `step`, and brings the window forward at
    // its presented size, centred on its screen.
    void present(OnboardingView::Step step);

  private:
    void finish();

    PermissionService& permissions_;
    std::function<void()> onDone_;
    OnboardingView* view_;
};

}  // namespace pellucine
