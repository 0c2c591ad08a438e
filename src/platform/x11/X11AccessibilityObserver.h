#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <QString>
#include <memory>
#include <set>
#include <utility>

#include "platform/AccessibilityObserver.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11Element.h"

namespace pellucine {

// Notifications about one process's windows, translated from the server's window events:
// "AXWindowCreated" and "AXFocusedWindowChanged" on its application element, the six window
// notifications on its window elements. Each is handed to the callback from the event loop on
// its own, never inside the delivery of the server's event.
class X11AccessibilityObserver final : public AccessibilityObserver {
  public:
    X11AccessibilityObserver(std::weak_ptr<X11DesktopState> state, qint32 pid, Callback callback);
    ~X11AccessibilityObserver() override;

    AccessibilityStatus addNotification(const ElementRef& element,
                                        QStringView notification) override;
    void start() override;
    void stop() override;

    // Registrations held: on the application and on windows not gone yet.
    std::size_t registrationCount() const { return registrations_.size(); }

    static QStringView notificationFor(X11WindowEvent::Kind kind);

  private:
    // Where a registration was made: the application (no window) or one of its windows.
    using Registration = std::pair<xcb_window_t, QString>;
    struct Delivery {
        bool started = false;
        Callback callback;
    };

    void handle(const X11WindowEvent& event);
    void post(xcb_window_t subject, QStringView notification);

    std::weak_ptr<X11DesktopState> state_;
    qint32 pid_;
    std::shared_ptr<Delivery> delivery_;
    std::set<Registration> registrations_;
    QMetaObject::Connection connection_;
};

}  // namespace pellucine
