#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <optional>

#include "core/ApplicationDescriptor.h"

namespace pellucine {

// When each window was last seen focused. A listing's focused window is the front window (the
// first on screen and not minimized) of its active application; it is stamped when it becomes
// the focused one and keeps that stamp while it stays so. Windows never seen focused have no
// date (a date the listing brings is kept); windows no longer listed are forgotten.
class FocusStamps {
  public:
    // Fills `lastFocusedAt` of every window of the listing.
    void apply(QList<ApplicationDescriptor>& applications, const QDateTime& now);

  private:
    QHash<quint32, QDateTime> stamps_;
    std::optional<quint32> focused_;
};

}  // namespace pellucine
