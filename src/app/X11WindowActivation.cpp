#include "app/X11WindowActivation.h"

#include <QEvent>
#include <QWindow>

#include "platform/x11/X11WindowRequests.h"

namespace pellucine {

X11WindowActivation::X11WindowActivation(X11Connection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

void X11WindowActivation::activate(QWindow& window) {
    if (window.isExposed()) {
        request(window);
        return;
    }
    // The window manager ignores requests about a window it does not manage yet.
    window.removeEventFilter(this);
    window.installEventFilter(this);
}

bool X11WindowActivation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched->isWindowType()) {
        auto* window = static_cast<QWindow*>(watched);
        if (window->isExposed()) {
            window->removeEventFilter(this);
            request(*window);
        }
    }
    return QObject::eventFilter(watched, event);
}

void X11WindowActivation::request(QWindow& window) {
    // Shown on a hotkey the program read on a connection of its own, the window carries no user
    // time of that input: a manager that prevents focus stealing would keep it unfocused.
    X11WindowRequests requests(connection_);
    const auto id = static_cast<xcb_window_t>(window.winId());
    requests.markUserTime(id);
    requests.activate(id);
}

}  // namespace pellucine
