#include "platform/x11/X11FocusHistory.h"

#include <algorithm>

namespace pellucine {

void X11FocusHistory::seed(const QList<xcb_window_t>& frontToBack, xcb_window_t active) {
    windows_.clear();
    if (active != XCB_NONE) {
        windows_.append(active);
    }
    for (const xcb_window_t window : frontToBack) {
        if (window != active) {
            windows_.append(window);
        }
    }
}

void X11FocusHistory::focused(xcb_window_t window) {
    if (window == XCB_NONE) {
        return;
    }
    windows_.removeAll(window);
    windows_.prepend(window);
}

void X11FocusHistory::forget(xcb_window_t window) {
    windows_.removeAll(window);
}

qsizetype X11FocusHistory::rank(xcb_window_t window) const {
    const qsizetype index = windows_.indexOf(window);
    return index < 0 ? windows_.size() : index;
}

QList<qint32> X11FocusHistory::order(const QList<Application>& applications) const {
    QList<std::pair<qsizetype, qint32>> ranked;
    for (const Application& app : applications) {
        qsizetype best = windows_.size();
        for (const xcb_window_t window : app.windows) {
            best = std::min(best, rank(window));
        }
        ranked.append({best, app.pid});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<qint32> pids;
    for (const auto& [rank, pid] : ranked) {
        pids.append(pid);
    }
    return pids;
}

std::optional<xcb_window_t> X11FocusHistory::mostRecent(
    const QList<xcb_window_t>& candidates) const {
    if (candidates.isEmpty()) {
        return std::nullopt;
    }
    return *std::min_element(candidates.begin(), candidates.end(),
                             [this](xcb_window_t a, xcb_window_t b) { return rank(a) < rank(b); });
}

}  // namespace pellucine
