#pragma once

#include <QString>
#include <optional>

#include "core/Permission.h"

namespace pellucine {

// The one permission or hotkey problem the status menu offers to fix.
struct FlaggedProblem {
    enum class Case {
        hotkeyConflict,
        accessibilityOff,
        screenRecordingOff,
        relaunchForScreenRecording
    };

    Case problemCase = Case::accessibilityOff;
    // What already uses the window-search hotkey; only for a conflict.
    QString owner;

    // The flag row's title.
    QString title() const;

    friend bool operator==(const FlaggedProblem&, const FlaggedProblem&) = default;
};

// The first problem that applies, in this order: Accessibility not granted, Screen Recording
// waiting for a relaunch, Screen Recording not granted, a window-search hotkey problem while
// window search is on. None when nothing applies.
std::optional<FlaggedProblem> currentFlaggedProblem(PermissionState accessibility,
                                                    PermissionState screenRecording,
                                                    bool windowSearchEnabled,
                                                    const std::optional<QString>& hotkeyProblem);

}  // namespace pellucine
