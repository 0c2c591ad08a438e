#pragma once

#include "coordination/WindowSearchControlling.h"

namespace pellucine {

// Window search while the program has no search panel: no hotkey is taken, so none can
// conflict, and asking for the panel shows nothing.
class NoWindowSearch final : public WindowSearchControlling {
  public:
    void setOnHotkeyProblemChange(HotkeyProblemHandler) override {}
    void registerHotkey() override {}
    void show() override {}
};

}  // namespace pellucine
