#include "platform/x11/X11ApplicationSwitcher.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

#include "platform/KeyModifiers.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/X11SwitcherRenderer.h"
#include "platform/x11/X11WindowIcon.h"

namespace pellucine {

namespace {

constexpr quint32 tabKey = 48;
constexpr quint32 graveKey = 50;
constexpr quint32 escapeKey = 53;
constexpr quint32 returnKey = 36;
constexpr quint32 leftKey = 123;
constexpr quint32 rightKey = 124;

// _NET_WM_ICON is read up to this many 32-bit items (a 1024 by 1024 picture and more).
constexpr uint32_t iconPropertyLongs = 1u << 20;

QImage themeIcon(const QString& name, int side) {
    if (name.isEmpty() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return {};
    }
    const QIcon icon = QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
    return icon.isNull() ? QImage() : icon.pixmap(side, side).toImage();
}

}  // namespace

X11ApplicationSwitcher::X11ApplicationSwitcher(std::weak_ptr<X11DesktopState> state,
                                               GlobalHotkeys& hotkeys, KeyEventSource& keys,
                                               KeyboardState& keyboard, Workspace& workspace)
    : state_(std::move(state)),
      hotkeys_(hotkeys),
      keys_(keys),
      keyboard_(keyboard),
      workspace_(workspace) {}

X11ApplicationSwitcher::~X11ApplicationSwitcher() {
    stop();
}

bool X11ApplicationSwitcher::start() {
    stop();
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return false;
    }
    tap_ = keys_.createTap([this](const KeyEvent& event) { keyEvent(event); });
    if (!tap_) {
        return false;
    }
    const std::pair<quint64, bool> combinations[] = {
        {KeyModifiers::command, false},
        {KeyModifiers::command | KeyModifiers::shift, true},
    };
    const auto take = [this](quint32 key, quint64 modifiers, bool backward) {
        const HotkeyRegistrationResult result =
            hotkeys_.registerHotkey(key, modifiers, [this, backward] { pressed(backward); });
        if (result.isRegistered()) {
            hotkeyHandles_.append(result.handle);
        }
        return result.isRegistered();
    };
    bool taken = true;
    for (const auto& [modifiers, backward] : combinations) {
        taken = taken && take(tabKey, modifiers, backward);
    }
    taken = taken && take(graveKey, KeyModifiers::command, true);
    if (!taken) {
        stop();
        return false;
    }

    if (!window_) {
        window_ = std::make_unique<X11StripWindow>(state->connection());
        window_->setOnClick([this](QPoint point) { clicked(point); });
    }
    const X11DesktopSnapshot snapshot = state->snapshot();
    QList<xcb_window_t> frontToBack;
    for (const X11WindowInfo& info : snapshot.windows) {
        frontToBack.append(info.window);
    }
    history_.seed(frontToBack, snapshot.activeWindow);
    windowEvents_ = QObject::connect(&state->events(), &X11WindowEvents::windowEvent,
                                     [this](const X11WindowEvent& event) { windowEvent(event); });

    content_ = std::make_shared<X11ShellContent>();
    content_->bundleIdentifier = shellIdentifier;
    state->publishShell(content_);
    return true;
}

void X11ApplicationSwitcher::stop() {
    close();
    for (const GlobalHotkeys::Handle handle : std::as_const(hotkeyHandles_)) {
        hotkeys_.unregisterHotkey(handle);
    }
    hotkeyHandles_.clear();
    tap_.reset();
    QObject::disconnect(windowEvents_);
    content_.reset();
    windowIcons_.clear();
}

bool X11ApplicationSwitcher::dismiss() {
    if (!isShowing()) {
        return false;
    }
    close();
    return true;
}

void X11ApplicationSwitcher::pressed(bool backward) {
    if (isShowing()) {
        step(backward);
    } else {
        open(backward);
    }
}

void X11ApplicationSwitcher::open(bool backward) {
    const auto state = state_.lock();
    if (!state || !content_ || !window_) {
        return;
    }
    QList<X11FocusHistory::Application> candidates;
    QHash<qint32, X11Application> byPid;
    for (const X11Application& app : state->applications()) {
        if (app.policy == X11ActivationPolicy::regular && !app.windows.isEmpty()) {
            candidates.append({app.pid, app.windows});
            byPid.insert(app.pid, app);
        }
    }
    cycle_ = X11SwitcherCycle::begin(history_.order(candidates), backward);
    if (cycle_.order.isEmpty()) {
        return;
    }

    // The screen that holds the pointer, else the main one.
    X11Connection& connection = state->connection();
    const auto pointer = takeReply(connection.get(), xcb_query_pointer_reply,
                                   xcb_query_pointer(connection.get(), connection.root()));
    const QList<X11Monitor> monitors = state->monitors();
    QRect screen = monitors.isEmpty() ? QRect(0, 0, connection.screen().width_in_pixels,
                                              connection.screen().height_in_pixels)
                                      : monitors.first().rect;
    for (const X11Monitor& monitor : monitors) {
        if (pointer && monitor.rect.contains(pointer->root_x, pointer->root_y)) {
            screen = monitor.rect;
            break;
        }
    }
    layout_ = X11SwitcherLayout::compute(static_cast<int>(cycle_.order.size()), screen,
                                         state->space().scale());

    QList<xcb_window_t> iconWindows;
    for (const X11Application& app : std::as_const(byPid)) {
        if (const auto window = history_.mostRecent(app.windows)) {
            iconWindows.append(*window);
        }
    }
    fetchWindowIcons(*state, iconWindows, layout_.iconSize);
    entries_.clear();
    for (const qint32 pid : std::as_const(cycle_.order)) {
        const auto found = byPid.constFind(pid);
        if (found == byPid.constEnd()) {
            continue;
        }
        const X11Application& app = *found;
        Entry entry{pid, app.identity.name.value_or(QStringLiteral("Application"))};
        if (app.identity.fromDesktopEntry) {
            entry.url = app.identity.location;
        }
        entry.icon = iconOf(app, layout_.iconSize);
        entries_.append(std::move(entry));
    }
    redraw(true);

    // Held on the strip's own window: a grab on the root would keep this client's raw key
    // events, which the key taps live on, from it.
    const auto grab =
        takeReply(connection.get(), xcb_grab_keyboard_reply,
                  xcb_grab_keyboard(connection.get(), 0, window_->id(), XCB_CURRENT_TIME,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    holdsKeyboard_ = grab && grab->status == XCB_GRAB_STATUS_SUCCESS;

    // Super may have been let go before the strip was up.
    const quint64 modifiers = keyboard_.modifierFlags();
    if ((modifiers & KeyModifiers::command) == 0) {
        commit((modifiers & KeyModifiers::option) != 0);
    }
}

void X11ApplicationSwitcher::step(bool backward) {
    cycle_.step(backward);
    redraw(false);
}

void X11ApplicationSwitcher::redraw(bool newShowing) {
    QList<QImage> icons;
    for (const Entry& entry : std::as_const(entries_)) {
        icons.append(entry.icon);
    }
    const auto state = state_.lock();
    const double scale = state ? state->space().scale() : 1.0;
    const int selected = cycle_.selected;
    const QString name =
        selected >= 0 && selected < entries_.size() ? entries_[selected].name : QString();
    QImage picture = X11SwitcherRenderer::render(layout_, icons, selected, name, scale);
    if (newShowing) {
        window_->show(layout_.strip, std::move(picture));
    } else {
        window_->update(std::move(picture));
    }
    publish(newShowing);
}

void X11ApplicationSwitcher::publish(bool newShowing) {
    const auto state = state_.lock();
    if (!state || !content_) {
        return;
    }
    if (newShowing) {
        const X11CoordinateSpace space = state->space();
        ++content_->showing;
        content_->strip = space.toGlobal(layout_.strip);
        content_->items.clear();
        for (int i = 0; i < entries_.size(); ++i) {
            content_->items.append(
                {entries_[i].name,
                 space.toGlobal(layout_.items[i].translated(layout_.strip.topLeft())),
                 entries_[i].url});
        }
    }
    content_->selected = cycle_.selected;
}

void X11ApplicationSwitcher::close() {
    if (!isShowing()) {
        return;
    }
    window_->hide();
    if (const auto state = state_.lock(); state && holdsKeyboard_) {
        xcb_ungrab_keyboard(state->connection().get(), XCB_CURRENT_TIME);
        state->connection().flush();
    }
    holdsKeyboard_ = false;
    cycle_ = {};
    entries_.clear();
    if (content_) {
        ++content_->showing;
        content_->strip.reset();
        content_->items.clear();
        content_->selected = -1;
    }
}

void X11ApplicationSwitcher::commit(bool restoreMinimized) {
    const std::optional<qint32> chosen = cycle_.selectedApplication();
    close();
    if (chosen) {
        activate(*chosen, restoreMinimized);
    }
}

void X11ApplicationSwitcher::activate(qint32 pid, bool restoreMinimized) {
    const auto state = state_.lock();
    std::optional<X11Application> app = state ? state->application(pid) : std::nullopt;
    if (!app) {
        return;
    }
    QList<xcb_window_t> shown;
    QList<xcb_window_t> minimized;
    for (const xcb_window_t window : std::as_const(app->windows)) {
        const std::optional<X11WindowInfo> info = state->window(window);
        if (info) {
            (info->isMinimized() ? minimized : shown).append(window);
        }
    }
    std::optional<xcb_window_t> target = history_.mostRecent(shown);
    if (app->isHidden) {
        // Unhiding brings back the windows hiding minimized.
        workspace_.unhide(pid);
        target = history_.mostRecent(shown + minimized);
    } else if (!target && restoreMinimized) {
        target = history_.mostRecent(minimized);
        if (target) {
            state->requests().deiconify(*target);
        }
    }
    if (target) {
        state->requests().activate(*target);
    }
}

void X11ApplicationSwitcher::keyEvent(const KeyEvent& event) {
    if (!isShowing()) {
        return;
    }
    if (event.type == KeyEvent::Type::flagsChanged) {
        if ((event.modifiers & KeyModifiers::command) == 0) {
            commit((event.modifiers & KeyModifiers::option) != 0);
        }
        return;
    }
    if (event.type != KeyEvent::Type::keyDown) {
        return;
    }
    switch (event.keyCode) {
        case escapeKey:
            close();
            break;
        case returnKey:
            commit(false);
            break;
        case leftKey:
            step(true);
            break;
        case rightKey:
            step(false);
            break;
        default:
            break;
    }
}

void X11ApplicationSwitcher::clicked(QPoint point) {
    if (const std::optional<int> index = layout_.itemAt(point)) {
        cycle_.select(*index);
        redraw(false);
        commit(false);
    }
}

void X11ApplicationSwitcher::windowEvent(const X11WindowEvent& event) {
    switch (event.kind) {
        case X11WindowEvent::Kind::focusChanged:
            history_.focused(event.window);
            break;
        case X11WindowEvent::Kind::destroyed:
            history_.forget(event.window);
            windowIcons_.remove(event.window);
            break;
        default:
            break;
    }
}

void X11ApplicationSwitcher::fetchWindowIcons(X11DesktopState& state,
                                              const QList<xcb_window_t>& windows, int side) {
    xcb_connection_t* c = state.connection().get();
    QList<std::pair<xcb_window_t, xcb_get_property_cookie_t>> requests;
    for (const xcb_window_t window : windows) {
        if (!windowIcons_.contains(window)) {
            requests.append(
                {window, requestProperty(c, window, state.connection().atoms()._NET_WM_ICON,
                                         iconPropertyLongs)});
        }
    }
    for (const auto& [window, cookie] : requests) {
        const auto property = takeProperty(c, cookie);
        windowIcons_.insert(
            window, property ? X11WindowIcon::choose(property->values32(), side) : QImage());
    }
}

QImage X11ApplicationSwitcher::iconOf(const X11Application& app, int side) {
    if (const std::optional<xcb_window_t> window = history_.mostRecent(app.windows)) {
        const QImage icon = windowIcons_.value(*window);
        if (!icon.isNull()) {
            return icon;
        }
    }
    const QString key = app.identity.icon + QLatin1Char('@') + QString::number(side);
    auto themed = themeIcons_.find(key);
    if (themed == themeIcons_.end()) {
        themed = themeIcons_.insert(key, themeIcon(app.identity.icon, side));
    }
    return *themed;
}

}  // namespace pellucine
