#include "diagnostics/DiagnosticsStatus.h"

namespace pellucine::DiagnosticsStatus {

QString permissionText(PermissionState state) {
    switch (state) {
        case PermissionState::granted:
            return QStringLiteral("Granted");
        case PermissionState::denied:
            return QStringLiteral("Not granted");
        case PermissionState::notDetermined:
            return QStringLiteral("Not checked");
        case PermissionState::restartRequired:
            return QStringLiteral("Turn on, then relaunch");
    }
    return {};
}

bool offersFix(PermissionState state) {
    return state != PermissionState::granted;
}

QString shownBelowText(qsizetype count) {
    return count < shownLimit ? QString::number(count)
                              : QStringLiteral("Newest %1").arg(shownLimit);
}

}  // namespace pellucine::DiagnosticsStatus
