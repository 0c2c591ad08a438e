#pragma once

#include <QList>
#include <QtGlobal>
#include <optional>

namespace pellucine {

// One Command-Tab cycle as the coordinator sees it. No selected index means no cycle.
struct NativeApplicationSwitcherState {
    // Process identifiers in switcher order.
    QList<qint32> applicationOrder;
    std::optional<int> selectedIndex;

    // Moves the index one step with wrap-around; an absent or out-of-range index, or an empty
    // order, changes nothing.
    void step(bool backward);

    // The neighbours at +1, −1, +2, −2 and so on, each once, never the selected application, at
    // most min(limit, n − 1) of them.
    QList<qint32> neighbourProcessIdentifiers(int limit) const;

    // The frontmost application (when it runs), then the history, then the rest of the running
    // list, without repeats.
    static QList<qint32> makeApplicationOrder(const QList<qint32>& running,
                                              std::optional<qint32> frontmost,
                                              const QList<qint32>& history);

    friend bool operator==(const NativeApplicationSwitcherState&,
                           const NativeApplicationSwitcherState&) = default;
};

}  // namespace pellucine
