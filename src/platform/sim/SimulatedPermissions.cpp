#include "platform/sim/SimulatedPermissions.h"

namespace pellucine {

bool SimulatedPermissions::requestScreenCapture() {
    prompts_ << QStringLiteral("screen capture");
    if (screenCaptureAnswer_) {
        screenCapture_ = *screenCaptureAnswer_;
    }
    return isScreenCaptureAllowed();
}

bool SimulatedPermissions::requestAccessibility() {
    prompts_ << QStringLiteral("accessibility");
    if (accessibilityAnswer_) {
        accessibility_ = *accessibilityAnswer_;
    }
    return isAccessibilityTrusted();
}

}  // namespace pellucine
