#include "platform/x11/shell/X11SystemDock.h"

namespace pellucine {

X11SystemDock::X11SystemDock(std::weak_ptr<X11DesktopState> state, Workspace& workspace)
    : bar_(state, workspace), taskbar_(state, [this](xcb_window_t window) {
          return window != XCB_NONE && window == bar_.barWindow();
      }) {
    taskbar_.setOnChange([this] { update(); });
}

void X11SystemDock::setWanted(bool wanted) {
    if (wanted == wanted_) {
        return;
    }
    wanted_ = wanted;
    if (wanted) {
        // What the taskbar showed while unwanted was followed, but not necessarily read.
        taskbar_.refresh();
    }
    update();
    bar_.setWanted(wanted);
}

SystemDock::Kind X11SystemDock::kind() const {
    if (!taskbar_.read().isEmpty()) {
        return Kind::taskbar;
    }
    return bar_.kind();
}

std::optional<X11PointerPoll::Dock> X11SystemDock::pointerDock() const {
    if (taskbar_.isPublished()) {
        if (const std::optional<QRect> frame = taskbar_.buttons().dockFrame()) {
            return X11PointerPoll::Dock{*frame, false};
        }
    }
    if (const std::optional<QRect> frame = bar_.frame()) {
        return X11PointerPoll::Dock{*frame, true};
    }
    return std::nullopt;
}

void X11SystemDock::update() {
    if (taskbar_.buttons().isEmpty()) {
        taskbar_.setPublished(false);
        bar_.setHeldDown(false);
    } else {
        bar_.setHeldDown(true);
        taskbar_.setPublished(wanted_);
    }
}

}  // namespace pellucine
