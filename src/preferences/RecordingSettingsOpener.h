#pragma once

#include <QStringList>
#include <optional>

#include "preferences/SettingsOpening.h"

namespace pellucine {

// A settings opener for tests: keeps the pending page as the model would and counts the times
// the window would have been shown while the delegate exists.
class RecordingSettingsOpener final : public SettingsOpening {
  public:
    void openSettings(const QString& pane) override {
        requestedPanes_.append(pane);
        pendingSettingsBay_ = pane;
        if (delegateAlive_) {
            ++windowShowCount_;
        }
    }

    // The delegate goes away (or comes back); the model stays.
    void setDelegateAlive(bool alive) { delegateAlive_ = alive; }

    const QStringList& requestedPanes() const { return requestedPanes_; }
    const std::optional<QString>& pendingSettingsBay() const { return pendingSettingsBay_; }
    int windowShowCount() const { return windowShowCount_; }

  private:
    QStringList requestedPanes_;
    std::optional<QString> pendingSettingsBay_;
    bool delegateAlive_ = true;
    int windowShowCount_ = 0;
};

}  // namespace pellucine
