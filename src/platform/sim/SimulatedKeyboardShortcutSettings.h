#pragma once

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// Shortcut settings a test writes: the symbolic hot keys and the desktop's bindings.
class SimulatedKeyboardShortcutSettings final : public KeyboardShortcutSettings {
  public:
    std::optional<QJsonObject> symbolicHotKeys() const override { return symbolic_; }
    QList<DesktopShortcut> desktopShortcuts() const override { return desktop_; }

    // Nothing: a desktop without the system's own shortcuts.
    void setSymbolicHotKeys(std::optional<QJsonObject> symbolic) {
        symbolic_ = std::move(symbolic);
    }
    void setDesktopShortcuts(QList<DesktopShortcut> shortcuts) { desktop_ = std::move(shortcuts); }

  private:
    std::optional<QJsonObject> symbolic_ = QJsonObject();
    QList<DesktopShortcut> desktop_;
};

}  // namespace pellucine
