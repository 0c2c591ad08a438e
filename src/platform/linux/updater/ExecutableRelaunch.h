#pragma once

#include <QString>

namespace pellucine {

// Starts `executable` from a detached helper once the process `waitFor` has ended, so that the
// new instance never meets the old one still running. False when the helper could not start.
bool relaunchAfterExit(const QString& executable, qint64 waitFor);

}  // namespace pellucine
