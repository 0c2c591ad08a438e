#pragma once

#include <QMap>

#include "preferences/KeyValueStore.h"

namespace pellucine {

// User defaults held in memory, for tests and for a store that must not touch disk. Writes
// can be made to fail.
class InMemoryKeyValueStore final : public KeyValueStore {
  public:
    InMemoryKeyValueStore() = default;
    explicit InMemoryKeyValueStore(QMap<QString, QVariant> values) : values_(std::move(values)) {}

    QVariant value(const QString& key) const override { return values_.value(key); }
    bool contains(const QString& key) const override { return values_.contains(key); }
    bool setValue(const QString& key, const QVariant& value) override {
        if (failWrites_) {
            return false;
        }
        values_.insert(key, value);
        ++writeCount_;
        return true;
    }

    void remove(const QString& key) { values_.remove(key); }
    const QMap<QString, QVariant>& values() const { return values_; }
    int writeCount() const { return writeCount_; }
    void setFailWrites(bool fail) { failWrites_ = fail; }

  private:
    QMap<QString, QVariant> values_;
    int writeCount_ = 0;
    bool failWrites_ = false;
};

}  // namespace pellucine
