#pragma once

#include <QtGlobal>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "platform/GlobalHotkeys.h"

namespace pellucine {

// Registers system-wide keyboard shortcuts and runs their handlers on the main thread when they
// are pressed, whichever application is in front. Registrations are numbered from 1 and numbers
// are never reused. A press is handed on through the scheduler: the handler is looked up when
// that work runs, so it never runs inside the desktop's delivery, a registration ended meanwhile
// runs nothing, and handlers may register and unregister freely. Main thread only.
class HotkeyCenter final {
  public:
    using Id = quint32;
    using Handler = std::function<void()>;

    HotkeyCenter(GlobalHotkeys& hotkeys, Scheduler& scheduler, EventRecording& events);
    // Ends every registration still held.
    ~HotkeyCenter();
    HotkeyCenter(const HotkeyCenter&) = delete;
    HotkeyCenter& operator=(const HotkeyCenter&) = delete;

    // Registers the key code with the modifiers (`KeyCombo` bits; only Shift, Control, Option
    // and Command are passed on). Returns the new registration's number, or nothing when the
    // desktop refused; then "hotkey-register-failed" is recorded with the desktop's code as
    // "errorCode". A refused registration still uses up its number.
    std::optional<Id> registerHotkey(quint32 keyCode, quint64 modifiers, Handler handler);
    // Ends the registration; unknown or already ended numbers are ignored.
    void unregister(Id id);

    bool isRegistered(Id id) const { return registrations_.contains(id); }
    std::size_t registrationCount() const { return registrations_.size(); }

  private:
    struct Registration {
        GlobalHotkeys::Handle handle;
        Handler handler;
    };

    void pressed(Id id);

    GlobalHotkeys& hotkeys_;
    Scheduler& scheduler_;
    EventRecording& events_;
    std::map<Id, Registration> registrations_;
    Id nextID_ = 1;
    // Work handed to the desktop and the scheduler checks this before touching the centre.
    std::shared_ptr<HotkeyCenter*> self_;
};

}  // namespace pellucine
