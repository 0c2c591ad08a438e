#include "platform/sim/SimulatedGlobalHotkeys.h"

#include "platform/KeyModifiers.h"

namespace pellucine {

namespace {

QString describe(quint32 keyCode, quint64 modifiers) {
    return QStringLiteral("%1 0x%2").arg(keyCode).arg(modifiers, 0, 16);
}

}  // namespace

HotkeyRegistrationResult SimulatedGlobalHotkeys::registerHotkey(quint32 keyCode, quint64 modifiers,
                                                                PressHandler onPress) {
    const quint64 masked = modifiers & KeyModifiers::all;
    const QString request = QStringLiteral("register ") + describe(keyCode, masked);
    HotkeyRegistrationResult answer;
    if (nextAnswer_) {
        answer = *std::exchange(nextAnswer_, std::nullopt);
        answer.handle = 0;
    } else if (const auto held = heldElsewhere_.find({keyCode, masked});
               held != heldElsewhere_.end()) {
        answer = {HotkeyRegistrationResult::Status::heldByAnotherClient, 0, held->second};
    } else {
        const Handle handle = nextHandle_++;
        entries_.emplace(handle, Entry{{handle, keyCode, masked}, std::move(onPress)});
        requests_ << request + QStringLiteral(": %1").arg(handle);
        return {HotkeyRegistrationResult::Status::registered, handle, 0};
    }
    requests_ << request + QStringLiteral(": failed %1").arg(answer.errorCode);
    return answer;
}

void SimulatedGlobalHotkeys::unregisterHotkey(Handle handle) {
    requests_ << QStringLiteral("unregister %1").arg(handle);
    entries_.erase(handle);
}

void SimulatedGlobalHotkeys::holdByAnotherClient(quint32 keyCode, quint64 modifiers,
                                                 qint32 errorCode) {
    heldElsewhere_[{keyCode, modifiers & KeyModifiers::all}] = errorCode;
}

void SimulatedGlobalHotkeys::releaseByAnotherClient(quint32 keyCode, quint64 modifiers) {
    heldElsewhere_.erase({keyCode, modifiers & KeyModifiers::all});
}

void SimulatedGlobalHotkeys::failNextRegistration(HotkeyRegistrationResult answer) {
    nextAnswer_ = answer;
}

int SimulatedGlobalHotkeys::press(quint32 keyCode, quint64 modifiers) {
    const quint64 masked = modifiers & KeyModifiers::all;
    QList<Handle> matching;
    for (const auto& [handle, entry] : entries_) {
        if (entry.registration.keyCode == keyCode && entry.registration.modifiers == masked) {
            matching << handle;
        }
    }
    int ran = 0;
    for (const Handle handle : matching) {
        const auto it = entries_.find(handle);
        if (it == entries_.end()) {
            continue;
        }
        // A copy: the handler may end its own registration.
        const PressHandler onPress = it->second.onPress;
        if (onPress) {
            onPress();
        }
        ++ran;
    }
    return ran;
}

QList<SimulatedGlobalHotkeys::Registration> SimulatedGlobalHotkeys::registrations() const {
    QList<Registration> out;
    for (const auto& [handle, entry] : entries_) {
        out << entry.registration;
    }
    return out;
}

}  // namespace pellucine
