#pragma once

#include <QStringView>
#include <optional>

#include "base/Clock.h"
#include "platform/AttributeResult.h"

namespace pellucine {

// One element of another application's accessibility tree: its application, a window, a
// control, or an item of the desktop's own Dock and switcher layer. Handles are cheap and
// shared (`ElementRef`); an element that has gone away answers every request with a failure.
// Main thread only. Every request is bounded by the element's messaging time-out when set,
// else by the system-wide one.
class AccessibilityElement {
  public:
    virtual ~AccessibilityElement() = default;

    virtual AttributeResult attribute(QStringView name) const = 0;
    virtual AccessibilityStatus setAttribute(QStringView name, const AccessibilityValue& value) = 0;
    virtual AccessibilityStatus performAction(QStringView name) = 0;
    // The deepest element under a point of the global space, searched from this element.
    virtual AttributeResult elementAtPosition(float x, float y) const = 0;

    // The owning process; none when it cannot be read.
    virtual std::optional<qint32> processIdentifier() const = 0;
    // The system window number of a window element, where the platform knows it.
    virtual std::optional<quint32> windowNumber() const = 0;

    // Bounds how long a request to this handle waits for the application to answer.
    virtual void setMessagingTimeout(Duration timeout) = 0;

    virtual bool isSameElement(const AccessibilityElement& other) const = 0;
};

}  // namespace pellucine
