#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <utility>

namespace pellucine::testing {

// An _XSETTINGS_SETTINGS property holding string settings (name, value) and one integer
// setting, in little-endian order unless `bigEndian`.
inline QByteArray xsettingsBytes(const QList<std::pair<QByteArray, QByteArray>>& strings,
                                 bool bigEndian = false) {
    QByteArray data;
    const auto card = [&](quint32 value, int size) {
        char bytes[4];
        if (size == 2) {
            bigEndian ? qToBigEndian<quint16>(static_cast<quint16>(value), bytes)
                      : qToLittleEndian<quint16>(static_cast<quint16>(value), bytes);
        } else {
            bigEndian ? qToBigEndian<quint32>(value, bytes)
                      : qToLittleEndian<quint32>(value, bytes);
        }
        data.append(bytes, size);
    };
    const auto padded = [&](const QByteArray& text) {
        data.append(text);
        data.append(QByteArray((4 - text.size() % 4) % 4, '\0'));
    };
    data.append(static_cast<char>(bigEndian ? 1 : 0));
    data.append(QByteArray(3, '\0'));
    card(7, 4);
    card(static_cast<quint32>(strings.size()) + 1, 4);
    // An integer first, which the reader passes over.
    data.append(static_cast<char>(0));
    data.append('\0');
    card(11, 2);
    padded("Xft/Hinting");
    card(0, 4);
    card(1, 4);
    for (const auto& [name, value] : strings) {
        data.append(static_cast<char>(1));
        data.append('\0');
        card(static_cast<quint32>(name.size()), 2);
        padded(name);
        card(0, 4);
        card(static_cast<quint32>(value.size()), 4);
        padded(value);
    }
    return data;
}

}  // namespace pellucine::testing
