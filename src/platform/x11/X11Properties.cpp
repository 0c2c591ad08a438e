#include "platform/x11/X11Properties.h"

#include <cstring>

#include "platform/x11/X11Reply.h"

namespace pellucine {

QList<quint32> X11Property::values32() const {
    QList<quint32> values;
    const qsizetype count = data.size() / 4;
    if (format != 32 || count == 0) {
        return values;
    }
    values.resize(count);
    std::memcpy(values.data(), data.constData(), static_cast<std::size_t>(count) * 4);
    return values;
}

std::optional<quint32> X11Property::first32() const {
    if (format != 32 || data.size() < 4) {
        return std::nullopt;
    }
    quint32 value = 0;
    std::memcpy(&value, data.constData(), 4);
    return value;
}

QString X11Property::text(const X11Atoms& atoms) const {
    if (format != 8) {
        return {};
    }
    const qsizetype end = data.indexOf('\0');
    const QByteArray bytes = end < 0 ? data : data.left(end);
    if (type == atoms.UTF8_STRING) {
        return QString::fromUtf8(bytes);
    }
    return QString::fromLatin1(bytes);
}

QStringList X11Property::strings() const {
    if (format != 8 || data.isEmpty()) {
        return {};
    }
    QStringList result;
    for (const QByteArray& part : data.split('\0')) {
        result.append(QString::fromLatin1(part));
    }
    if (data.endsWith('\0')) {
        result.removeLast();
    }
    return result;
}

xcb_get_property_cookie_t requestProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t property, uint32_t maxLongs) {
    return xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                            maxLongs);
}

std::optional<X11Property> takeProperty(xcb_connection_t* connection,
                                        xcb_get_property_cookie_t cookie) {
    const auto reply = takeReply(connection, xcb_get_property_reply, cookie);
    if (!reply || reply->type == XCB_NONE) {
        return std::nullopt;
    }
    X11Property property;
    property.type = reply->type;
    property.format = reply->format;
    const int length = xcb_get_property_value_length(reply.get());
    property.data =
        QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    return property;
}

}  // namespace pellucine
