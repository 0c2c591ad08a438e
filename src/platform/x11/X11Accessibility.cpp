#include "platform/x11/X11Accessibility.h"

#include "platform/x11/X11AccessibilityObserver.h"
#include "platform/x11/X11Element.h"
#include "platform/x11/X11ShellElement.h"

namespace pellucine {

ElementRef X11Accessibility::applicationElement(qint32 processIdentifier) {
    if (const auto state = state_.lock();
        state && processIdentifier == X11ShellContent::processIdentifier) {
        if (auto shell = state->shell()) {
            return X11ShellElement::application(shell);
        }
    }
    return X11Element::make(state_, X11Element::Kind::application, processIdentifier);
}

std::unique_ptr<AccessibilityObserver> X11Accessibility::createObserver(
    qint32 processIdentifier, AccessibilityObserver::Callback callback) {
    if (processIdentifier < 1 || processIdentifier == X11ShellContent::processIdentifier ||
        state_.expired()) {
        return nullptr;
    }
    return std::make_unique<X11AccessibilityObserver>(state_, processIdentifier,
                                                      std::move(callback));
}

}  // namespace pellucine
