#pragma once

#include <QProcessEnvironment>
#include <optional>

#include "core/Permission.h"
#include "design/ColorScheme.h"
#include "platform/RunningApplication.h"

namespace pellucine {

class Workspace;

inline const QString appearanceVariable = QStringLiteral("PELLUCINE_APPEARANCE");

// The scheme `PELLUCINE_APPEARANCE` forces: exactly "light" or "dark"; none for anything else.
std::optional<ColorScheme> appearanceOverride(const QProcessEnvironment& environment);

inline const QString memoryPressureVariable = QStringLiteral("PELLUCINE_MEMORY_PRESSURE");

// The pressure-stall file `PELLUCINE_MEMORY_PRESSURE` names instead of the kernel's own (a
// container's cgroup file, or a calm stand-in for tests on a busy machine): an absolute path;
// none for anything else.
std::optional<QString> memoryPressureFileOverride(const QProcessEnvironment& environment);

// The window the user sees first after launch.
enum class FirstWindow { welcome, permissions, settings, none };

// The welcome window until the welcome flow was completed; then its permissions step while a
// permission is missing; otherwise the settings window when the status item cannot be reached
// (hidden, or no tray on this desktop), since nothing else would show the program is running.
FirstWindow firstWindowAtLaunch(bool onboardingCompleted, PermissionState accessibility,
                                PermissionState screenRecording, bool statusItemReachable);

// Another process's regular application that has not ended: one the status menu may act on.
bool isExternalApplication(const RunningApplication& application, qint32 ownProcessIdentifier);

// Still running and not ended.
bool isRunning(const Workspace& workspace, qint32 processIdentifier);

}  // namespace pellucine
