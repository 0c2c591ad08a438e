#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <memory>
#include <optional>

#include "platform/GlobalHotkeys.h"
#include "platform/KeyEventSource.h"
#include "platform/KeyboardState.h"
#include "platform/SystemSwitcher.h"
#include "platform/Workspace.h"
#include "platform/x11/X11ApplicationIcons.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/shell/X11ShellEntry.h"
#include "platform/x11/shell/X11StripWindow.h"
#include "platform/x11/shell/X11SwitcherCycle.h"
#include "platform/x11/shell/X11SwitcherLayout.h"

namespace pellucine {

// The application switcher X11 lacks, drawn by the program itself and published as the shell's
// strip. Super+Tab opens a strip of the running regular applications, most recently active
// first, on the screen that holds the pointer, with the second one highlighted (Super+Shift+Tab
// and Super+` highlight the last); further presses step with wrap-around. While it is up it
// holds the keyboard: releasing Super switches to the highlighted application, Escape closes it
// without switching, and a click on an item switches to that one. Switching focuses the
// application's most recently focused window that is not minimized, unhiding a hidden
// application first; an application whose windows are all minimized gets its most recent one
// restored only when Option (Alt) is held as Super is let go. The strip never takes the focus.
// Where another client holds Super+Tab, it opens on the next binding that is free (Super+Ctrl+Tab)
// the same way. Main thread only.
class X11ApplicationSwitcher final : public SystemSwitcher {
  public:
    X11ApplicationSwitcher(std::weak_ptr<X11DesktopState> state, GlobalHotkeys& hotkeys,
                           KeyEventSource& keys, KeyboardState& keyboard, Workspace& workspace);
    ~X11ApplicationSwitcher() override;
    X11ApplicationSwitcher(const X11ApplicationSwitcher&) = delete;
    X11ApplicationSwitcher& operator=(const X11ApplicationSwitcher&) = delete;

    // Why the switcher could not start.
    enum class StartProblem {
        none,
        // The keyboard cannot be followed.
        keyboardUnavailable,
        // Another client (the window manager, say) holds a combination of every binding.
        combinationHeld,
        // Another client holds Super itself: pressing it hands that client the keyboard, and
        // Tab never reaches the switcher.
        superKeyHeld,
    };

    // Takes Super+Tab, Super+Shift+Tab and Super+` (or, where another client holds one of them,
    // the next binding that is free), follows the keyboard and publishes the shell. False,
    // holding nothing, when every binding or the Super key is held by another client or the
    // keyboard cannot be followed; `startProblem` says which.
    bool start();
    StartProblem startProblem() const { return startProblem_; }
    // Closes the strip, lets the keys go and withdraws the shell.
    void stop();
    bool isRunning() const { return content_ != nullptr; }
    bool isShowing() const { return window_ && window_->isShown(); }
    // Makes the icons of the running applications at the size a strip on the main screen
    // gives them, so that the first opening finds them made. Shows nothing; does nothing while
    // the switcher is off.
    void prepareIcons();
    // The strip's window; none before the first start.
    xcb_window_t stripWindow() const { return window_ ? window_->id() : XCB_NONE; }

    QString shellBundleIdentifier() const override { return X11ShellContent::identifier; }
    bool dismiss() override;
    std::optional<SwitcherBinding> binding() const override { return binding_; }

  private:
    void pressed(bool backward);
    void open(bool backward);
    void step(bool backward);
    void commit(bool restoreMinimized);
    void close();
    void keyEvent(const KeyEvent& event);
    void clicked(QPoint point);
    void windowEvent(const X11WindowEvent& event);
    void redraw(bool newShowing);
    void publish(bool newShowing);

    bool superKeyHeldElsewhere();
    // Grabs every combination of the binding, or none of them.
    bool take(const SwitcherBinding& binding);
    void releaseHotkeys();

    std::weak_ptr<X11DesktopState> state_;
    StartProblem startProblem_ = StartProblem::none;
    GlobalHotkeys& hotkeys_;
    KeyEventSource& keys_;
    KeyboardState& keyboard_;
    Workspace& workspace_;
    std::unique_ptr<X11StripWindow> window_;
    std::shared_ptr<X11ShellContent> content_;
    std::unique_ptr<KeyEventTap> tap_;
    QList<GlobalHotkeys::Handle> hotkeyHandles_;
    std::optional<SwitcherBinding> binding_;
    X11SwitcherCycle cycle_;
    // The activation count when the strip opened.
    quint64 activationsAtOpen_ = 0;
    X11SwitcherLayout layout_;
    QList<X11ShellEntry> entries_;
    X11ApplicationIcons icons_;
    QMetaObject::Connection windowEvents_;
};

}  // namespace pellucine
