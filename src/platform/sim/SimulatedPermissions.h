#pragma once

#include <QStringList>
#include <optional>

#include "platform/SystemPermissions.h"

namespace pellucine {

enum class SimulatedPermission {
    granted,
    denied,
    // Granted in the system's settings after this process asked, but its checks still answer
    // no until the program is relaunched; a live capture already works.
    awaitingRelaunch,
};

// The two permission gates of the simulated desktop, switched by tests, with the user's answer
// to the next prompts scripted.
class SimulatedPermissions final : public SystemPermissions {
  public:
    bool isScreenCaptureAllowed() const override {
        return screenCapture_ == SimulatedPermission::granted;
    }
    bool requestScreenCapture() override;
    bool requestAccessibility() override;
    bool grantsCanChange() const override { return grantsCanChange_; }

    bool isAccessibilityTrusted() const { return accessibility_ == SimulatedPermission::granted; }
    // Whether taking a picture would work now, whatever the quick check says.
    bool canCaptureLive() const { return screenCapture_ != SimulatedPermission::denied; }

    // Driver.
    SimulatedPermission accessibility() const { return accessibility_; }
    SimulatedPermission screenCapture() const { return screenCapture_; }
    void setAccessibility(SimulatedPermission state) { accessibility_ = state; }
    void setScreenCapture(SimulatedPermission state) { screenCapture_ = state; }
    // What the user makes of every later prompt: the permission becomes `answer`. Without an
    // answer a prompt changes nothing.
    void setAccessibilityAnswer(std::optional<SimulatedPermission> answer) {
        accessibilityAnswer_ = answer;
    }
    void setScreenCaptureAnswer(std::optional<SimulatedPermission> answer) {
        screenCaptureAnswer_ = answer;
    }
    // A desktop whose grants stay as they are while the program runs.
    void setGrantsCanChange(bool can) { grantsCanChange_ = can; }
    // The prompts shown, in order: "accessibility", "screen capture".
    const QStringList& prompts() const { return prompts_; }

  private:
    bool grantsCanChange_ = true;
    SimulatedPermission accessibility_ = SimulatedPermission::granted;
    SimulatedPermission screenCapture_ = SimulatedPermission::granted;
    std::optional<SimulatedPermission> accessibilityAnswer_;
    std::optional<SimulatedPermission> screenCaptureAnswer_;
    QStringList prompts_;
};

}  // namespace pellucine
