#include "core/WindowServiceError.h"

namespace pellucine {

namespace {

QString describe(WindowServiceError::Case c) {
    switch (c) {
        case WindowServiceError::Case::windowUnavailable:
            return QStringLiteral("The window is no longer available.");
        case WindowServiceError::Case::permissionRequired:
            return QStringLiteral("Accessibility permission is required.");
    }
    return {};
}

}  // namespace

WindowServiceError::WindowServiceError(Case c) : Error(describe(c)), case_(c) {}

}  // namespace pellucine
