#pragma once

#include <QObject>

#include "app/WindowActivation.h"

namespace pellucine {

class X11Connection;

// Asks the window manager to activate the window with a _NET_ACTIVE_WINDOW request stamped with
// the server's current time, so that focus-stealing prevention sees a fresh request rather than
// the stale time of the last input the program read. A window that is still being mapped is
// activated once it is exposed. Main thread.
class X11WindowActivation final : public QObject, public WindowActivation {
    Q_OBJECT

  public:
    // `connection` outlives this object.
    explicit X11WindowActivation(X11Connection& connection, QObject* parent = nullptr);

    void activate(QWindow& window) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void request(QWindow& window);

    X11Connection& connection_;
};

}  // namespace pellucine
