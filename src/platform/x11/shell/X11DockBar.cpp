#include "platform/x11/shell/X11DockBar.h"

#include "platform/x11/X11ApplicationActivation.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/shell/X11ShellRenderer.h"

namespace pellucine {

X11DockBar::X11DockBar(std::weak_ptr<X11DesktopState> state, Workspace& workspace)
    : state_(std::move(state)), workspace_(workspace) {
    refreshSoon_.setSingleShot(true);
    refreshSoon_.setInterval(0);
    QObject::connect(&refreshSoon_, &QTimer::timeout, [this] { refresh(); });
}

X11DockBar::~X11DockBar() {
    setWanted(false);
}

void X11DockBar::setWanted(bool wanted) {
    if (wanted == wanted_) {
        return;
    }
    wanted_ = wanted;
    QObject::disconnect(windowEvents_);
    QObject::disconnect(monitorEvents_);
    if (const auto state = state_.lock(); state && wanted) {
        state->focusHistory();
        windowEvents_ =
            QObject::connect(&state->events(), &X11WindowEvents::windowEvent,
                             [this](const X11WindowEvent& event) { windowEvent(event); });
        monitorEvents_ = QObject::connect(
            &state->connection(), &X11Connection::eventReceived,
            [this, notices = state->monitorNotices()](const xcb_generic_event_t& event) {
                if (X11DesktopState::movesMonitors(event, notices)) {
                    refreshSoon_.start();
                }
            });
    }
    refresh();
}

void X11DockBar::setHeldDown(bool heldDown) {
    if (heldDown == heldDown_) {
        return;
    }
    heldDown_ = heldDown;
    refresh();
}

QList<std::pair<xcb_window_t, QRect>> X11DockBar::otherDocks(X11DesktopState& state) const {
    QList<std::pair<xcb_window_t, QRect>> docks;
    for (const X11WindowInfo& info : state.snapshot().windows) {
        if (info.type == X11WindowType::dock && info.window != barWindow()) {
            docks.append({info.window, info.frameRect()});
        }
    }
    return docks;
}

bool X11DockBar::isEdgeTaken() const {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return false;
    }
    const QList<X11Monitor> monitors = state->monitors();
    if (monitors.isEmpty()) {
        return false;
    }
    QList<QRect> frames;
    for (const auto& [window, frame] : otherDocks(*state)) {
        frames.append(frame);
    }
    return X11DockLayout::isEdgeTaken(monitors.first().rect, frames);
}

void X11DockBar::refresh() {
    refreshSoon_.stop();
    const auto state = state_.lock();
    if (!state || !wanted_ || heldDown_ || state->connection().hasError()) {
        hide();
        return;
    }
    const QList<X11Monitor> monitors = state->monitors();
    if (monitors.isEmpty()) {
        hide();
        return;
    }
    const QRect screen = monitors.first().rect;
    QList<QRect> dockFrames;
    otherDocks_.clear();
    for (const auto& [window, frame] : otherDocks(*state)) {
        otherDocks_.append(window);
        dockFrames.append(frame);
    }
    if (X11DockLayout::isEdgeTaken(screen, dockFrames)) {
        hide();
        return;
    }

    QList<X11Application> running;
    for (const X11Application& app : state->applications()) {
        if (app.policy == X11ActivationPolicy::regular && !app.windows.isEmpty()) {
            running.append(app);
        }
    }
    if (running.isEmpty()) {
        hide();
        return;
    }
    X11DockLayout layout =
        X11DockLayout::compute(static_cast<int>(running.size()), screen, state->space().scale());
    const X11FocusHistory& history = state->focusHistory();
    QList<xcb_window_t> iconWindows;
    for (const X11Application& app : std::as_const(running)) {
        if (const auto window = history.mostRecent(app.windows)) {
            iconWindows.append(*window);
        }
    }
    // Only the pictures shown are kept: a window can be gone before its end is heard of.
    icons_.keepOnly(QSet<xcb_window_t>(iconWindows.cbegin(), iconWindows.cend()));
    icons_.fetch(*state, iconWindows, layout.iconSize);
    QList<X11ShellEntry> entries;
    for (const X11Application& app : std::as_const(running)) {
        entries.append(X11ShellEntry::of(
            app, icons_.iconOf(app, history.mostRecent(app.windows), layout.iconSize)));
    }
    if (isShowing() && layout.bar == layout_.bar && entries == entries_) {
        return;
    }
    show(*state, std::move(layout), std::move(entries));
}

void X11DockBar::show(X11DesktopState& state, X11DockLayout layout, QList<X11ShellEntry> entries) {
    layout_ = std::move(layout);
    entries_ = std::move(entries);
    X11Connection& connection = state.connection();
    if (!window_) {
        window_ = std::make_unique<X11StripWindow>(connection, X11StripWindow::Role::dock);
        window_->setOnClick([this](QPoint point) { clicked(point); });
    }
    const X11CoordinateSpace space = state.space();
    const auto root = takeReply(connection.get(), xcb_get_geometry_reply,
                                xcb_get_geometry(connection.get(), connection.root()));
    const QSize rootSize =
        root ? QSize(root->width, root->height)
             : QSize(connection.screen().width_in_pixels, connection.screen().height_in_pixels);
    window_->setStrut(layout_.strut(rootSize));
    window_->show(layout_.bar, X11ShellRenderer::renderDock(layout_, X11ShellEntry::icons(entries_),
                                                            space.scale()));

    if (!content_) {
        content_ = state.holdShell();
    }
    content_->dock.show(space.toGlobal(layout_.bar),
                        X11ShellEntry::items(entries_, layout_, layout_.bar.topLeft(), space));
}

void X11DockBar::hide() {
    if (window_ && window_->isShown()) {
        window_->setStrut({});
        window_->hide();
    }
    if (content_) {
        content_->dock.hide();
        content_.reset();
    }
    layout_ = {};
    entries_.clear();
}

void X11DockBar::clicked(QPoint point) {
    const std::optional<int> index = layout_.itemAt(point);
    const auto state = state_.lock();
    if (!index || !state) {
        return;
    }
    activateApplication(*state, workspace_, entries_[*index].pid, X11MinimizedWindows::restoreAll);
}

void X11DockBar::windowEvent(const X11WindowEvent& event) {
    if (event.window == barWindow()) {
        return;
    }
    switch (event.kind) {
        case X11WindowEvent::Kind::destroyed:
            icons_.forget(event.window);
            refreshSoon_.start();
            break;
        case X11WindowEvent::Kind::created:
            refreshSoon_.start();
            break;
        case X11WindowEvent::Kind::moved:
        case X11WindowEvent::Kind::resized:
            if (otherDocks_.contains(event.window)) {
                refreshSoon_.start();
            }
            break;
        default:
            break;
    }
}

}  // namespace pellucine
