#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace pellucine {

// A shortcut the desktop itself binds (its window manager's key bindings, for example).
struct DesktopShortcut {
    quint32 keyCode = 0;
    // `KeyModifiers` bits.
    quint64 modifiers = 0;
    // Who uses it, as the user is told: "Openbox: next window".
    QString owner;

    friend bool operator==(const DesktopShortcut&, const DesktopShortcut&) = default;
};

// The desktop's own keyboard-shortcut settings, as far as the desktop makes them known. Reads
// are synchronous and never fail: what cannot be read is simply absent.
class KeyboardShortcutSettings {
  public:
    virtual ~KeyboardShortcutSettings() = default;

    // The system's symbolic hot keys: shortcut number (as text) to an entry object with
    // "enabled" (Boolean) and "value" {"parameters": [character code, key code, modifiers]};
    // empty when they cannot be read. Nothing on a desktop that is not that system (X11): then
    // none of that system's own shortcuts is in force.
    virtual std::optional<QJsonObject> symbolicHotKeys() const = 0;
    // The desktop's own bindings, in the order the desktop lists them.
    virtual QList<DesktopShortcut> desktopShortcuts() const = 0;
};

}  // namespace pellucine
