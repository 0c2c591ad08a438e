#pragma once

#include <QList>
#include <optional>

#include "platform/PrivateCaptureImage.h"

namespace pellucine {

// The private window-capture entry points of the system, once loaded. Main thread only; calls
// are synchronous.
class PrivateCaptureEntryPoints {
  public:
    virtual ~PrivateCaptureEntryPoints() = default;

    // This process's connection to the window server.
    virtual quint32 mainConnectionID() = 0;
    // Pictures of one window (the first is the window's own); none when the call gives nothing.
    virtual std::optional<QList<PrivateCaptureImage>> captureWindowList(quint32 connection,
                                                                        quint32 windowNumber,
                                                                        quint32 options) = 0;
};

}  // namespace pellucine
