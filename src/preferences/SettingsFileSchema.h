#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>
#include <optional>

namespace pellucine {

// The keys a settings file may hold and the form of each value, as QSettings reads them back.
struct SettingsFileSchema {
    enum class Kind {
        // A QByteArray (written as @ByteArray(…)).
        data,
        // A Bool, or the text "true" or "false".
        flag,
        // Text.
        text,
    };

    QHash<QString, Kind> keys;

    // Why `values` are not a file of this schema: "foreign-key" when a key is not one of its
    // own (a key in a group included), "invalid-value" when a value has another form. Nothing
    // when they are.
    std::optional<QString> problem(const QMap<QString, QVariant>& values) const;

    static bool fits(Kind kind, const QVariant& value);
};

}  // namespace pellucine
