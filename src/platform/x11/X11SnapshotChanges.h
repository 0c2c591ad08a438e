#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QSet>
#include <optional>

namespace pellucine {

// What has changed since the desktop was last read, as the server's change events tell it: the
// root's properties, some clients, or anything at all. A change of the root alone or of some
// clients lets the next read keep every other client as it was read.
class X11SnapshotChanges {
  public:
    // What one change event bears on: a property change on the root is the root's; one on
    // another window, and a change of a client's own structure (configure, map, unmap,
    // destroy, reparent, gravity, circulate), is that window's, as is an error that names a
    // window or drawable that is not there; any other event may change anything.
    static X11SnapshotChanges of(const xcb_generic_event_t& event, xcb_window_t root);
    // For a notice of a window's structure, the window whose structure it was selected on (the
    // window itself, or its parent); none for any other event.
    static std::optional<xcb_window_t> structureNoticeSelectedOn(const xcb_generic_event_t& event);

    void add(const X11SnapshotChanges& other);
    void addWindows(const QList<xcb_window_t>& windows);
    void clear() { *this = {}; }

    bool isEmpty() const { return !everything_ && !root_ && windows_.isEmpty(); }
    bool everything() const { return everything_; }
    bool root() const { return root_; }
    const QSet<xcb_window_t>& windows() const { return windows_; }

  private:
    bool everything_ = false;
    bool root_ = false;
    QSet<xcb_window_t> windows_;
};

}  // namespace pellucine
