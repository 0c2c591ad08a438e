#include "preferences/PreferenceImportError.h"

namespace pellucine {

namespace {

QString describe(PreferenceImportError::Case c, std::int64_t schema) {
    switch (c) {
        case PreferenceImportError::Case::incompatibleSchema:
            return QStringLiteral(
                       "That settings file was created by a newer, incompatible version (schema "
                       "%1).")
                .arg(schema);
        case PreferenceImportError::Case::fileTooLarge:
            return QStringLiteral(
                "That settings file is too large. Choose a PELLUCINE settings file smaller than 1 "
                "MB.");
        case PreferenceImportError::Case::malformed:
            return QStringLiteral("That file isn’t a valid PELLUCINE settings export.");
    }
    return {};
}

}  // namespace

PreferenceImportError::PreferenceImportError(Case c, std::int64_t schema)
    : Error(describe(c, schema)), case_(c), schema_(schema) {}

}  // namespace pellucine
