#include "coordination/CloseAnswer.h"

namespace pellucine {

QSet<quint32> CloseAnswer::shownWindows(qint32 processIdentifier,
                                        const QList<WindowListEntry>& entries) {
    QSet<quint32> shown;
    for (const WindowListEntry& entry : entries) {
        if (entry.number && entry.ownerPID == processIdentifier && entry.isOnScreen == true) {
            shown.insert(static_cast<quint32>(*entry.number));
        }
    }
    return shown;
}

CloseAnswer::Outcome CloseAnswer::judge(const Request& request,
                                        const QList<WindowListEntry>& entries) {
    if (!(shownWindows(request.processIdentifier, entries) - request.shownBefore).isEmpty()) {
        return Outcome::prompted;
    }
    for (const WindowListEntry& entry : entries) {
        if (entry.number && request.closing.contains(static_cast<quint32>(*entry.number))) {
            return Outcome::waiting;
        }
    }
    return Outcome::closed;
}

}  // namespace pellucine
