#pragma once

#include <QObject>
#include <memory>

#include "app/WindowListing.h"
#include "platform/RunningApplication.h"

class QWindow;

namespace pellucine {

// The program's activation policy, carried out on its own top-level windows as they are shown
// and whenever it changes: regular windows are listed in the taskbar and pager, accessory ones
// are not, and under the prohibited policy no window stays shown. Popups and tooltips are left
// alone. Needs the GUI application; main thread.
class ProgramActivationPolicy final : public QObject {
    Q_OBJECT

  public:
    // `listing` may be null where the desktop has no taskbar to stay out of.
    ProgramActivationPolicy(ActivationPolicy policy, std::unique_ptr<WindowListing> listing,
                            QObject* parent = nullptr);
    ~ProgramActivationPolicy() override;

    ActivationPolicy policy() const { return policy_; }
    // Applies the policy to every shown window; nothing when it is the current one.
    void setPolicy(ActivationPolicy policy);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static bool isProgramWindow(const QWindow& window);
    void apply(QWindow& window, bool mapped);

    ActivationPolicy policy_;
    std::unique_ptr<WindowListing> listing_;
};

}  // namespace pellucine
