#include "platform/sim/SimulatedElement.h"

#include "platform/sim/SimulatedDesktop.h"

namespace pellucine {

AttributeResult SimulatedElement::attribute(QStringView name) const {
    SimulatedDesktop* d = desktop();
    return d != nullptr ? d->readAttribute(*this, name)
                        : AttributeResult::failed(AccessibilityStatus::failure);
}

AccessibilityStatus SimulatedElement::setAttribute(QStringView name,
                                                   const AccessibilityValue& value) {
    SimulatedDesktop* d = desktop();
    return d != nullptr ? d->writeAttribute(*this, name, value) : AccessibilityStatus::failure;
}

AccessibilityStatus SimulatedElement::performAction(QStringView name) {
    SimulatedDesktop* d = desktop();
    return d != nullptr ? d->performAction(*this, name) : AccessibilityStatus::failure;
}

AttributeResult SimulatedElement::elementAtPosition(float x, float y) const {
    SimulatedDesktop* d = desktop();
    return d != nullptr ? d->elementAt(*this, GlobalPoint{x, y})
                        : AttributeResult::failed(AccessibilityStatus::failure);
}

std::optional<qint32> SimulatedElement::processIdentifier() const {
    SimulatedDesktop* d = desktop();
    return d != nullptr ? d->processIdentifierOf(key_) : std::nullopt;
}

std::optional<quint32> SimulatedElement::windowNumber() const {
    if (key_.kind != SimulatedElementKey::Kind::window) {
        return std::nullopt;
    }
    return key_.windowNumber;
}

void SimulatedElement::setMessagingTimeout(Duration timeout) {
    timeout_ = timeout;
    if (SimulatedDesktop* d = desktop()) {
        d->noteTimeout(key_, timeout);
    }
}

bool SimulatedElement::isSameElement(const AccessibilityElement& other) const {
    const auto* o = dynamic_cast<const SimulatedElement*>(&other);
    return o != nullptr && o->desktop_ == desktop_ && o->key_ == key_;
}

}  // namespace pellucine
