#pragma once

#include "platform/KeyboardShortcutSettings.h"

namespace pellucine {

// Shortcut settings a test writes: the symbolic hot keys and the desktop's bindings.
class SimulatedKeyboardShortcutSettings final : public KeyboardShortcutSettings {
  public:
    QJsonObject symbolicHotKeys() const override { return symbolic_; }
    QList<DesktopShortcut> desktopShortcuts() const override { return desktop_; }

    void setSymbolicHotKeys(QJsonObject symbolic) { symbolic_ = std::move(symbolic); }
    void setDesktopShortcuts(QList<DesktopShortcut> shortcuts) { desktop_ = std::move(shortcuts); }

  private:
    QJsonObject symbolic_;
    QList<DesktopShortcut> desktop_;
};

}  // namespace pellucine
