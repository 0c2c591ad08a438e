#include "platform/x11/X11KeyCharacters.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <utility>

namespace pellucine::X11KeyCharacters {

namespace {

// The dead keys of Latin layouts and the spacing accent each prints on its key cap.
constexpr std::array<std::pair<xcb_keysym_t, char32_t>, 13> deadKeys{{
    {XKB_KEY_dead_grave, U'`'},
    {XKB_KEY_dead_acute, U'´'},
    {XKB_KEY_dead_circumflex, U'^'},
    {XKB_KEY_dead_tilde, U'~'},
    {XKB_KEY_dead_macron, U'¯'},
    {XKB_KEY_dead_breve, U'˘'},
    {XKB_KEY_dead_abovedot, U'˙'},
    {XKB_KEY_dead_diaeresis, U'¨'},
    {XKB_KEY_dead_abovering, U'°'},
    {XKB_KEY_dead_doubleacute, U'˝'},
    {XKB_KEY_dead_caron, U'ˇ'},
    {XKB_KEY_dead_cedilla, U'¸'},
    {XKB_KEY_dead_ogonek, U'˛'},
}};

bool isLatinLetter(xcb_keysym_t keysym) {
    return (keysym >= 'a' && keysym <= 'z') || (keysym >= 'A' && keysym <= 'Z');
}

}  // namespace

std::optional<char32_t> character(xcb_keysym_t keysym) {
    for (const auto& [dead, accent] : deadKeys) {
        if (dead == keysym) {
            return accent;
        }
    }
    const char32_t typed = xkb_keysym_to_utf32(keysym);
    // Controls, space and delete print nothing a key cap could show.
    if (typed <= 0x20 || (typed >= 0x7f && typed < 0xa0)) {
        return std::nullopt;
    }
    return typed;
}

std::optional<int> namingGroup(const QList<xcb_keysym_t>& aKeyByGroup, int activeGroup) {
    if (aKeyByGroup.isEmpty() || activeGroup < 0) {
        return std::nullopt;
    }
    const int active = activeGroup % static_cast<int>(aKeyByGroup.size());
    if (isLatinLetter(aKeyByGroup[active])) {
        return active;
    }
    for (int group = 0; group < aKeyByGroup.size(); ++group) {
        if (isLatinLetter(aKeyByGroup[group])) {
            return group;
        }
    }
    return std::nullopt;
}

std::optional<char32_t> keyCharacter(const QList<xcb_keysym_t>& keyByGroup,
                                     const QList<xcb_keysym_t>& aKeyByGroup, int activeGroup) {
    const std::optional<int> group = namingGroup(aKeyByGroup, activeGroup);
    if (!group || keyByGroup.isEmpty()) {
        return std::nullopt;
    }
    return character(keyByGroup[*group % static_cast<int>(keyByGroup.size())]);
}

}  // namespace pellucine::X11KeyCharacters
