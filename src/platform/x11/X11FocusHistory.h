#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <optional>

namespace pellucine {

// The client windows in the order they last had the focus, most recent first.
class X11FocusHistory {
  public:
    // One application and its windows, front to back.
    struct Application {
        qint32 pid = 0;
        QList<xcb_window_t> windows;
    };

    // Starts from the stacking order, the active window first: the best guess before any focus
    // change has been seen.
    void seed(const QList<xcb_window_t>& frontToBack, xcb_window_t active);
    void focused(xcb_window_t window);
    void forget(xcb_window_t window);
    const QList<xcb_window_t>& windows() const { return windows_; }

    // The applications by their most recently focused window; those none of whose windows were
    // ever seen follow in the order given.
    QList<qint32> order(const QList<Application>& applications) const;
    // Of `candidates`, the one focused most recently; the first when none was seen; none for an
    // empty list.
    std::optional<xcb_window_t> mostRecent(const QList<xcb_window_t>& candidates) const;

  private:
    // The place of the window in the history; the end when it is not there.
    qsizetype rank(xcb_window_t window) const;

    QList<xcb_window_t> windows_;
};

}  // namespace pellucine
