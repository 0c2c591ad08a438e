#include "platform/x11/X11SnapshotChanges.h"

#include <cstddef>
#include <cstring>

namespace pellucine {

namespace {

// Every notice of a window's own structure names the window that changed at the same place.
constexpr std::size_t changedWindowOffset = offsetof(xcb_configure_notify_event_t, window);
static_assert(offsetof(xcb_map_notify_event_t, window) == changedWindowOffset);
static_assert(offsetof(xcb_unmap_notify_event_t, window) == changedWindowOffset);
static_assert(offsetof(xcb_destroy_notify_event_t, window) == changedWindowOffset);
static_assert(offsetof(xcb_reparent_notify_event_t, window) == changedWindowOffset);
static_assert(offsetof(xcb_gravity_notify_event_t, window) == changedWindowOffset);
static_assert(offsetof(xcb_circulate_notify_event_t, window) == changedWindowOffset);

xcb_window_t windowAt(const xcb_generic_event_t& event, std::size_t offset) {
    xcb_window_t window = XCB_NONE;
    std::memcpy(&window, reinterpret_cast<const char*>(&event) + offset, sizeof window);
    return window;
}

// And the window it was selected on just before.
constexpr std::size_t selectedOnOffset = offsetof(xcb_configure_notify_event_t, event);
static_assert(offsetof(xcb_map_notify_event_t, event) == selectedOnOffset);
static_assert(offsetof(xcb_unmap_notify_event_t, event) == selectedOnOffset);
static_assert(offsetof(xcb_destroy_notify_event_t, event) == selectedOnOffset);
static_assert(offsetof(xcb_reparent_notify_event_t, event) == selectedOnOffset);
static_assert(offsetof(xcb_gravity_notify_event_t, event) == selectedOnOffset);
static_assert(offsetof(xcb_circulate_notify_event_t, event) == selectedOnOffset);

bool isStructureNotice(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_CONFIGURE_NOTIFY:
        case XCB_MAP_NOTIFY:
        case XCB_UNMAP_NOTIFY:
        case XCB_DESTROY_NOTIFY:
        case XCB_REPARENT_NOTIFY:
        case XCB_GRAVITY_NOTIFY:
        case XCB_CIRCULATE_NOTIFY:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<xcb_window_t> X11SnapshotChanges::structureNoticeSelectedOn(
    const xcb_generic_event_t& event) {
    if (!isStructureNotice(event)) {
        return std::nullopt;
    }
    return windowAt(event, selectedOnOffset);
}

X11SnapshotChanges X11SnapshotChanges::of(const xcb_generic_event_t& event, xcb_window_t root) {
    X11SnapshotChanges change;
    xcb_window_t window = XCB_NONE;
    switch (event.response_type & 0x7f) {
        case 0: {
            // A request about a window that has gone (or is going): it alone has changed.
            const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
            if (error.error_code != XCB_WINDOW && error.error_code != XCB_DRAWABLE) {
                change.everything_ = true;
                return change;
            }
            window = error.resource_id;
            break;
        }
        case XCB_PROPERTY_NOTIFY:
            window = reinterpret_cast<const xcb_property_notify_event_t&>(event).window;
            break;
        default:
            if (!isStructureNotice(event)) {
                change.everything_ = true;
                return change;
            }
            window = windowAt(event, changedWindowOffset);
            break;
    }
    if (window == root) {
        change.root_ = true;
    } else {
        change.windows_.insert(window);
    }
    return change;
}

void X11SnapshotChanges::add(const X11SnapshotChanges& other) {
    everything_ = everything_ || other.everything_;
    root_ = root_ || other.root_;
    windows_.unite(other.windows_);
}

void X11SnapshotChanges::addWindows(const QList<xcb_window_t>& windows) {
    for (const xcb_window_t window : windows) {
        windows_.insert(window);
    }
}

}  // namespace pellucine
