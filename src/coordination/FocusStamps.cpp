#include "coordination/FocusStamps.h"

namespace pellucine {

namespace {

std::optional<quint32> focusedWindow(const QList<ApplicationDescriptor>& applications) {
    for (const ApplicationDescriptor& application : applications) {
        if (!application.isActive) {
            continue;
        }
        for (const WindowDescriptor& window : application.windows) {
            if (window.isOnScreen && !window.isMinimized) {
                return window.id;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

void FocusStamps::apply(QList<ApplicationDescriptor>& applications, const QDateTime& now) {
    const std::optional<quint32> focused = focusedWindow(applications);
    if (focused && (focused != focused_ || !stamps_.contains(*focused))) {
        stamps_.insert(*focused, now);
    }
    focused_ = focused;

    QHash<quint32, QDateTime> listed;
    for (ApplicationDescriptor& application : applications) {
        for (WindowDescriptor& window : application.windows) {
            const auto stamp = stamps_.constFind(window.id);
            if (stamp == stamps_.constEnd()) {
                continue;
            }
            window.lastFocusedAt = *stamp;
            listed.insert(window.id, *stamp);
        }
    }
    stamps_ = std::move(listed);
}

}  // namespace pellucine
