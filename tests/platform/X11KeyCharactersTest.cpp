#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <optional>

#include "platform/x11/X11KeyCharacters.h"

namespace pellucine {
namespace {

using Groups = QList<xcb_keysym_t>;

TEST(X11KeyCharactersTest, KeysPrintTheirNamingGroupsFirstLevel) {
    struct Row {
        const char* name;
        Groups key;
        Groups aKey;
        int activeGroup;
        std::optional<char32_t> expected;
    };
    const Groups us{'a'};
    const Groups usRussian{'a', XKB_KEY_Cyrillic_ef};
    const Row rows[] = {
        {"German layout: the US Y key types z", {'z'}, us, 0, U'z'},
        {"French dead circumflex is its accent", {XKB_KEY_dead_circumflex}, {'q'}, 0, U'^'},
        {"German dead acute is its accent", {XKB_KEY_dead_acute}, us, 0, U'´'},
        {"Latin-1 letter", {XKB_KEY_ssharp}, us, 0, U'ß'},
        {"legacy Latin-2 keysym", {XKB_KEY_ecaron}, us, 0, U'ě'},
        {"Unicode keysym", {0x1000000 + 0x0259}, us, 0, U'ə'},
        {"Russian active beside US: the Latin group names the key",
         {'z', XKB_KEY_Cyrillic_ya},
         usRussian,
         1,
         U'z'},
        {"Russian first, US active",
         {XKB_KEY_Cyrillic_ya, 'z'},
         {XKB_KEY_Cyrillic_ef, 'a'},
         1,
         U'z'},
        {"Russian first and active: the first Latin group",
         {XKB_KEY_Cyrillic_ya, 'z'},
         {XKB_KEY_Cyrillic_ef, 'a'},
         0,
         U'z'},
        {"Russian alone: no Latin name",
         {XKB_KEY_Cyrillic_ya},
         {XKB_KEY_Cyrillic_ef},
         0,
         std::nullopt},
        {"active group past the last wraps", {'y', 'z'}, {'a', 'q'}, 3, U'z'},
        {"key with fewer groups wraps", {'z'}, {'a', 'q'}, 1, U'z'},
        {"function keys print nothing", {XKB_KEY_F1}, us, 0, std::nullopt},
        {"space prints nothing", {XKB_KEY_space}, us, 0, std::nullopt},
        {"NoSymbol prints nothing", {XKB_KEY_NoSymbol}, us, 0, std::nullopt},
        {"a key without symbols", {}, us, 0, std::nullopt},
        {"an unreadable A key", {'z'}, {}, 0, std::nullopt},
        {"a negative group", {'z'}, us, -1, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(X11KeyCharacters::keyCharacter(row.key, row.aKey, row.activeGroup), row.expected)
            << row.name;
    }
}

}  // namespace
}  // namespace pellucine
