#include "platform/x11/X11Properties.h"

#include <algorithm>
#include <cstring>

#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

// The length of `bytes` without a multi-byte UTF-8 sequence that its end cuts short.
qsizetype completeUtf8Length(const QByteArray& bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, size); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) != 0x80) {
            const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? size - back : size;
        }
    }
    return size;
}

QString withoutControls(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

// Compound text as clients write it: Latin-1, with stretches of UTF-8 between ESC % G and
// ESC % @ for what Latin-1 lacks. Other escape sequences (switches to other character sets) are
// left out and what follows them read as Latin-1.
QString fromCompoundText(const QByteArray& bytes) {
    constexpr char escape = '\x1b';
    QString text;
    bool utf8 = false;
    qsizetype run = 0;
    const auto flush = [&](qsizetype end) {
        const QByteArray part = bytes.mid(run, end - run);
        text += utf8 ? QString::fromUtf8(part) : QString::fromLatin1(part);
    };
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (bytes[i] != escape) {
            ++i;
            continue;
        }
        flush(i);
        // ESC, intermediate bytes (0x20 to 0x2F), a final byte (0x30 to 0x7E).
        qsizetype end = i + 1;
        while (end < bytes.size() && bytes[end] >= 0x20 && bytes[end] <= 0x2F) {
            ++end;
        }
        const QByteArray sequence = bytes.mid(i + 1, end - i);
        if (sequence == "%G") {
            utf8 = true;
        } else if (sequence == "%@") {
            utf8 = false;
        }
        i = std::min(end + 1, bytes.size());
        run = i;
    }
    flush(bytes.size());
    return text;
}

}  // namespace

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
    QByteArray bytes = end < 0 ? data : data.left(end);
    if (type == atoms.UTF8_STRING) {
        if (end < 0 && truncated) {
            bytes.truncate(completeUtf8Length(bytes));
        }
        return withoutControls(QString::fromUtf8(bytes));
    }
    if (type == atoms.COMPOUND_TEXT) {
        return withoutControls(fromCompoundText(bytes));
    }
    return withoutControls(QString::fromLatin1(bytes));
}

QStringList X11Property::strings() const {
    if (format != 8 || data.isEmpty()) {
        return {};
    }
    QStringList result;
    for (const QByteArray& part : data.split('\0')) {
        result.append(withoutControls(QString::fromLatin1(part)));
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
    property.truncated = reply->bytes_after > 0;
    property.bytesAfter = reply->bytes_after;
    const int length = xcb_get_property_value_length(reply.get());
    property.data =
        QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    return property;
}

}  // namespace pellucine
