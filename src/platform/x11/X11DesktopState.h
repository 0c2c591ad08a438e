#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <optional>

#include "platform/x11/X11ApplicationRegistry.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11CoordinateSpace.h"
#include "platform/x11/X11DrawWatch.h"
#include "platform/x11/X11FocusHistory.h"
#include "platform/x11/X11ScreenReader.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/X11SnapshotChanges.h"
#include "platform/x11/X11WindowEvents.h"
#include "platform/x11/X11WindowReader.h"
#include "platform/x11/X11WindowRequests.h"

namespace pellucine {

// What the X11 port's services share: the connection, the readers and requests, and the
// desktop as last read. What was read is used again for as long as nothing can have changed:
// no event that bears on it has come from the server and no request was sent since. An event
// that bears on the root alone or on some clients has only the root's lists and those clients
// read again. Windows the read saw for the first time are read again once the event loop has
// run, as their changes are only heard from then on; the screens, whose changes are not heard,
// every time it has run.
// So every service asked within one synchronous run (a window list and the windows' elements,
// say) sees the same windows with the same geometry, and nothing stale is seen after a change
// the server has announced.
class X11DesktopState final : public QObject {
    Q_OBJECT

  public:
    // Throws X11Error when the server cannot be reached. `pointScale` pixels make one point.
    X11DesktopState(const QByteArray& displayName, double pointScale, DesktopEntries entries,
                    ProcessInfo processes);
    ~X11DesktopState() override;

    X11Connection& connection() { return connection_; }
    X11WindowEvents& events() { return events_; }
    X11ApplicationRegistry& registry() { return registry_; }
    // Which clients have just come on screen and not drawn yet.
    X11DrawWatch& drawWatch() { return drawWatch_; }

    // Every reader hands out a copy (cheap: the lists are shared until written), which stays
    // valid however the desktop is read afterwards.
    X11DesktopSnapshot snapshot();
    // The applications of the snapshot.
    QList<X11Application> applications();
    std::optional<X11Application> application(qint32 pid);
    // A client of the snapshot; none when it is gone.
    std::optional<X11WindowInfo> window(xcb_window_t window);
    // Main monitor first; read again only after a notice that they may have moved.
    QList<X11Monitor> monitors();
    // The numbers of the window manager's clients, always asked of the server.
    QSet<quint32> clientNumbers() const { return reader_.clientNumbers(); }
    X11CoordinateSpace space();

    // Requests; each makes the next reader ask the server again.
    X11WindowRequests& requests();

    // Forgets what was read.
    void invalidate();

    // Whether the event can change what the readers read. Input, exposure and changes of
    // properties outside `readProperties` cannot; any other event, unknown ones included, can.
    static bool changesDesktop(const xcb_generic_event_t& event,
                               const QSet<xcb_atom_t>& readProperties);
    // What tells that the monitors may have moved.
    struct MonitorNotices {
        // RandR's first event code; 0 without RandR.
        uint8_t randrFirstEvent = 0;
        xcb_window_t root = XCB_NONE;
        // The properties the monitors and the space docks reserve are read from.
        QSet<xcb_atom_t> properties;
    };
    // Whether the event can change the monitors or what docks reserve on them: a RandR notice,
    // a change of the root's geometry or of one of the properties, or a listened-to client
    // mapped, unmapped, reparented or destroyed.
    static bool movesMonitors(const xcb_generic_event_t& event, const MonitorNotices& notices);
    // What tells this state's monitors may have moved.
    const MonitorNotices& monitorNotices() const { return monitorNotices_; }

    // The clients in the order they last had the focus, followed from the first time it is
    // asked for.
    const X11FocusHistory& focusHistory();

    // The program's own shell while it is published: it runs as an application of its own.
    std::shared_ptr<const X11ShellContent> shell() const { return shell_.lock(); }
    // The shell to show something in; it stays published while anyone holds it.
    std::shared_ptr<X11ShellContent> holdShell();

  private:
    // Drops what was read when an event has arrived since.
    void checkFreshness();
    void turnEnded();
    void windowEvent(const X11WindowEvent& event);

    X11Connection connection_;
    X11WindowReader reader_;
    X11ScreenReader screenReader_;
    X11WindowRequests requests_;
    X11WindowEvents events_;
    X11DrawWatch drawWatch_;
    X11ApplicationRegistry registry_;
    double pointScale_;
    std::optional<X11DesktopSnapshot> snapshot_;
    // The windows read before they were listened to, read again once the turn of the event loop
    // is over.
    QList<xcb_window_t> unsettled_;
    // What the change events since the snapshot was read bear on.
    X11SnapshotChanges changes_;
    std::optional<QList<X11Application>> applications_;
    std::optional<QList<X11Monitor>> monitors_;
    // Notices that the monitors may have moved, counted as they arrive, and the count when
    // they were read.
    MonitorNotices monitorNotices_;
    quint64 monitorNoticeCount_ = 0;
    quint64 monitorsReadAtNotice_ = 0;
    quint64 readAtEvent_ = 0;
    std::optional<X11FocusHistory> focusHistory_;
    std::weak_ptr<X11ShellContent> shell_;
    QSet<xcb_atom_t> readProperties_;
};

}  // namespace pellucine
