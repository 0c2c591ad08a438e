#include "preferences/HotkeyCenter.h"

#include "platform/KeyModifiers.h"

namespace pellucine {

HotkeyCenter::HotkeyCenter(GlobalHotkeys& hotkeys, Scheduler& scheduler, EventRecording& events)
    : hotkeys_(hotkeys),
      scheduler_(scheduler),
      events_(events),
      self_(std::make_shared<HotkeyCenter*>(this)) {}

HotkeyCenter::~HotkeyCenter() {
    for (const auto& [id, registration] : registrations_) {
        hotkeys_.unregisterHotkey(registration.handle);
    }
}

std::optional<HotkeyCenter::Id> HotkeyCenter::registerHotkey(quint32 keyCode, quint64 modifiers,
                                                             Handler handler) {
    const Id id = nextID_++;
    const std::weak_ptr<HotkeyCenter*> weak = self_;
    const HotkeyRegistrationResult result =
        hotkeys_.registerHotkey(keyCode, modifiers & KeyModifiers::all, [weak, id] {
            if (const auto self = weak.lock()) {
                (*self)->pressed(id);
            }
        });
    if (!result.isRegistered()) {
        events_.record(QStringLiteral("hotkey-register-failed"),
                       {{QStringLiteral("errorCode"), QString::number(result.errorCode)}});
        return std::nullopt;
    }
    registrations_.emplace(id, Registration{result.handle, std::move(handler)});
    return id;
}

void HotkeyCenter::unregister(Id id) {
    if (const auto it = registrations_.find(id); it != registrations_.end()) {
        const GlobalHotkeys::Handle handle = it->second.handle;
        registrations_.erase(it);
        hotkeys_.unregisterHotkey(handle);
    }
}

void HotkeyCenter::pressed(Id id) {
    const std::weak_ptr<HotkeyCenter*> weak = self_;
    scheduler_.post([weak, id] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        HotkeyCenter& center = **self;
        const auto it = center.registrations_.find(id);
        if (it == center.registrations_.end() || !it->second.handler) {
            return;
        }
        // A copy: the handler may unregister itself.
        const Handler handler = it->second.handler;
        handler();
    });
}

}  // namespace pellucine
