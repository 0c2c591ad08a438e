#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QObject>
#include <functional>

#include "platform/DesktopAppearance.h"
#include "platform/x11/X11Connection.h"

namespace pellucine {

// The XSETTINGS manager's theme name (Net/ThemeName), as Xfce, MATE and GNOME's settings daemon
// publish it, read as a scheme preference and followed: a new manager (announced by MANAGER on
// the root window), its settings changing and its going away. Holds a connection of its own.
// Main thread.
class X11XSettingsWatch final : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void(SchemePreference)>;

    // Reads the current manager's settings before it returns. `changed` hears every change of
    // the preference after that. Throws X11Error when the server cannot be reached.
    X11XSettingsWatch(const QByteArray& displayName, Handler changed);

    SchemePreference preference() const { return preference_; }

  private:
    void handle(const xcb_generic_event_t& event);
    void findManager();
    void readSettings();

    X11Connection connection_;
    Handler changed_;
    xcb_atom_t selection_ = XCB_NONE;
    xcb_atom_t settings_ = XCB_NONE;
    xcb_atom_t manager_ = XCB_NONE;
    xcb_window_t owner_ = XCB_NONE;
    SchemePreference preference_ = SchemePreference::none;
};

}  // namespace pellucine
