#pragma once

#include <xcb/xcb.h>

#include <memory>

#include "platform/AccessibilityElement.h"
#include "platform/x11/X11DesktopState.h"

namespace pellucine {

// An accessibility-shaped element synthesised from the window manager's view of a client:
// an application (the clients of one process), one of its windows, or a window's close
// button (present when the window takes WM_DELETE_WINDOW). Reads come from the desktop as last
// read, so a window's position and size are those of the window list; writes and actions are
// EWMH and ICCCM requests. An element whose window is gone, or whose desktop is gone, fails
// every request.
class X11Element final : public AccessibilityElement {
  public:
    enum class Kind { application, window, closeButton };

    X11Element(std::weak_ptr<X11DesktopState> state, Kind kind, qint32 pid,
               xcb_window_t window = XCB_NONE);

    static ElementRef make(const std::weak_ptr<X11DesktopState>& state, Kind kind, qint32 pid,
                           xcb_window_t window = XCB_NONE);

    AttributeResult attribute(QStringView name) const override;
    AccessibilityStatus setAttribute(QStringView name, const AccessibilityValue& value) override;
    AccessibilityStatus performAction(QStringView name) override;
    AttributeResult elementAtPosition(float x, float y) const override;
    std::optional<qint32> processIdentifier() const override;
    std::optional<quint32> windowNumber() const override;
    // The X server answers for its clients: there is nothing to wait for.
    void setMessagingTimeout(Duration) override {}
    bool isSameElement(const AccessibilityElement& other) const override;

    Kind kind() const { return kind_; }
    qint32 pid() const { return pid_; }
    xcb_window_t window() const { return window_; }

    // The subrole a window of this type publishes.
    static QStringView subroleOf(X11WindowType type);

  private:
    AttributeResult applicationAttribute(X11DesktopState& state, QStringView name) const;
    AttributeResult windowAttribute(X11DesktopState& state, const X11WindowInfo& info,
                                    QStringView name) const;
    ElementRef element(Kind kind, xcb_window_t window = XCB_NONE) const;

    std::weak_ptr<X11DesktopState> state_;
    Kind kind_;
    qint32 pid_;
    xcb_window_t window_;
};

}  // namespace pellucine
