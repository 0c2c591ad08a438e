#pragma once

#include <QList>
#include <functional>

#include "base/Subscription.h"
#include "platform/RunningApplication.h"

namespace pellucine {

struct WorkspaceNotice {
    enum class Kind { launched, terminated, activated };
    Kind kind = Kind::launched;
    qint32 processIdentifier = 0;

    friend bool operator==(const WorkspaceNotice&, const WorkspaceNotice&) = default;
};

struct ActivationOptions {
    // Bring every window of the application forward, not only its key window.
    bool allWindows = false;
};

// The running applications and what can be asked of them. Main thread only; notices arrive
// on the main thread.
class Workspace {
  public:
    virtual ~Workspace() = default;

    // In the workspace's order.
    virtual QList<RunningApplication> runningApplications() const = 0;
    virtual std::optional<RunningApplication> runningApplication(
        qint32 processIdentifier) const = 0;

    // Each answers false when no such application runs or it refuses.
    virtual bool activate(qint32 processIdentifier, ActivationOptions options) = 0;
    virtual bool hide(qint32 processIdentifier) = 0;
    virtual bool unhide(qint32 processIdentifier) = 0;
    // Asks the application to quit.
    virtual bool terminate(qint32 processIdentifier) = 0;

    virtual Subscription subscribe(std::function<void(const WorkspaceNotice&)> handler) = 0;
};

// The active application, when the workspace reports one.
inline std::optional<RunningApplication> frontmostApplication(const Workspace& workspace) {
    for (const RunningApplication& application : workspace.runningApplications()) {
        if (application.isActive) {
            return application;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
