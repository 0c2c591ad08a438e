#include "core/Permission.h"

namespace pellucine {

QString rawValue(PermissionKind kind) {
    switch (kind) {
        case PermissionKind::accessibility:
            return QStringLiteral("accessibility");
        case PermissionKind::screenRecording:
            return QStringLiteral("screenRecording");
    }
    return {};
}

QString rawValue(PermissionState state) {
    switch (state) {
        case PermissionState::granted:
            return QStringLiteral("granted");
        case PermissionState::denied:
            return QStringLiteral("denied");
        case PermissionState::notDetermined:
            return QStringLiteral("notDetermined");
        case PermissionState::restartRequired:
            return QStringLiteral("restartRequired");
    }
    return {};
}

std::optional<PermissionKind> permissionKindFromRawValue(QStringView raw) {
    for (PermissionKind k : allPermissionKinds) {
        if (rawValue(k) == raw) {
            return k;
        }
    }
    return std::nullopt;
}

std::optional<PermissionState> permissionStateFromRawValue(QStringView raw) {
    for (PermissionState s : {PermissionState::granted, PermissionState::denied,
                              PermissionState::notDetermined, PermissionState::restartRequired}) {
        if (rawValue(s) == raw) {
            return s;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
