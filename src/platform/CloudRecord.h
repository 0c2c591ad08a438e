#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <cstdint>
#include <optional>
#include <variant>

namespace pellucine {

// The value of one field of a cloud record.
using CloudFieldValue = std::variant<QByteArray, QString, QDateTime, std::int64_t, double>;

// One record of a cloud record store: a type, a name unique in its store, typed fields, and the
// change tag of the stored version it was read from or last saved as.
struct CloudRecord {
    QString recordType;
    QString recordName;
    QMap<QString, CloudFieldValue> fields;
    // Empty for a record the store has never held. A save succeeds only when the tag is the
    // stored version's (or both are empty), so two writers cannot overwrite each other unseen.
    QString changeTag;

    std::optional<CloudFieldValue> field(const QString& name) const {
        const auto it = fields.constFind(name);
        return it == fields.cend() ? std::nullopt : std::optional<CloudFieldValue>(*it);
    }

    friend bool operator==(const CloudRecord&, const CloudRecord&) = default;
};

}  // namespace pellucine
