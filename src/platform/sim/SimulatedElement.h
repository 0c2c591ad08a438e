#pragma once

#include <memory>

#include "platform/AccessibilityElement.h"

namespace pellucine {

class SimulatedDesktop;

// What a simulated element stands for.
struct SimulatedElementKey {
    enum class Kind { application, window, closeButton, treeElement };
    Kind kind = Kind::application;
    qint32 processIdentifier = 0;
    // The window for `window` and `closeButton`.
    quint32 windowNumber = 0;
    // The published element for `treeElement`.
    quint64 treeElement = 0;

    friend auto operator<=>(const SimulatedElementKey&, const SimulatedElementKey&) = default;
};

// A handle on an element of the simulated desktop. It answers from the desktop's current
// state and fails every request once the desktop is gone.
class SimulatedElement final : public AccessibilityElement {
  public:
    SimulatedElement(SimulatedDesktop& desktop, std::weak_ptr<const bool> desktopAlive,
                     SimulatedElementKey key)
        : desktop_(&desktop), alive_(std::move(desktopAlive)), key_(key) {}

    const SimulatedElementKey& key() const { return key_; }
    std::optional<Duration> messagingTimeout() const { return timeout_; }

    AttributeResult attribute(QStringView name) const override;
    AccessibilityStatus setAttribute(QStringView name, const AccessibilityValue& value) override;
    AccessibilityStatus performAction(QStringView name) override;
    AttributeResult elementAtPosition(float x, float y) const override;
    std::optional<qint32> processIdentifier() const override;
    std::optional<quint32> windowNumber() const override;
    void setMessagingTimeout(Duration timeout) override;
    bool isSameElement(const AccessibilityElement& other) const override;

  private:
    SimulatedDesktop* desktop() const { return alive_.expired() ? nullptr : desktop_; }

    SimulatedDesktop* desktop_;
    std::weak_ptr<const bool> alive_;
    SimulatedElementKey key_;
    std::optional<Duration> timeout_;
};

}  // namespace pellucine
