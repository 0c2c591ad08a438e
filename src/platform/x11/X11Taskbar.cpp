#include "platform/x11/X11Taskbar.h"

#include <QAbstractEventDispatcher>
#include <QHash>

namespace pellucine {

X11Taskbar::X11Taskbar(std::weak_ptr<X11DesktopState> state,
                       std::function<bool(xcb_window_t)> isOwnWindow)
    : state_(std::move(state)), isOwnWindow_(std::move(isOwnWindow)) {
    refreshSoon_.setSingleShot(true);
    refreshSoon_.setInterval(0);
    QObject::connect(&refreshSoon_, &QTimer::timeout, [this] { refresh(); });
    if (const auto state = state_.lock()) {
        events_ = QObject::connect(&state->connection(), &X11Connection::eventReceived,
                                   [this](const xcb_generic_event_t& e) { event(e); });
        // After the state's own handler, which marks the clients to read again.
        if (auto* dispatcher = QAbstractEventDispatcher::instance(state->thread())) {
            turnEnded_ =
                QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] {
                    if (recheck_) {
                        recheck_ = false;
                        refreshSoon_.start();
                    }
                });
        }
    }
}

X11Taskbar::~X11Taskbar() {
    QObject::disconnect(events_);
    QObject::disconnect(turnEnded_);
    withdraw();
}

X11Taskbar::Reading X11Taskbar::readDesktop() const {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return {};
    }
    const X11DesktopSnapshot snapshot = state->snapshot();
    QHash<xcb_window_t, qint32> owners;
    for (const X11Application& app : state->applications()) {
        for (const xcb_window_t window : app.windows) {
            owners.insert(window, app.pid);
        }
    }
    Reading reading;
    QList<X11TaskbarButtons::Client> clients;
    QList<X11TaskbarButtons::Panel> panels;
    for (const X11WindowInfo& info : snapshot.windows) {
        reading.clients.insert(info.window);
        if (isOwnWindow_ && isOwnWindow_(info.window)) {
            continue;
        }
        if (info.type == X11WindowType::dock || info.hasStrut) {
            panels.append({info.window, info.frameRect(), info.isViewable});
            reading.panels.insert(info.window);
        } else if (const auto owner = owners.constFind(info.window); owner != owners.cend()) {
            clients.append({info.window, *owner, info.iconGeometry, info.isOnCurrentDesktop});
        }
    }
    reading.buttons = X11TaskbarButtons::from(clients, panels);
    return reading;
}

X11TaskbarButtons X11Taskbar::read() const {
    return readDesktop().buttons;
}

void X11Taskbar::refresh() {
    refreshSoon_.stop();
    Reading reading = readDesktop();
    for (const xcb_window_t window : std::as_const(reading.clients)) {
        if (!clients_.contains(window)) {
            recheck_ = true;
            break;
        }
    }
    panels_ = std::move(reading.panels);
    clients_ = std::move(reading.clients);
    const bool changed = !(reading.buttons == buttons_);
    buttons_ = std::move(reading.buttons);
    publish();
    if (changed && onChange_) {
        onChange_();
    }
}

void X11Taskbar::setPublished(bool published) {
    if (published == published_) {
        return;
    }
    published_ = published;
    publish();
}

void X11Taskbar::publish() {
    const auto state = state_.lock();
    if (!published_ || !state || buttons_.isEmpty()) {
        withdraw();
        return;
    }
    const X11CoordinateSpace space = state->space();
    QHash<qint32, X11Application> applications;
    for (const X11Application& app : state->applications()) {
        applications.insert(app.pid, app);
    }
    QList<X11ShellContent::Item> items;
    for (const X11TaskbarButtons::Item& button : buttons_.items) {
        const X11Application app = applications.value(button.pid);
        X11ShellContent::Item item{app.identity.name.value_or(QStringLiteral("Application")),
                                   space.toGlobal(button.frame), std::nullopt, button.pid};
        if (app.identity.fromDesktopEntry) {
            item.url = app.identity.location;
        }
        items.append(std::move(item));
    }
    auto shown = std::pair{space.toGlobal(*buttons_.dockFrame()), std::move(items)};
    if (content_ && shown_ == shown) {
        return;
    }
    if (!content_) {
        content_ = state->holdShell();
    }
    content_->dock.show(shown.first, shown.second);
    shown_ = std::move(shown);
}

void X11Taskbar::withdraw() {
    if (content_) {
        content_->dock.hide();
        content_.reset();
    }
    shown_.reset();
}

void X11Taskbar::event(const xcb_generic_event_t& event) {
    const auto state = state_.lock();
    if (!state || refreshSoon_.isActive()) {
        return;
    }
    const X11Atoms& atoms = state->connection().atoms();
    bool bears = X11DesktopState::movesMonitors(event, state->monitorNotices());
    switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            const xcb_atom_t atom = notify.atom;
            bears = bears || atom == atoms._NET_WM_ICON_GEOMETRY ||
                    atom == atoms._NET_WM_WINDOW_TYPE || atom == atoms._NET_WM_DESKTOP ||
                    atom == atoms._NET_CURRENT_DESKTOP ||
                    (atom == atoms._NET_FRAME_EXTENTS && panels_.contains(notify.window));
            break;
        }
        case XCB_CONFIGURE_NOTIFY:
            bears =
                bears || panels_.contains(
                             reinterpret_cast<const xcb_configure_notify_event_t&>(event).window);
            break;
        default:
            break;
    }
    if (bears) {
        refreshSoon_.start();
    }
}

}  // namespace pellucine
