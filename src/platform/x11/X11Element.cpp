#include "platform/x11/X11Element.h"

#include <cmath>

#include "platform/AccessibilityNames.h"

namespace pellucine {

namespace {

AttributeResult noValue() {
    return AttributeResult::failed(AccessibilityStatus::noValue);
}

AttributeResult failure() {
    return AttributeResult::failed(AccessibilityStatus::failure);
}

}  // namespace

X11Element::X11Element(std::weak_ptr<X11DesktopState> state, Kind kind, qint32 pid,
                       xcb_window_t window)
    : state_(std::move(state)), kind_(kind), pid_(pid), window_(window) {}

ElementRef X11Element::make(const std::weak_ptr<X11DesktopState>& state, Kind kind, qint32 pid,
                            xcb_window_t window) {
    return std::make_shared<X11Element>(state, kind, pid, window);
}

ElementRef X11Element::element(Kind kind, xcb_window_t window) const {
    return make(state_, kind, pid_, window);
}

QStringView X11Element::subroleOf(X11WindowType type) {
    switch (type) {
        case X11WindowType::normal:
            return ax::standardWindow;
        case X11WindowType::dialog:
            return ax::dialog;
        case X11WindowType::utility:
        case X11WindowType::toolbar:
            return u"AXFloatingWindow";
        default:
            return u"AXUnknown";
    }
}

AttributeResult X11Element::attribute(QStringView name) const {
    const auto state = state_.lock();
    if (!state) {
        return failure();
    }
    if (kind_ == Kind::application) {
        return applicationAttribute(*state, name);
    }
    const std::optional<X11WindowInfo> info = state->window(window_);
    if (!info) {
        return failure();
    }
    if (kind_ == Kind::window) {
        return windowAttribute(*state, *info, name);
    }
    if (!info->acceptsDelete) {
        return failure();
    }
    if (name == ax::role) {
        return AttributeResult::success(ax::buttonRole);
    }
    if (name == ax::subrole) {
        return AttributeResult::success(ax::closeButtonSubrole);
    }
    if (name == ax::parent) {
        return AttributeResult::success(element(Kind::window, window_));
    }
    return failure();
}

AttributeResult X11Element::applicationAttribute(X11DesktopState& state, QStringView name) const {
    const std::optional<X11Application> app = state.application(pid_);
    if (name == ax::role) {
        return AttributeResult::success(ax::applicationRole);
    }
    if (name == ax::windows || name == ax::children) {
        ElementList windows;
        if (app) {
            for (const xcb_window_t window : app->windows) {
                windows.append(element(Kind::window, window));
            }
        } else if (!state.registry().processes().isRunning(pid_)) {
            return failure();
        }
        return AttributeResult::success(std::move(windows));
    }
    if (!app) {
        return failure();
    }
    if (name == ax::title) {
        return app->identity.name ? AttributeResult::success(*app->identity.name) : noValue();
    }
    if (name == ax::frontmost) {
        return AttributeResult::success(app->isActive);
    }
    if (name == ax::hidden) {
        return AttributeResult::success(app->isHidden);
    }
    if (name == ax::focusedWindow) {
        const xcb_window_t active = state.snapshot().activeWindow;
        if (app->windows.contains(active)) {
            return AttributeResult::success(element(Kind::window, active));
        }
        for (const xcb_window_t window : app->windows) {
            const std::optional<X11WindowInfo> info = state.window(window);
            if (info && !info->isMinimized()) {
                return AttributeResult::success(element(Kind::window, window));
            }
        }
        return noValue();
    }
    return failure();
}

AttributeResult X11Element::windowAttribute(X11DesktopState& state, const X11WindowInfo& info,
                                            QStringView name) const {
    if (name == ax::role) {
        return AttributeResult::success(ax::windowRole);
    }
    if (name == ax::subrole) {
        return AttributeResult::success(subroleOf(info.type));
    }
    if (name == ax::title) {
        return AttributeResult::success(info.title);
    }
    if (name == ax::position || name == ax::size) {
        const GlobalRect frame = state.space().toGlobal(info.frameRect());
        return name == ax::position ? AttributeResult::success(frame.origin())
                                    : AttributeResult::success(frame.size());
    }
    if (name == ax::minimized) {
        return AttributeResult::success(info.isMinimized());
    }
    if (name == ax::fullScreen) {
        return AttributeResult::success(info.isFullScreen);
    }
    if (name == ax::focused) {
        return AttributeResult::success(state.snapshot().activeWindow == window_);
    }
    if (name == ax::closeButton) {
        return info.acceptsDelete ? AttributeResult::success(element(Kind::closeButton, window_))
                                  : noValue();
    }
    if (name == ax::parent) {
        return AttributeResult::success(element(Kind::application));
    }
    if (name == ax::children) {
        ElementList children;
        if (info.acceptsDelete) {
            children.append(element(Kind::closeButton, window_));
        }
        return AttributeResult::success(std::move(children));
    }
    return failure();
}

AccessibilityStatus X11Element::setAttribute(QStringView name, const AccessibilityValue& value) {
    const auto state = state_.lock();
    if (!state || kind_ != Kind::window) {
        return AccessibilityStatus::failure;
    }
    const std::optional<X11WindowInfo> found = state->window(window_);
    if (!found) {
        return AccessibilityStatus::failure;
    }
    const X11WindowInfo& info = *found;
    if (name == ax::minimized || name == ax::fullScreen) {
        const std::optional<bool> on = value.toBoolean();
        if (!on) {
            return AccessibilityStatus::failure;
        }
        if (name == ax::fullScreen) {
            state->requests().setFullScreen(window_, *on);
        } else if (*on) {
            state->requests().iconify(window_);
        } else if (info.isMinimized()) {
            state->requests().deiconify(window_);
        }
        return AccessibilityStatus::success;
    }
    if (name == ax::position) {
        const std::optional<GlobalPoint> p = value.toPoint();
        if (!p || !std::isfinite(p->x) || !std::isfinite(p->y)) {
            return AccessibilityStatus::failure;
        }
        const QPoint topLeft = state->space().toRoot(*p);
        state->requests().move(info, topLeft);
        return AccessibilityStatus::success;
    }
    if (name == ax::size) {
        const std::optional<Size> s = value.toSize();
        if (!s || !std::isfinite(s->width) || !std::isfinite(s->height) || s->width < 0 ||
            s->height < 0) {
            return AccessibilityStatus::failure;
        }
        const double scale = state->space().scale();
        const QSize size(static_cast<int>(std::lround(s->width * scale)),
                         static_cast<int>(std::lround(s->height * scale)));
        state->requests().resize(info, size);
        return AccessibilityStatus::success;
    }
    return AccessibilityStatus::failure;
}

AccessibilityStatus X11Element::performAction(QStringView name) {
    const auto state = state_.lock();
    if (!state || kind_ == Kind::application) {
        return AccessibilityStatus::failure;
    }
    const std::optional<X11WindowInfo> found = state->window(window_);
    if (!found) {
        return AccessibilityStatus::failure;
    }
    const X11WindowInfo& info = *found;
    if (kind_ == Kind::window && name == ax::raise) {
        state->requests().raise(window_);
        return AccessibilityStatus::success;
    }
    if (kind_ == Kind::closeButton && name == ax::press) {
        return state->requests().close(info) ? AccessibilityStatus::success
                                             : AccessibilityStatus::failure;
    }
    return AccessibilityStatus::failure;
}

AttributeResult X11Element::elementAtPosition(float x, float y) const {
    const auto state = state_.lock();
    if (!state || kind_ == Kind::closeButton) {
        return failure();
    }
    const GlobalPoint point{x, y};
    const X11CoordinateSpace space = state->space();
    const X11DesktopSnapshot snapshot = state->snapshot();
    for (const X11WindowInfo& info : snapshot.windows) {
        const bool inScope = kind_ == Kind::application ? info.pid == pid_ : info.window == window_;
        if (inScope && info.isOnScreen() && space.toGlobal(info.frameRect()).contains(point)) {
            return AttributeResult::success(
                make(state_, Kind::window, info.pid.value_or(pid_), info.window));
        }
    }
    return noValue();
}

std::optional<qint32> X11Element::processIdentifier() const {
    if (state_.expired()) {
        return std::nullopt;
    }
    return pid_;
}

std::optional<quint32> X11Element::windowNumber() const {
    if (kind_ != Kind::window) {
        return std::nullopt;
    }
    return window_;
}

bool X11Element::isSameElement(const AccessibilityElement& other) const {
    const auto* x11 = dynamic_cast<const X11Element*>(&other);
    return x11 != nullptr && x11->kind_ == kind_ && x11->pid_ == pid_ && x11->window_ == window_ &&
           !x11->state_.owner_before(state_) && !state_.owner_before(x11->state_);
}

}  // namespace pellucine
