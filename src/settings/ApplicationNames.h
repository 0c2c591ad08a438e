#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace pellucine {

// The name of the installed application with an identifier, or none when none is installed.
using ApplicationNameLookup = std::function<std::optional<QString>(const QString& identifier)>;

namespace ApplicationNames {

// Looks identifiers up among the desktop entries of the applications folders (the standard
// ones when none are given), read once, on the first lookup.
ApplicationNameLookup fromDesktopEntries(QStringList folders = {});

}  // namespace ApplicationNames
}  // namespace pellucine
