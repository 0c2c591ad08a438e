#pragma once

#include <optional>
#include <utility>

#include "platform/x11/X11KeyboardMap.h"
#include "settings/HotkeyKeys.h"

class QKeyEvent;

namespace pellucine {

// Recorded hotkeys read as the hotkey grabs read the X server's keyboard: an event's X key code
// at the key's position in the keyboard map, its X modifier state through the map's modifier
// bits, so that a recorded combination registers as the key that was pressed. The settings
// window takes `applicationKeyboard()`, which reads the keyboard of Qt's X connection at the
// start of each recording. Main thread only.
class X11HotkeyReader {
  public:
    explicit X11HotkeyReader(X11KeyboardMap map) : map_(std::move(map)) {}

    // For an event carrying an X key code (its native scan code) and X modifier state.
    HotkeyPress read(const QKeyEvent& event) const;

    // The keyboard of the X server the application draws on, read now; none on other platforms.
    static std::optional<X11KeyboardMap> applicationKeyboardMap();
    // Makes a reader over `applicationKeyboardMap()` at each call; an empty one off X11.
    static NativeKeyboard applicationKeyboard();

  private:
    X11KeyboardMap map_;
};

}  // namespace pellucine
