#pragma once

#include <QList>

#include "core/ApplicationDescriptor.h"
#include "panels/WindowSearch.h"

namespace pellucine {

namespace WindowSearchCandidates {

// Where a window is for search, first rule that holds: minimized, its application hidden, full
// screen, on screen, else on another Space.
WindowSearch::Location location(const WindowDescriptor& window, bool applicationHidden);

// Every window of every application but the program's own, in order. An application's recency is
// the first place of its process identifier in the recent list (most recent first), or the
// list's length when it is not there.
QList<WindowSearch::Candidate> collect(const QList<ApplicationDescriptor>& applications,
                                       qint32 ownProcessIdentifier,
                                       const QList<qint32>& recentProcessIdentifiers);

}  // namespace WindowSearchCandidates

}  // namespace pellucine
