#pragma once

#include <QString>
#include <QVariant>
#include <optional>

#include "preferences/UnreadableCopy.h"

namespace pellucine {

// The user defaults: a flat map of keys to values. Data is stored as QByteArray and read back
// as QByteArray; other values may come back in another type (a file-backed store returns
// Bools as text), so readers convert.
class KeyValueStore {
  public:
    virtual ~KeyValueStore() = default;

    // An invalid QVariant when the key holds nothing.
    virtual QVariant value(const QString& key) const = 0;
    virtual bool contains(const QString& key) const = 0;
    // Returns whether the value was stored durably.
    virtual bool setValue(const QString& key, const QVariant& value) = 0;
    // What was kept aside when stored data could not be read and the store began without it.
    virtual std::optional<UnreadableCopy> unreadableCopy() const { return std::nullopt; }
};

}  // namespace pellucine
