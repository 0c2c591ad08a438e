#include "platform/sim/SimulatedObserver.h"

namespace pellucine {

AccessibilityStatus SimulatedObserver::addNotification(const ElementRef& element,
                                                       QStringView notification) {
    if (alive_.expired() || !element) {
        return AccessibilityStatus::failure;
    }
    return desktop_->addRegistration(*state_, element, notification);
}

}  // namespace pellucine
