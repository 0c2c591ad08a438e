#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <optional>

#include "platform/x11/X11ApplicationRegistry.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11CoordinateSpace.h"
#include "platform/x11/X11ScreenReader.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/X11WindowEvents.h"
#include "platform/x11/X11WindowReader.h"
#include "platform/x11/X11WindowRequests.h"

namespace pellucine {

// What the X11 port's services share: the connection, the readers and requests, and the
// desktop as last read. What was read is used again for as long as nothing can have changed:
// no event has come from the server, no request was sent and the event loop has not run since.
// So every service asked within one synchronous run (a window list and the windows' elements,
// say) sees the same windows with the same geometry, and nothing stale is seen after a change
// the server has announced.
class X11DesktopState final : public QObject {
    Q_OBJECT

  public:
    // Throws X11Error when the server cannot be reached. `pointScale` pixels make one point.
    X11DesktopState(const QByteArray& displayName, double pointScale, X11DesktopEntries entries,
                    X11ProcessInfo processes);
    ~X11DesktopState() override;

    X11Connection& connection() { return connection_; }
    X11WindowEvents& events() { return events_; }
    X11ApplicationRegistry& registry() { return registry_; }

    // Every reader hands out a copy (cheap: the lists are shared until written), which stays
    // valid however the desktop is read afterwards.
    X11DesktopSnapshot snapshot();
    // The applications of the snapshot.
    QList<X11Application> applications();
    std::optional<X11Application> application(qint32 pid);
    // A client of the snapshot; none when it is gone.
    std::optional<X11WindowInfo> window(xcb_window_t window);
    // Main monitor first.
    QList<X11Monitor> monitors();
    // The numbers of the window manager's clients, always asked of the server.
    QSet<quint32> clientNumbers() const { return reader_.clientNumbers(); }
    X11CoordinateSpace space();

    // Requests; each makes the next reader ask the server again.
    X11WindowRequests& requests();

    // Forgets what was read.
    void invalidate();

    // The program's own shell while it is published: it runs as an application of its own.
    std::shared_ptr<const X11ShellContent> shell() const { return shell_.lock(); }
    void publishShell(std::weak_ptr<const X11ShellContent> shell) { shell_ = std::move(shell); }

  private:
    // Drops what was read when an event has arrived since.
    void checkFreshness();

    X11Connection connection_;
    X11WindowReader reader_;
    X11ScreenReader screenReader_;
    X11WindowRequests requests_;
    X11WindowEvents events_;
    X11ApplicationRegistry registry_;
    double pointScale_;
    std::optional<X11DesktopSnapshot> snapshot_;
    std::optional<QList<X11Application>> applications_;
    std::optional<QList<X11Monitor>> monitors_;
    quint64 readAtEvent_ = 0;
    std::weak_ptr<const X11ShellContent> shell_;
};

}  // namespace pellucine
