#pragma once

#include <QMetaObject>
#include <QSet>
#include <memory>

#include "platform/NoticeList.h"
#include "platform/Workspace.h"
#include "platform/x11/X11DesktopState.h"

namespace pellucine {

// The processes that own clients, as running applications. Activation is a pager's request
// for the application's front window; hiding minimizes its windows and remembers which, so
// that unhiding brings back exactly those; quitting asks each window to close. Notices follow
// the clients: a process's first window is its launch, its last window gone its termination,
// and focus moving to it its activation.
class X11Workspace final : public Workspace {
  public:
    explicit X11Workspace(std::weak_ptr<X11DesktopState> state);
    ~X11Workspace() override;

    QList<RunningApplication> runningApplications() const override;
    std::optional<RunningApplication> runningApplication(qint32 processIdentifier) const override;
    bool activate(qint32 processIdentifier, ActivationOptions options) override;
    bool hide(qint32 processIdentifier) override;
    bool unhide(qint32 processIdentifier) override;
    // Sends WM_DELETE_WINDOW to every window that takes it; false when none does. A process
    // is never signalled: its pid may belong to another host or another pid namespace.
    bool terminate(qint32 processIdentifier) override;
    Subscription subscribe(std::function<void(const WorkspaceNotice&)> handler) override;

    static RunningApplication describe(const X11Application& application);

  private:
    void handle(const X11WindowEvent& event);
    void postRefresh();
    // Sends launch and termination notices for what changed since the last look.
    void refresh();
    QSet<qint32> runningPids() const;
    void post(WorkspaceNotice notice);

    std::weak_ptr<X11DesktopState> state_;
    NoticeList<WorkspaceNotice> notices_;
    QSet<qint32> known_;
    std::optional<qint32> activePid_;
    bool refreshPosted_ = false;
    QMetaObject::Connection connection_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
