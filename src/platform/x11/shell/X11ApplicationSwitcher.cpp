#include "platform/x11/shell/X11ApplicationSwitcher.h"

#include <array>
#include <cstdlib>

#include "platform/KeyModifiers.h"
#include "platform/x11/X11ApplicationActivation.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11KeyboardMap.h"
#include "platform/x11/X11Reply.h"
#include "platform/x11/shell/X11ShellRenderer.h"

namespace pellucine {

namespace {

constexpr quint32 escapeKey = 53;
constexpr quint32 returnKey = 36;
constexpr quint32 leftKey = 123;
constexpr quint32 rightKey = 124;
constexpr std::array<xcb_keysym_t, 2> superKeysyms{0xffeb, 0xffec};

// A passive grab of the bare key, as a manager that opens its menu on Super holds one.
bool bareKeyGrabbedElsewhere(xcb_connection_t* c, xcb_window_t root, xcb_keycode_t keycode) {
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_grab_key_checked(c, 0, root, 0, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (!error) {
        xcb_ungrab_key(c, keycode, root, 0);
        xcb_flush(c);
        return false;
    }
    const bool held = error->error_code == XCB_ACCESS;
    std::free(error);
    return held;
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

bool X11ApplicationSwitcher::superKeyHeldElsewhere() {
    const auto state = state_.lock();
    if (!state) {
        return false;
    }
    xcb_connection_t* c = state->connection().get();
    const X11KeyboardLayout layout = X11KeyboardLayout::read(c);
    for (const xcb_keysym_t keysym : superKeysyms) {
        const std::optional<xcb_keycode_t> keycode = layout.keycodeOf(keysym);
        if (keycode && bareKeyGrabbedElsewhere(c, state->connection().root(), *keycode)) {
            return true;
        }
    }
    return false;
}

bool X11ApplicationSwitcher::start() {
    stop();
    startProblem_ = StartProblem::keyboardUnavailable;
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return false;
    }
    if (superKeyHeldElsewhere()) {
        startProblem_ = StartProblem::superKeyHeld;
        return false;
    }
    tap_ = keys_.createTap([this](const KeyEvent& event) { keyEvent(event); });
    if (!tap_) {
        return false;
    }
    QList<SwitcherBinding> refused;
    while (const std::optional<SwitcherBinding> candidate = SwitcherBinding::next(refused)) {
        if (take(*candidate)) {
            binding_ = candidate;
            break;
        }
        refused.append(*candidate);
    }
    if (!binding_) {
        stop();
        startProblem_ = StartProblem::combinationHeld;
        return false;
    }
    startProblem_ = StartProblem::none;

    if (!window_) {
        window_ = std::make_unique<X11StripWindow>(state->connection());
        window_->setOnClick([this](QPoint point) { clicked(point); });
    }
    state->focusHistory();
    windowEvents_ = QObject::connect(&state->events(), &X11WindowEvents::windowEvent,
                                     [this](const X11WindowEvent& event) { windowEvent(event); });
    content_ = state->holdShell();
    return true;
}

bool X11ApplicationSwitcher::take(const SwitcherBinding& binding) {
    for (const SwitcherBinding::Combination& combination : binding.combinations()) {
        const bool backward = combination.backward;
        const HotkeyRegistrationResult result = hotkeys_.registerHotkey(
            combination.keyCode, combination.modifiers, [this, backward] { pressed(backward); });
        if (!result.isRegistered()) {
            releaseHotkeys();
            return false;
        }
        hotkeyHandles_.append(result.handle);
    }
    return true;
}

void X11ApplicationSwitcher::releaseHotkeys() {
    for (const GlobalHotkeys::Handle handle : std::as_const(hotkeyHandles_)) {
        hotkeys_.unregisterHotkey(handle);
    }
    hotkeyHandles_.clear();
}

void X11ApplicationSwitcher::stop() {
    close();
    releaseHotkeys();
    binding_.reset();
    tap_.reset();
    QObject::disconnect(windowEvents_);
    content_.reset();
    icons_.clear();
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
    const X11FocusHistory& history = state->focusHistory();
    cycle_ = X11SwitcherCycle::begin(history.order(candidates), backward);
    if (cycle_.order.isEmpty()) {
        return;
    }
    activationsAtOpen_ = state->requests().lastActivation().count;

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
        if (const auto window = history.mostRecent(app.windows)) {
            iconWindows.append(*window);
        }
    }
    icons_.fetch(*state, iconWindows, layout_.iconSize);
    entries_.clear();
    for (const qint32 pid : std::as_const(cycle_.order)) {
        const auto found = byPid.constFind(pid);
        if (found == byPid.constEnd()) {
            continue;
        }
        entries_.append(X11ShellEntry::of(
            *found, icons_.iconOf(*found, history.mostRecent(found->windows), layout_.iconSize)));
    }
    redraw(true);

    // Held on the strip's own window: a grab on the root would keep this client's raw key
    // events, which the key taps live on, from it.
    // Not waited for: letting go of a grab that was refused changes nothing.
    xcb_discard_reply(connection.get(),
                      xcb_grab_keyboard(connection.get(), 0, window_->id(), XCB_CURRENT_TIME,
                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)
                          .sequence);
    connection.flush();

    // Super may have been let go before the strip was up.
    const quint64 modifiers = keyboard_.modifierFlags();
    if ((modifiers & KeyModifiers::command) == 0) {
        commit((modifiers & KeyModifiers::option) != 0);
    }
}

void X11ApplicationSwitcher::prepareIcons() {
    const auto state = state_.lock();
    if (!state || !content_) {
        return;
    }
    QList<X11Application> running;
    for (const X11Application& app : state->applications()) {
        if (app.policy == X11ActivationPolicy::regular && !app.windows.isEmpty()) {
            running.append(app);
        }
    }
    const QList<X11Monitor> monitors = state->monitors();
    if (running.isEmpty() || monitors.isEmpty()) {
        return;
    }
    const int side = X11SwitcherLayout::compute(static_cast<int>(running.size()),
                                                monitors.first().rect, state->space().scale())
                         .iconSize;
    const X11FocusHistory& history = state->focusHistory();
    QList<xcb_window_t> iconWindows;
    for (const X11Application& app : std::as_const(running)) {
        if (const auto window = history.mostRecent(app.windows)) {
            iconWindows.append(*window);
        }
    }
    icons_.fetch(*state, iconWindows, side);
    for (const X11Application& app : std::as_const(running)) {
        icons_.iconOf(app, history.mostRecent(app.windows), side);
    }
}

void X11ApplicationSwitcher::step(bool backward) {
    cycle_.step(backward);
    redraw(false);
}

void X11ApplicationSwitcher::redraw(bool newShowing) {
    const auto state = state_.lock();
    const double scale = state ? state->space().scale() : 1.0;
    const int selected = cycle_.selected;
    const QString name =
        selected >= 0 && selected < entries_.size() ? entries_[selected].name : QString();
    QImage picture = X11ShellRenderer::renderSwitcher(layout_, X11ShellEntry::icons(entries_),
                                                      selected, name, scale);
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
        content_->strip.show(
            space.toGlobal(layout_.strip),
            X11ShellEntry::items(entries_, layout_, layout_.strip.topLeft(), space));
    }
    content_->strip.selected = cycle_.selected;
}

void X11ApplicationSwitcher::close() {
    if (!isShowing()) {
        return;
    }
    window_->hide();
    // Shown only with the grab asked for.
    if (const auto state = state_.lock()) {
        xcb_ungrab_keyboard(state->connection().get(), XCB_CURRENT_TIME);
        state->connection().flush();
    }
    cycle_ = {};
    entries_.clear();
    if (content_) {
        content_->strip.hide();
    }
}

void X11ApplicationSwitcher::commit(bool restoreMinimized) {
    const std::optional<qint32> chosen = cycle_.selectedApplication();
    close();
    const auto state = state_.lock();
    if (chosen && state) {
        // A window of the chosen application picked while switching (in its glance) has been
        // asked for already; the manager may not have said so yet, and the application's most
        // recent window would replace it.
        const X11WindowRequests::Activation last = state->requests().lastActivation();
        const std::optional<X11Application> app = state->application(*chosen);
        if (last.count != activationsAtOpen_ && app && app->windows.contains(last.window)) {
            return;
        }
        activateApplication(
            *state, workspace_, *chosen,
            restoreMinimized ? X11MinimizedWindows::restoreMostRecent : X11MinimizedWindows::leave);
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
    if (event.kind == X11WindowEvent::Kind::destroyed) {
        icons_.forget(event.window);
    }
}

}  // namespace pellucine
