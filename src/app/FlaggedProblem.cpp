#include "app/FlaggedProblem.h"

namespace pellucine {

QString FlaggedProblem::title() const {
    switch (problemCase) {
        case Case::hotkeyConflict:
            return QStringLiteral("Search Hotkey Belongs to %1: Change It…").arg(owner);
        case Case::accessibilityOff:
            return QStringLiteral("Accessibility Is Off: Turn It On…");
        case Case::screenRecordingOff:
            return QStringLiteral("Screen Recording Is Off: Turn It On…");
        case Case::relaunchForScreenRecording:
            return QStringLiteral("Relaunch to Finish Screen Recording…");
    }
    return {};
}

std::optional<FlaggedProblem> currentFlaggedProblem(PermissionState accessibility,
                                                    PermissionState screenRecording,
                                                    bool windowSearchEnabled,
                                                    const std::optional<QString>& hotkeyProblem) {
    using Case = FlaggedProblem::Case;
    if (accessibility != PermissionState::granted) {
        return FlaggedProblem{Case::accessibilityOff, {}};
    }
    if (screenRecording == PermissionState::restartRequired) {
        return FlaggedProblem{Case::relaunchForScreenRecording, {}};
    }
    if (screenRecording != PermissionState::granted) {
        return FlaggedProblem{Case::screenRecordingOff, {}};
    }
    if (windowSearchEnabled && hotkeyProblem) {
        return FlaggedProblem{Case::hotkeyConflict, *hotkeyProblem};
    }
    return std::nullopt;
}

}  // namespace pellucine
