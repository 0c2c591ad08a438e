#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <map>
#include <optional>
#include <utility>

#include "platform/GlobalHotkeys.h"
#include "platform/x11/X11KeyboardMap.h"

namespace pellucine {

class X11Connection;

// Global hotkeys as passive key grabs on the root window. Each combination is grabbed once for
// every combination of the lock modifiers, so that it works with Caps Lock or Num Lock on. A
// grab another client holds (BadAccess) refuses the registration and leaves nothing grabbed.
// Registrations of the same combination share its grabs, which are released with the last of
// them. Presses arrive through `handleEvent` with every event the connection reads; a press held
// down long enough to repeat counts once. A change of the keyboard
// mapping re-grabs every combination at its new keys.
class X11GlobalHotkeys final : public GlobalHotkeys {
  public:
    // Error codes of refusals that are not the server's own: the key has no place on this
    // keyboard (the X BadValue code), or the connection is broken.
    static constexpr qint32 keyUnavailableCode = XCB_VALUE;
    static constexpr qint32 connectionFailedCode = -1;

    // Follows the connection's events itself.
    explicit X11GlobalHotkeys(X11Connection& connection);
    // The owner of the connection hands every event it reads to `handleEvent`.
    X11GlobalHotkeys(xcb_connection_t* connection, xcb_window_t root);
    // Releases every grab still held.
    ~X11GlobalHotkeys() override;
    X11GlobalHotkeys(const X11GlobalHotkeys&) = delete;
    X11GlobalHotkeys& operator=(const X11GlobalHotkeys&) = delete;

    HotkeyRegistrationResult registerHotkey(quint32 keyCode, quint64 modifiers,
                                            PressHandler onPress) override;
    void unregisterHotkey(Handle handle) override;

    // Looks at one event read from the connection: key presses and releases of grabbed keys and
    // keyboard mapping changes; others are ignored.
    void handleEvent(const xcb_generic_event_t& event);

    const X11KeyboardMap& keyboardMap() const { return map_; }

  private:
    // One passive grab, before the lock variants are added.
    using Grab = std::pair<xcb_keycode_t, quint16>;

    struct Registration {
        quint32 keyCode = 0;
        quint64 modifiers = 0;
        // None while the key has no place on the keyboard after a mapping change.
        std::optional<Grab> grab;
        PressHandler onPress;
    };

    // Grabs every lock variant; on any error releases those made and returns the error code.
    std::optional<qint32> grab(const Grab& grab);
    void ungrab(const Grab& grab, const QList<quint16>& lockVariants);
    // Takes one more share of the grab, grabbing it when it is new.
    std::optional<qint32> acquire(const Grab& grab);
    void release(const Grab& grab);
    void pressed(const Grab& grab);
    void remap();
    bool connectionFailed() const;

    xcb_connection_t* connection_;
    xcb_window_t root_;
    X11KeyboardMap map_;
    std::map<Handle, Registration> registrations_;
    std::map<Grab, int> shares_;
    Handle nextHandle_ = 1;
    // The last release of a grabbed key: a press at the same time and key is a repeat.
    std::optional<std::pair<xcb_keycode_t, xcb_timestamp_t>> lastRelease_;
    QMetaObject::Connection events_;
};

}  // namespace pellucine
