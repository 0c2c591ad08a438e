#pragma once

#include <memory>

#include "platform/Accessibility.h"
#include "platform/x11/X11DesktopState.h"

namespace pellucine {

// Elements and observers synthesised from the window manager's clients. X11 asks no
// permission to read or operate other clients' windows: the process is always trusted.
class X11Accessibility final : public Accessibility {
  public:
    explicit X11Accessibility(std::weak_ptr<X11DesktopState> state) : state_(std::move(state)) {}

    bool isProcessTrusted() const override { return true; }
    ElementRef applicationElement(qint32 processIdentifier) override;
    void setGlobalMessagingTimeout(Duration) override {}
    std::unique_ptr<AccessibilityObserver> createObserver(
        qint32 processIdentifier, AccessibilityObserver::Callback callback) override;

  private:
    std::weak_ptr<X11DesktopState> state_;
};

}  // namespace pellucine
