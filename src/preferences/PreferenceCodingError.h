#pragma once

#include "base/Error.h"

namespace pellucine {

// A preference record, key combination, export file or receipt that cannot be read from JSON:
// not JSON at all, a present member of the wrong type or out of range, or a required member
// missing. The description names the member.
class PreferenceDecodingError final : public Error {
  public:
    using Error::Error;
    QString typeName() const override {
        return QStringLiteral("pellucine.PreferenceDecodingError");
    }
};

// A record that cannot be written as JSON (a width that is not a finite number, a date outside
// the years 1 to 9999, an integer JSON cannot hold exactly).
class PreferenceEncodingError final : public Error {
  public:
    using Error::Error;
    QString typeName() const override {
        return QStringLiteral("pellucine.PreferenceEncodingError");
    }
};

}  // namespace pellucine
