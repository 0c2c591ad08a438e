#pragma once

#include <QString>
#include <optional>

#include "platform/AppcastItem.h"
#include "preferences/UpdateChannel.h"

namespace pellucine {

// The release to offer: of the releases this system can run, on the default channel (or also
// on "beta" for the beta channel) and strictly newer than `runningBuild`, the newest; the
// earliest listed among equals. None when no release qualifies.
std::optional<AppcastItem> bestValidUpdate(const Appcast& appcast, UpdateChannel channel,
                                           const QString& runningBuild);

}  // namespace pellucine
