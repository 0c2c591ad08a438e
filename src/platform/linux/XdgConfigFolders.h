#pragma once

#include <QStringList>

namespace pellucine {

// The system's configuration folders, most important first: $XDG_CONFIG_DIRS, or /etc/xdg when
// it is unset or empty.
QStringList xdgSystemConfigFolders();

}  // namespace pellucine
