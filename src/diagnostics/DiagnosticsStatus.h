#pragma once

#include <QString>

#include "core/Permission.h"

namespace pellucine {

// What the diagnostics window's status strip says.
namespace DiagnosticsStatus {

// Rows of the event log the window shows at most.
inline constexpr int shownLimit = 150;

// "Granted", "Not granted", "Not checked" or "Turn on, then relaunch".
QString permissionText(PermissionState state);
// Every state but granted offers the way to fix it.
bool offersFix(PermissionState state);
// The count below the limit, "Newest 150" at it.
QString shownBelowText(qsizetype count);

}  // namespace DiagnosticsStatus
}  // namespace pellucine
