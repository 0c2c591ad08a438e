#pragma once

#include <QStringView>

// The system's Dock and its Command-Tab strip as accessibility clients see them: an application
// with this identifier whose element tree holds the Dock items and, while the strip is up, the
// strip's list of applications.
namespace pellucine::systemDock {

inline constexpr QStringView bundleIdentifier = u"com.apple.dock";
// The "AXDescription" of the strip's list element.
inline constexpr QStringView processSwitcherListDescription = u"process switcher list";

}  // namespace pellucine::systemDock
