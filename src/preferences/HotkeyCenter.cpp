#include "preferences/HotkeyCenter.h"

#include "platform/KeyModifiers.h"

namespace pellucine {

HotkeyCenter::HotkeyCenter(GlobalHotkeys& hotkeys, Scheduler& scheduler, EventRecording& events)
    : hotkeys_(hotkeys),
      scheduler_(scheduler),
      events_(events),
      self_(std::make_shared<HotkeyCenter*>(this)) {}

HotkeyCenter::~HotkeyCenter() {
    for (const auto& [id, handle] : registered_) {
        hotkeys_.unregisterHotkey(handle);
    }
}

std::optional<HotkeyCenter::Id> HotkeyCenter::registerHotkey(quint32 keyCode, quint64 modifiers,
                                                             Handler handler) {
    const Id id = nextID_++;
    const std::weak_ptr<HotkeyCenter*> weak = self_;
    const HotkeyRegistrationResult result =
        hotkeys_.registerHotkey(keyCode, modifiers & KeyModifiers::all, [weak, id] {
            if (const auto self = weak.lock(); self && *self) {
                (*self)->pressed(id);
            }
        });
    if (!result.isRegistered()) {
        events_.record(QStringLiteral("hotkey-register-failed"),
                       {{QStringLiteral("errorCode"), QString::number(result.errorCode)}});
        return std::nullopt;
    }
    handlers_[id] = std::move(handler);
    registered_[id] = result.handle;
    return id;
}

void HotkeyCenter::unregister(Id id) {
    if (const auto it = registered_.find(id); it != registered_.end()) {
        const GlobalHotkeys::Handle handle = it->second;
        registered_.erase(it);
        hotkeys_.unregisterHotkey(handle);
    }
    handlers_.erase(id);
}

void HotkeyCenter::pressed(Id id) {
    const std::weak_ptr<HotkeyCenter*> weak = self_;
    scheduler_.post([weak, id] {
        const auto self = weak.lock();
        if (!self || !*self) {
            return;
        }
        HotkeyCenter& center = **self;
        const auto it = center.handlers_.find(id);
        if (it == center.handlers_.end() || !it->second) {
            return;
        }
        // A copy: the handler may unregister itself.
        const Handler handler = it->second;
        handler();
    });
}

}  // namespace pellucine
