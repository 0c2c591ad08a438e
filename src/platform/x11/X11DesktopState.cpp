#include "platform/x11/X11DesktopState.h"

#include <xcb/randr.h>

#include <QAbstractEventDispatcher>
#include <algorithm>

namespace pellucine {

X11DesktopState::X11DesktopState(const QByteArray& displayName, double pointScale,
                                 DesktopEntries entries, ProcessInfo processes)
    : connection_(displayName),
      reader_(connection_),
      screenReader_(connection_),
      requests_(connection_),
      events_(connection_),
      drawWatch_(connection_, events_, systemContinuousClock()),
      registry_(std::move(entries), std::move(processes)),
      pointScale_(pointScale) {
    for (const auto& atoms : {X11WindowReader::readProperties(connection_.atoms()),
                              X11ScreenReader::readProperties(connection_.atoms())}) {
        for (const xcb_atom_t atom : atoms) {
            readProperties_.insert(atom);
        }
    }
    for (const xcb_atom_t atom : X11ScreenReader::readProperties(connection_.atoms())) {
        monitorNotices_.properties.insert(atom);
    }
    monitorNotices_.root = connection_.root();
    monitorNotices_.randrFirstEvent = screenReader_.listenForChanges();
    connection_.setChangeFilter([this](const xcb_generic_event_t& event) {
        drawWatch_.note(event);
        if (drawWatch_.isFrameNotice(event)) {
            return false;
        }
        if (movesMonitors(event, monitorNotices_)) {
            ++monitorNoticeCount_;
        }
        if (drawWatch_.isDamageNotice(event) || !changesDesktop(event, readProperties_)) {
            return false;
        }
        changes_.add(X11SnapshotChanges::of(event, connection_.root()));
        return true;
    });
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &X11DesktopState::turnEnded);
    }
    connect(&events_, &X11WindowEvents::windowEvent, this, &X11DesktopState::windowEvent);
    events_.start();
}

X11DesktopState::~X11DesktopState() {
    events_.stop();
    connection_.setChangeFilter({});
}

bool X11DesktopState::changesDesktop(const xcb_generic_event_t& event,
                                     const QSet<xcb_atom_t>& readProperties) {
    switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
        case XCB_MOTION_NOTIFY:
        case XCB_ENTER_NOTIFY:
        case XCB_LEAVE_NOTIFY:
        case XCB_FOCUS_IN:
        case XCB_FOCUS_OUT:
        case XCB_KEYMAP_NOTIFY:
        case XCB_EXPOSE:
        case XCB_GRAPHICS_EXPOSURE:
        case XCB_NO_EXPOSURE:
        // Raw input of the input extension.
        case XCB_GE_GENERIC:
            return false;
        case XCB_PROPERTY_NOTIFY:
            return readProperties.contains(
                reinterpret_cast<const xcb_property_notify_event_t&>(event).atom);
        default:
            return true;
    }
}

bool X11DesktopState::movesMonitors(const xcb_generic_event_t& event,
                                    const MonitorNotices& notices) {
    const int type = event.response_type & 0x7f;
    const int randr = notices.randrFirstEvent;
    if (randr != 0 &&
        (type == randr + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == randr + XCB_RANDR_NOTIFY)) {
        return true;
    }
    switch (type) {
        case XCB_MAP_NOTIFY:
        case XCB_UNMAP_NOTIFY:
        case XCB_REPARENT_NOTIFY:
        case XCB_DESTROY_NOTIFY:
            return true;
        case XCB_CONFIGURE_NOTIFY:
            return reinterpret_cast<const xcb_configure_notify_event_t&>(event).window ==
                   notices.root;
        case XCB_PROPERTY_NOTIFY:
            return notices.properties.contains(
                reinterpret_cast<const xcb_property_notify_event_t&>(event).atom);
        default:
            return false;
    }
}

const X11FocusHistory& X11DesktopState::focusHistory() {
    if (!focusHistory_) {
        const X11DesktopSnapshot current = snapshot();
        QList<xcb_window_t> frontToBack;
        for (const X11WindowInfo& info : current.windows) {
            frontToBack.append(info.window);
        }
        focusHistory_.emplace();
        focusHistory_->seed(frontToBack, current.activeWindow);
    }
    return *focusHistory_;
}

void X11DesktopState::windowEvent(const X11WindowEvent& event) {
    if (!focusHistory_) {
        return;
    }
    if (event.kind == X11WindowEvent::Kind::focusChanged) {
        focusHistory_->focused(event.window);
    } else if (event.kind == X11WindowEvent::Kind::destroyed) {
        focusHistory_->forget(event.window);
    }
}

std::shared_ptr<X11ShellContent> X11DesktopState::holdShell() {
    auto shell = shell_.lock();
    if (!shell) {
        shell = std::make_shared<X11ShellContent>();
        shell_ = shell;
    }
    return shell;
}

void X11DesktopState::invalidate() {
    snapshot_.reset();
    applications_.reset();
    monitors_.reset();
    changes_.clear();
}

void X11DesktopState::turnEnded() {
    if (!unsettled_.isEmpty()) {
        changes_.addWindows(unsettled_);
        unsettled_.clear();
        applications_.reset();
    }
}

void X11DesktopState::checkFreshness() {
    const quint64 received = connection_.receivedChangeCount();
    if (received != readAtEvent_) {
        readAtEvent_ = received;
        applications_.reset();
        if (changes_.everything()) {
            invalidate();
        }
    }
}

X11DesktopSnapshot X11DesktopState::snapshot() {
    checkFreshness();
    if (!snapshot_ || !changes_.isEmpty()) {
        X11WindowReader::Reread fresh = reader_.reread(snapshot_, changes_.windows());
        changes_.clear();
        applications_.reset();
        snapshot_ = std::move(fresh.snapshot);
        if (!events_.watch(snapshot_->windows)) {
            unsettled_.append(fresh.read);
        }
    }
    return *snapshot_;
}

QList<X11Application> X11DesktopState::applications() {
    checkFreshness();
    if (!applications_) {
        applications_ = registry_.applications(snapshot());
    }
    return *applications_;
}

std::optional<X11Application> X11DesktopState::application(qint32 pid) {
    const QList<X11Application> all = applications();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [pid](const X11Application& a) { return a.pid == pid; });
    if (it == all.end()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<X11WindowInfo> X11DesktopState::window(xcb_window_t window) {
    const X11DesktopSnapshot current = snapshot();
    if (const X11WindowInfo* info = current.find(window)) {
        return *info;
    }
    return std::nullopt;
}

QList<X11Monitor> X11DesktopState::monitors() {
    checkFreshness();
    if (!monitors_ || monitorsReadAtNotice_ != monitorNoticeCount_) {
        // Every client is listened to before its struts are read: a later change is a notice.
        snapshot();
        const quint64 notices = monitorNoticeCount_;
        monitors_ = screenReader_.monitors();
        monitorsReadAtNotice_ = notices;
    }
    return *monitors_;
}

X11CoordinateSpace X11DesktopState::space() {
    return X11ScreenReader::coordinateSpace(monitors(), pointScale_);
}

X11WindowRequests& X11DesktopState::requests() {
    invalidate();
    return requests_;
}

}  // namespace pellucine
