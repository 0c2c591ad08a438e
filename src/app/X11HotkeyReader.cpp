#include "app/X11HotkeyReader.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace pellucine {

HotkeyPress X11HotkeyReader::read(const QKeyEvent& event) const {
    HotkeyPress press;
    press.modifierKey = HotkeyKeys::isModifierKey(event.key());
    press.keyCode = map_.virtualKey(static_cast<xcb_keycode_t>(event.nativeScanCode()));
    press.modifiers = map_.modifiers(static_cast<quint16>(event.nativeModifiers()));
    return press;
}

std::optional<X11KeyboardMap> X11HotkeyReader::applicationKeyboardMap() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return std::nullopt;
    }
    return X11KeyboardMap(X11KeyboardLayout::read(x11->connection()));
}

NativeKeyboard X11HotkeyReader::applicationKeyboard() {
    return []() -> NativeKeyReader {
        std::optional<X11KeyboardMap> map = applicationKeyboardMap();
        if (!map) {
            return {};
        }
        return [reader = X11HotkeyReader(std::move(*map))](const QKeyEvent& event) {
            return reader.read(event);
        };
    };
}

}  // namespace pellucine
