#include "app/LaunchChoices.h"

#include <QDir>

#include "platform/Workspace.h"

namespace pellucine {

std::optional<ColorScheme> appearanceOverride(const QProcessEnvironment& environment) {
    const QString value = environment.value(appearanceVariable);
    if (value == QLatin1String("light")) {
        return ColorScheme::light;
    }
    if (value == QLatin1String("dark")) {
        return ColorScheme::dark;
    }
    return std::nullopt;
}

std::optional<QString> memoryPressureFileOverride(const QProcessEnvironment& environment) {
    const QString value = environment.value(memoryPressureVariable);
    if (value.isEmpty() || !QDir::isAbsolutePath(value)) {
        return std::nullopt;
    }
    return value;
}

FirstWindow firstWindowAtLaunch(bool onboardingCompleted, PermissionState accessibility,
                                PermissionState screenRecording, bool statusItemReachable) {
    if (!onboardingCompleted) {
        return FirstWindow::welcome;
    }
    if (accessibility != PermissionState::granted || screenRecording != PermissionState::granted) {
        return FirstWindow::permissions;
    }
    return statusItemReachable ? FirstWindow::none : FirstWindow::settings;
}

bool isExternalApplication(const RunningApplication& application, qint32 ownProcessIdentifier) {
    return application.processIdentifier != ownProcessIdentifier &&
           application.activationPolicy == ActivationPolicy::regular && !application.isTerminated;
}

bool isRunning(const Workspace& workspace, qint32 processIdentifier) {
    const auto application = workspace.runningApplication(processIdentifier);
    return application && !application->isTerminated;
}

}  // namespace pellucine
