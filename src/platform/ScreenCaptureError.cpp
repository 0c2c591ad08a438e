#include "platform/ScreenCaptureError.h"

namespace pellucine {

namespace {

QString describe(ScreenCaptureError::Case c) {
    switch (c) {
        case ScreenCaptureError::Case::permissionDenied:
            return QStringLiteral("Screen Recording permission is required.");
        case ScreenCaptureError::Case::windowGone:
            return QStringLiteral("The window closed before its picture was taken.");
        case ScreenCaptureError::Case::windowNotViewable:
            return QStringLiteral("The window is not on screen, so no picture of it can be taken.");
        case ScreenCaptureError::Case::failed:
            break;
    }
    return QStringLiteral("The window picture could not be taken.");
}

}  // namespace

ScreenCaptureError::ScreenCaptureError(Case c) : Error(describe(c)), case_(c) {}

}  // namespace pellucine
