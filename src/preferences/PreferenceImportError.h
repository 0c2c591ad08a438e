#pragma once

#include <cstdint>

#include "base/Error.h"

namespace pellucine {

// Why a settings file could not be imported.
class PreferenceImportError final : public Error {
  public:
    enum class Case { incompatibleSchema, fileTooLarge, malformed };

    static PreferenceImportError incompatibleSchema(std::int64_t schema) {
        return PreferenceImportError(Case::incompatibleSchema, schema);
    }
    static PreferenceImportError fileTooLarge() {
        return PreferenceImportError(Case::fileTooLarge, 0);
    }
    static PreferenceImportError malformed() { return PreferenceImportError(Case::malformed, 0); }

    Case errorCase() const { return case_; }
    // The schema of an incompatible file; 0 for the other cases.
    std::int64_t schema() const { return schema_; }
    QString typeName() const override { return QStringLiteral("pellucine.PreferenceImportError"); }

    friend bool operator==(const PreferenceImportError& a, const PreferenceImportError& b) {
        return a.case_ == b.case_ && a.schema_ == b.schema_;
    }

  private:
    PreferenceImportError(Case c, std::int64_t schema);

    Case case_;
    std::int64_t schema_;
};

}  // namespace pellucine
