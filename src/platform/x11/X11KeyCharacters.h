#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <optional>

namespace pellucine {

// What the keys of an X keyboard print, from the keysyms at their first level: the rules behind
// `KeyboardState::keyCharacter` on X11, without the server. Pure functions.
namespace X11KeyCharacters {

// The character a keysym types; a dead key gives its accent (dead_circumflex is "^"); none for
// keysyms that type nothing printable (function keys, modifiers, controls, NoSymbol).
std::optional<char32_t> character(xcb_keysym_t keysym);

// The group whose symbols name the keys: the active one when it types a Latin letter on the key
// at the A position, else the first group that does (a Russian layout beside a US one names its
// keys in Latin); none when no group does. `aKeyByGroup` holds that key's first-level keysym in
// each group; an active group past the last wraps around, as XKB wraps it.
std::optional<int> namingGroup(const QList<xcb_keysym_t>& aKeyByGroup, int activeGroup);

// What a key prints in the naming group: `keyByGroup` holds its first-level keysym in each
// group. A key with fewer groups than the naming one wraps around, as XKB wraps it.
std::optional<char32_t> keyCharacter(const QList<xcb_keysym_t>& keyByGroup,
                                     const QList<xcb_keysym_t>& aKeyByGroup, int activeGroup);

}  // namespace X11KeyCharacters
}  // namespace pellucine
