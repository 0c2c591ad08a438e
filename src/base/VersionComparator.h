#pragma once

#include <QStringView>
#include <compare>

namespace pellucine {

// Orders version strings the way release feeds number builds: "1.9" < "1.10", "1.0" == "1.0.0",
// "1.0b1" < "1.0" < "1.0.1", letters compared case-sensitively, and anything from the first
// dash after the start ignored ("1.0-beta" == "1.0"). Letters after a release mark one before it,
// after a period too ("1.0.b1" == "1.0b1"). Each version maps to one key compared with no regard to
// the other version, so the order is total: transitive, and equal only for equal keys, whatever
// the input. `less` means `a` is the older version.
std::weak_ordering compareVersions(QStringView a, QStringView b);

}  // namespace pellucine
