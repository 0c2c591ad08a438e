#include "panels/WindowSearchCandidates.h"

namespace pellucine::WindowSearchCandidates {

WindowSearch::Location location(const WindowDescriptor& window, bool applicationHidden) {
    using Location = WindowSearch::Location;
    if (window.isMinimized) {
        return Location::minimized;
    }
    if (applicationHidden) {
        return Location::hidden;
    }
    if (window.isFullScreen) {
        return Location::fullScreen;
    }
    if (window.isOnScreen) {
        return Location::onScreen;
    }
    return Location::otherSpace;
}

QList<WindowSearch::Candidate> collect(const QList<ApplicationDescriptor>& applications,
                                       qint32 ownProcessIdentifier,
                                       const QList<qint32>& recentProcessIdentifiers) {
    QList<WindowSearch::Candidate> candidates;
    for (const ApplicationDescriptor& application : applications) {
        if (application.processIdentifier == ownProcessIdentifier) {
            continue;
        }
        const qsizetype place = recentProcessIdentifiers.indexOf(application.processIdentifier);
        const qint64 recency = place >= 0 ? place : recentProcessIdentifiers.size();
        for (const WindowDescriptor& window : application.windows) {
            candidates.append({window, location(window, application.isHidden), recency});
        }
    }
    return candidates;
}

}  // namespace pellucine::WindowSearchCandidates
