#pragma once

#include <xcb/xcb.h>

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "platform/linux/DesktopEntries.h"
#include "platform/linux/ProcessInfo.h"
#include "platform/x11/X11WindowReader.h"

namespace pellucine {

// How an application takes part in the desktop, from the windows it owns.
enum class X11ActivationPolicy {
    // It owns a normal window or dialog that is not kept off the taskbar.
    regular,
    // It owns only floating panels, splash screens or windows kept off the taskbar.
    accessory,
    // It owns only docks, menus, notifications and the like.
    prohibited
};

// Who an application is: an identifier derived from what the desktop offers, a name and where
// it lives.
struct X11ApplicationIdentity {
    std::optional<QString> identifier;
    std::optional<QString> name;
    std::optional<QUrl> location;
    // Found through a desktop entry.
    bool fromDesktopEntry = false;
    // The desktop entry's icon.
    QString icon;
    // Every name the window and its process go by besides the identifier, each once: the
    // desktop-file id it names, its Flatpak id, GTK application id, window class and instance,
    // and the executable's file name.
    QStringList aliases;
};

// The identity of the application owning `window`. The identifier is the first of: the
// desktop-file id (named by the window, or found through its GTK application id, its Flatpak
// id, its window class, or the window class as the last part of a reverse-DNS id), the Flatpak id,
// the GTK application id, the window class. The name is the desktop entry's, else the window class;
// the location the desktop file, else the executable.
X11ApplicationIdentity identifyApplication(const X11WindowInfo& window,
                                           const DesktopEntries& entries,
                                           const std::optional<QString>& flatpakId,
                                           const std::optional<QString>& executablePath);

X11ActivationPolicy activationPolicyOf(const QList<const X11WindowInfo*>& windows);

// One running application: the clients of one process.
struct X11Application {
    qint32 pid = 0;
    X11ApplicationIdentity identity;
    X11ActivationPolicy policy = X11ActivationPolicy::prohibited;
    bool isActive = false;
    bool isHidden = false;
    // Front to back.
    QList<xcb_window_t> windows;
};

// Groups clients by process into applications and keeps the hidden state, which X11 does not
// have: hiding iconifies an application's windows and marks it; the mark goes when the
// application is unhidden, quits, or shows a window again after all of them were seen
// minimized.
class X11ApplicationRegistry {
  public:
    X11ApplicationRegistry(DesktopEntries entries, ProcessInfo processes);

    // The applications of the snapshot in the order their first window was mapped. Clients
    // whose process is unknown are left out.
    QList<X11Application> applications(const X11DesktopSnapshot& snapshot);

    // Marks the application hidden, remembering the windows hiding minimized.
    void markHidden(qint32 pid, QList<xcb_window_t> minimizedByHiding);
    // Clears the mark; the windows hiding minimized, none when it was not hidden.
    std::optional<QList<xcb_window_t>> unmarkHidden(qint32 pid);

    const ProcessInfo& processes() const { return processes_; }

  private:
    struct HiddenMark {
        // All its windows have been seen minimized since it was hidden.
        bool confirmed = false;
        QList<xcb_window_t> minimizedByHiding;
    };

    // What was decided of a process, and from which of its windows.
    struct Decided {
        X11ApplicationIdentity identity;
        QSet<xcb_window_t> windows;
    };

    // Decided from the process's first window that leads to a desktop entry, else from its
    // first window; decided again by each later window while no entry was found.
    const X11ApplicationIdentity& identityOf(qint32 pid,
                                             const QList<const X11WindowInfo*>& windows);
    bool updateHidden(qint32 pid, const QList<const X11WindowInfo*>& windows);

    DesktopEntries entries_;
    ProcessInfo processes_;
    QHash<qint32, Decided> identities_;
    QHash<qint32, HiddenMark> hidden_;
};

}  // namespace pellucine
