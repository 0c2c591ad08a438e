#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace pellucine {

enum class PermissionKind { accessibility, screenRecording };
enum class PermissionState { granted, denied, notDetermined, restartRequired };

inline constexpr std::array<PermissionKind, 2> allPermissionKinds{PermissionKind::accessibility,
                                                                  PermissionKind::screenRecording};

// The stored and logged forms.
QString rawValue(PermissionKind kind);
QString rawValue(PermissionState state);
std::optional<PermissionKind> permissionKindFromRawValue(QStringView raw);
std::optional<PermissionState> permissionStateFromRawValue(QStringView raw);

}  // namespace pellucine
