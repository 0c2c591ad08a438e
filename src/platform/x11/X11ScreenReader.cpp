#include "platform/x11/X11ScreenReader.h"

#include <xcb/randr.h>

#include <algorithm>

#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/X11WindowReader.h"

namespace pellucine {

std::optional<X11Strut> X11Strut::fromValues(const QList<quint32>& values, QSize rootSize) {
    if (std::any_of(values.begin(), values.end(), [](quint32 v) { return v > maximum; })) {
        return std::nullopt;
    }
    const auto at = [&values](int i) { return static_cast<int>(values[i]); };
    if (values.size() == 12) {
        return X11Strut{at(0), at(1), at(2), at(3), at(4),  at(5),
                        at(6), at(7), at(8), at(9), at(10), at(11)};
    }
    if (values.size() == 4) {
        const int lastY = rootSize.height() - 1;
        const int lastX = rootSize.width() - 1;
        return X11Strut{at(0), at(1), at(2), at(3), 0, lastY, 0, lastY, 0, lastX, 0, lastX};
    }
    return std::nullopt;
}

QRect visibleArea(const QRect& monitor, QSize rootSize, const QList<X11Strut>& struts) {
    // Exclusive right and bottom edges throughout.
    int x0 = monitor.x();
    int y0 = monitor.y();
    int x1 = monitor.x() + monitor.width();
    int y1 = monitor.y() + monitor.height();
    const auto spans = [](int start, int endInclusive, int low, int high) {
        return start < high && endInclusive >= low;
    };
    for (const X11Strut& s : struts) {
        if (s.left > 0 && s.left > monitor.x() && s.left < monitor.x() + monitor.width() &&
            spans(s.leftStartY, s.leftEndY, monitor.y(), monitor.y() + monitor.height())) {
            x0 = std::max(x0, s.left);
        }
        const int rightEdge = rootSize.width() - s.right;
        if (s.right > 0 && rightEdge > monitor.x() && rightEdge < monitor.x() + monitor.width() &&
            spans(s.rightStartY, s.rightEndY, monitor.y(), monitor.y() + monitor.height())) {
            x1 = std::min(x1, rightEdge);
        }
        if (s.top > 0 && s.top > monitor.y() && s.top < monitor.y() + monitor.height() &&
            spans(s.topStartX, s.topEndX, monitor.x(), monitor.x() + monitor.width())) {
            y0 = std::max(y0, s.top);
        }
        const int bottomEdge = rootSize.height() - s.bottom;
        if (s.bottom > 0 && bottomEdge > monitor.y() &&
            bottomEdge < monitor.y() + monitor.height() &&
            spans(s.bottomStartX, s.bottomEndX, monitor.x(), monitor.x() + monitor.width())) {
            y1 = std::min(y1, bottomEdge);
        }
    }
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

QList<X11Monitor> arrangeMonitors(QList<X11Monitor> monitors, QSize rootSize,
                                  const QList<X11Strut>& struts) {
    const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                      [](const X11Monitor& m) { return m.isPrimary; });
    if (primary != monitors.end() && primary != monitors.begin()) {
        std::rotate(monitors.begin(), primary, primary + 1);
    }
    for (X11Monitor& monitor : monitors) {
        monitor.visibleRect = visibleArea(monitor.rect, rootSize, struts);
    }
    return monitors;
}

QList<X11Monitor> X11ScreenReader::monitors() const {
    xcb_connection_t* c = connection_.get();
    const auto rootGeometry =
        takeReply(c, xcb_get_geometry_reply, xcb_get_geometry(c, connection_.root()));
    const QSize rootSize = rootGeometry ? QSize(rootGeometry->width, rootGeometry->height)
                                        : QSize(connection_.screen().width_in_pixels,
                                                connection_.screen().height_in_pixels);

    QList<X11Monitor> result;
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr != nullptr && randr->present != 0) {
        const auto reply = takeReply(c, xcb_randr_get_monitors_reply,
                                     xcb_randr_get_monitors(c, connection_.root(), 1));
        if (reply) {
            // Every monitor's name is asked for before any answer is read: one round trip.
            QList<xcb_get_atom_name_cookie_t> names;
            auto it = xcb_randr_get_monitors_monitors_iterator(reply.get());
            for (; it.rem > 0; xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t* info = it.data;
                X11Monitor monitor;
                monitor.rect = QRect(info->x, info->y, info->width, info->height);
                monitor.isPrimary = info->primary != 0;
                monitor.identifier = info->nOutput > 0 ? *xcb_randr_monitor_info_outputs(info)
                                                       : static_cast<quint32>(info->name);
                names.append(xcb_get_atom_name(c, info->name));
                result.append(monitor);
            }
            for (qsizetype i = 0; i < result.size(); ++i) {
                if (const auto name = takeReply(c, xcb_get_atom_name_reply, names[i])) {
                    result[i].name = QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                                         xcb_get_atom_name_name_length(name.get()));
                }
            }
            result.removeIf([](const X11Monitor& monitor) { return monitor.rect.isEmpty(); });
        }
    }
    if (result.isEmpty()) {
        X11Monitor whole;
        whole.identifier = 1;
        whole.rect = QRect(QPoint(0, 0), rootSize);
        whole.isPrimary = true;
        result.append(whole);
    }
    return arrangeMonitors(std::move(result), rootSize, struts(rootSize));
}

X11CoordinateSpace X11ScreenReader::coordinateSpace(const QList<X11Monitor>& monitors,
                                                    double scale) {
    return X11CoordinateSpace(monitors.isEmpty() ? QPoint() : monitors.first().rect.topLeft(),
                              scale);
}

QList<xcb_atom_t> X11ScreenReader::readProperties(const X11Atoms& atoms) {
    return {atoms._NET_CLIENT_LIST, atoms._NET_WM_STRUT_PARTIAL, atoms._NET_WM_STRUT};
}

uint8_t X11ScreenReader::listenForChanges() const {
    xcb_connection_t* c = connection_.get();
    connection_.keepEvents(connection_.root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    connection_.selectEvents(connection_.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr == nullptr || randr->present == 0) {
        return 0;
    }
    // The server sends a client the notices of the version it says it knows.
    xcb_discard_reply(c, xcb_randr_query_version(c, 1, 5).sequence);
    xcb_randr_select_input(c, connection_.root(),
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    return randr->first_event;
}

QList<X11Strut> X11ScreenReader::struts(QSize rootSize) const {
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    const auto clients =
        takeProperty(c, requestProperty(c, connection_.root(), atoms._NET_CLIENT_LIST, 65536));
    if (!clients) {
        return {};
    }
    struct Pending {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t partial;
        xcb_get_property_cookie_t full;
    };
    QList<Pending> pending;
    for (const xcb_window_t window :
         X11WindowReader::clientList(clients->values32(), connection_.root())) {
        pending.append({xcb_get_window_attributes(c, window),
                        requestProperty(c, window, atoms._NET_WM_STRUT_PARTIAL, 12),
                        requestProperty(c, window, atoms._NET_WM_STRUT, 4)});
    }
    QList<X11Strut> result;
    for (const Pending& p : pending) {
        const auto attributes = takeReply(c, xcb_get_window_attributes_reply, p.attributes);
        const auto partial = takeProperty(c, p.partial);
        const auto full = takeProperty(c, p.full);
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
            continue;
        }
        const auto& source = partial ? partial : full;
        if (source) {
            if (auto strut = X11Strut::fromValues(source->values32(), rootSize)) {
                result.append(*strut);
            }
        }
    }
    return result;
}

}  // namespace pellucine
