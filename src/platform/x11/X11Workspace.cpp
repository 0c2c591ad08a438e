#include "platform/x11/X11Workspace.h"

#include <QTimer>
#include <algorithm>

namespace pellucine {

namespace {

ActivationPolicy portPolicy(X11ActivationPolicy policy) {
    switch (policy) {
        case X11ActivationPolicy::regular:
            return ActivationPolicy::regular;
        case X11ActivationPolicy::accessory:
            return ActivationPolicy::accessory;
        case X11ActivationPolicy::prohibited:
            return ActivationPolicy::prohibited;
    }
    return ActivationPolicy::prohibited;
}

// The application's windows that are not minimized, front to back.
QList<xcb_window_t> shownWindows(X11DesktopState& state, const X11Application& app) {
    QList<xcb_window_t> shown;
    for (const xcb_window_t window : app.windows) {
        const std::optional<X11WindowInfo> info = state.window(window);
        if (info && !info->isMinimized()) {
            shown.append(window);
        }
    }
    return shown;
}

}  // namespace

X11Workspace::X11Workspace(std::weak_ptr<X11DesktopState> state) : state_(std::move(state)) {
    if (const auto s = state_.lock()) {
        known_ = runningPids();
        for (const X11Application& app : s->applications()) {
            if (app.isActive) {
                activePid_ = app.pid;
            }
        }
        connection_ = QObject::connect(&s->events(), &X11WindowEvents::windowEvent,
                                       [this](const X11WindowEvent& event) { handle(event); });
    }
}

X11Workspace::~X11Workspace() {
    QObject::disconnect(connection_);
}

RunningApplication X11Workspace::describe(const X11Application& application) {
    RunningApplication running;
    running.processIdentifier = application.pid;
    running.bundleIdentifier = application.identity.identifier;
    running.aliases = application.identity.aliases;
    running.localizedName = application.identity.name;
    running.bundleURL = application.identity.location;
    running.activationPolicy = portPolicy(application.policy);
    running.isActive = application.isActive;
    running.isHidden = application.isHidden;
    return running;
}

QList<RunningApplication> X11Workspace::runningApplications() const {
    QList<RunningApplication> list;
    if (const auto state = state_.lock()) {
        for (const X11Application& app : state->applications()) {
            list.append(describe(app));
        }
        if (const auto shell = state->shell()) {
            list.append(shell->application());
        }
    }
    return list;
}

std::optional<RunningApplication> X11Workspace::runningApplication(qint32 processIdentifier) const {
    const auto state = state_.lock();
    if (const auto shell = state ? state->shell() : nullptr;
        shell && processIdentifier == X11ShellContent::processIdentifier) {
        return shell->application();
    }
    const auto app = state ? state->application(processIdentifier) : std::nullopt;
    if (!app) {
        return std::nullopt;
    }
    return describe(*app);
}

bool X11Workspace::activate(qint32 processIdentifier, ActivationOptions options) {
    const auto state = state_.lock();
    const auto found = state ? state->application(processIdentifier) : std::nullopt;
    if (!found) {
        return false;
    }
    if (found->isHidden) {
        unhide(processIdentifier);
    }
    const auto app = state->application(processIdentifier);
    QList<xcb_window_t> shown = app ? shownWindows(*state, *app) : QList<xcb_window_t>{};
    X11WindowRequests& requests = state->requests();
    // A window just raised on request is the front one, though the window manager may not have
    // restacked it, or restored it from minimized, yet.
    bool raisedOne = false;
    if (const xcb_window_t raised = requests.raisedAhead();
        raised != XCB_NONE && app && app->windows.contains(raised)) {
        shown.removeOne(raised);
        shown.prepend(raised);
        raisedOne = true;
    }
    if (shown.isEmpty()) {
        return true;
    }
    // A window just raised on request comes forward alone: with the application's other windows
    // raised too, xfwm4 can hand the focus to one of them after activating it.
    if (options.allWindows && !raisedOne) {
        // Back to front, so that they keep their order above every other window.
        for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
            requests.raise(*it);
        }
    }
    requests.activate(shown.first());
    return true;
}

bool X11Workspace::hide(qint32 processIdentifier) {
    const auto state = state_.lock();
    const auto found = state ? state->application(processIdentifier) : std::nullopt;
    if (!found) {
        return false;
    }
    const QList<xcb_window_t> minimizing = shownWindows(*state, *found);
    state->registry().markHidden(processIdentifier, minimizing);
    for (const xcb_window_t window : minimizing) {
        state->requests().iconify(window);
    }
    return true;
}

bool X11Workspace::unhide(qint32 processIdentifier) {
    const auto state = state_.lock();
    if (!state || !state->application(processIdentifier)) {
        return false;
    }
    const std::optional<QList<xcb_window_t>> windows =
        state->registry().unmarkHidden(processIdentifier);
    for (const xcb_window_t window : windows.value_or(QList<xcb_window_t>{})) {
        const auto info = state->window(window);
        if (info && info->pid == processIdentifier) {
            state->requests().deiconify(window);
        }
    }
    return true;
}

bool X11Workspace::terminate(qint32 processIdentifier) {
    const auto state = state_.lock();
    const auto found = state ? state->application(processIdentifier) : std::nullopt;
    if (!found) {
        return false;
    }
    QList<X11WindowInfo> windows;
    for (const xcb_window_t window : found->windows) {
        if (const auto info = state->window(window)) {
            windows.append(*info);
        }
    }
    bool asked = false;
    for (const X11WindowInfo& info : windows) {
        asked = state->requests().close(info) || asked;
    }
    return asked;
}

Subscription X11Workspace::subscribe(std::function<void(const WorkspaceNotice&)> handler) {
    return notices_.add(std::move(handler));
}

QSet<qint32> X11Workspace::runningPids() const {
    QSet<qint32> pids;
    if (const auto state = state_.lock()) {
        for (const X11Application& app : state->applications()) {
            pids.insert(app.pid);
        }
    }
    return pids;
}

void X11Workspace::handle(const X11WindowEvent& event) {
    using Kind = X11WindowEvent::Kind;
    if (event.kind == Kind::created || event.kind == Kind::destroyed) {
        postRefresh();
    } else if (event.kind == Kind::focusChanged && event.pid && event.pid != activePid_) {
        activePid_ = event.pid;
        post({WorkspaceNotice::Kind::activated, *event.pid});
    }
}

void X11Workspace::postRefresh() {
    // One look at the applications for every window created or destroyed before it runs, however
    // many a client makes.
    const auto state = state_.lock();
    if (!state || refreshPosted_) {
        return;
    }
    refreshPosted_ = true;
    QTimer::singleShot(0, &state->events(), [this, alive = std::weak_ptr<const bool>(alive_)] {
        if (!alive.expired()) {
            refreshPosted_ = false;
            refresh();
        }
    });
}

void X11Workspace::refresh() {
    const QSet<qint32> now = runningPids();
    const QSet<qint32> before = std::exchange(known_, now);
    QList<WorkspaceNotice> notices;
    for (const qint32 pid : now) {
        if (!before.contains(pid)) {
            notices.append({WorkspaceNotice::Kind::launched, pid});
        }
    }
    for (const qint32 pid : before) {
        if (!now.contains(pid)) {
            notices.append({WorkspaceNotice::Kind::terminated, pid});
        }
    }
    // Sent at once: this already runs apart from the server's events, and notices posted
    // since (an activation) must follow. A handler may end this workspace.
    const std::weak_ptr<const bool> alive = alive_;
    for (const WorkspaceNotice& notice : notices) {
        if (alive.expired()) {
            return;
        }
        notices_.send(notice);
    }
}

void X11Workspace::post(WorkspaceNotice notice) {
    const auto state = state_.lock();
    if (!state) {
        return;
    }
    QTimer::singleShot(0, &state->events(),
                       [this, alive = std::weak_ptr<const bool>(alive_), notice] {
                           if (!alive.expired()) {
                               notices_.send(notice);
                           }
                       });
}

}  // namespace pellucine
