#pragma once

#include <QList>
#include <QSet>

#include "platform/WindowListEntry.h"

namespace pellucine {

struct WindowListOptions {
    // Leave out windows that are not on screen (minimized, hidden, on another desktop).
    bool onScreenOnly = false;
    // Leave out the desktop's own background and icon windows.
    bool excludeDesktopElements = false;
};

// The system's list of windows of every process, front to back. Main thread only.
class SystemWindowList {
  public:
    virtual ~SystemWindowList() = default;
    virtual QList<WindowListEntry> windows(const WindowListOptions& options) const = 0;
    // The number of every window the system still has, read without the windows' details.
    // By default the numbers of every entry of windows() that has one.
    virtual QSet<quint32> liveWindowNumbers() const { return windowNumbers(windows({})); }

    // The numbers of the entries that have one, as unsigned 32-bit values; repeats collapse.
    static QSet<quint32> windowNumbers(const QList<WindowListEntry>& entries) {
        QSet<quint32> numbers;
        numbers.reserve(entries.size());
        for (const WindowListEntry& entry : entries) {
            if (entry.number) {
                numbers.insert(static_cast<quint32>(*entry.number));
            }
        }
        return numbers;
    }
};

}  // namespace pellucine
