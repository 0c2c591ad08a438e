#include "core/NativeApplicationSwitcherState.h"

#include <algorithm>

namespace pellucine {

namespace {

bool indexIsValid(std::optional<int> index, qsizetype n) {
    return index && *index >= 0 && *index < n;
}

}  // namespace

void NativeApplicationSwitcherState::step(bool backward) {
    const auto n = static_cast<int>(applicationOrder.size());
    if (!indexIsValid(selectedIndex, n)) {
        return;
    }
    const int i = *selectedIndex;
    selectedIndex = backward ? (i - 1 + n) % n : (i + 1) % n;
}

QList<qint32> NativeApplicationSwitcherState::neighbourProcessIdentifiers(int limit) const {
    const auto n = static_cast<int>(applicationOrder.size());
    if (limit < 1 || !indexIsValid(selectedIndex, n) || n < 2) {
        return {};
    }
    const int s = *selectedIndex;
    const qint32 selected = applicationOrder[s];
    const int target = std::min(limit, n - 1);
    QList<qint32> result;
    const auto take = [&](int position) {
        const qint32 pid = applicationOrder[position];
        if (pid != selected && !result.contains(pid)) {
            result.append(pid);
        }
    };
    // Every other position is reached by d < n, so the loop ends even when a duplicate in the
    // order keeps the result short of its target.
    for (int d = 1; d < n; ++d) {
        if (result.size() >= target) {
            break;
        }
        take((s + d) % n);
        if (result.size() >= target) {
            break;
        }
        take((s - d + n) % n);
    }
    return result;
}

QList<qint32> NativeApplicationSwitcherState::makeApplicationOrder(const QList<qint32>& running,
                                                                   std::optional<qint32> frontmost,
                                                                   const QList<qint32>& history) {
    QList<qint32> order;
    if (frontmost && running.contains(*frontmost)) {
        order.append(*frontmost);
    }
    for (qint32 pid : history) {
        if (running.contains(pid) && !order.contains(pid)) {
            order.append(pid);
        }
    }
    for (qint32 pid : running) {
        if (!order.contains(pid)) {
            order.append(pid);
        }
    }
    return order;
}

}  // namespace pellucine
