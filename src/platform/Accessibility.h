#pragma once

#include <memory>

#include "platform/AccessibilityObserver.h"

namespace pellucine {

// Entry points of the accessibility layer. Main thread only.
class Accessibility {
  public:
    virtual ~Accessibility() = default;

    // Whether this program may read and operate other applications' elements.
    virtual bool isProcessTrusted() const = 0;
    // A handle on an application's root element; never null, even for a process that is not
    // running (its requests then fail).
    virtual ElementRef applicationElement(qint32 processIdentifier) = 0;
    // The messaging time-out of every handle that has none of its own.
    virtual void setGlobalMessagingTimeout(Duration timeout) = 0;
    // None when no observer can be made for the process.
    virtual std::unique_ptr<AccessibilityObserver> createObserver(
        qint32 processIdentifier, AccessibilityObserver::Callback callback) = 0;
};

}  // namespace pellucine
