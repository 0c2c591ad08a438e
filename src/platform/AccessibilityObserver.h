#pragma once

#include <QString>
#include <functional>

#include "platform/AccessibilityElement.h"

namespace pellucine {

// Notifications from one application's elements. Registrations are made on elements of the
// observer's application; nothing is delivered until `start`. Callbacks arrive on the main
// thread, never inside a request made to the port, and never after `stop` or destruction.
class AccessibilityObserver {
  public:
    // The element the notification concerns (the new window for "AXWindowCreated", the newly
    // focused window for "AXFocusedWindowChanged") and the notification's name.
    using Callback = std::function<void(const ElementRef& element, const QString& notification)>;

    virtual ~AccessibilityObserver() = default;

    virtual AccessibilityStatus addNotification(const ElementRef& element,
                                                QStringView notification) = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
};

}  // namespace pellucine
