#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QSet>
#include <unordered_set>

#include "preferences/JsonFields.h"
#include "preferences/KeyCombo.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {
namespace {

KeyCombo comboFrom(const char* json) {
    return KeyCombo::fromJson(QJsonDocument::fromJson(json).object());
}

TEST(KeyComboTest, KeycapsListModifiersInFixedOrderThenTheKey) {
    EXPECT_EQ(KeyCombo::keycapLabels(49, 0x120000), (QStringList{"Shift", "Super", "Space"}));
    // Not bit order: Control, Option, Shift, Command.
    EXPECT_EQ(KeyCombo::keycapLabels(49, 0x1E0000),
              (QStringList{"Ctrl", "Alt", "Shift", "Super", "Space"}));
    EXPECT_EQ(KeyCombo::keycapLabels(0, 0), QStringList{"A"});
    // Caps Lock and bits outside the four modifiers add no cap.
    EXPECT_EQ(KeyCombo::keycapLabels(0, 0x10000), QStringList{"A"});
    EXPECT_EQ(KeyCombo::keycapLabels(3, 0x10000 | 0x800000 | KeyCombo::option),
              (QStringList{"Alt", "F"}));
    EXPECT_EQ(KeyCombo::keycapLabels(105, KeyCombo::command), (QStringList{"Super", "Key 105"}));
}

TEST(KeyComboTest, KeyNamesAreExact) {
    const std::pair<std::uint32_t, QString> expected[] = {
        {49, "Space"},
        {36, "Return"},
        {48, "Tab"},
        {53, "Esc"},
        {51, "Backspace"},
        {117, "Delete"},
        {114, "Insert"},
        {82, "Keypad 0"},
        {87, "Keypad 5"},
        {92, "Keypad 9"},
        {65, "Keypad ."},
        {67, "Keypad *"},
        {69, "Keypad +"},
        {78, "Keypad -"},
        {75, "Keypad /"},
        {76, "Keypad Enter"},
        {81, "Keypad ="},
        {115, "Home"},
        {119, "End"},
        {116, "Page Up"},
        {121, "Page Dn"},
        {123, "←"},
        {124, "→"},
        {126, "↑"},
        {125, "↓"},
        {122, "F1"},
        {99, "F3"},
        {96, "F5"},
        {100, "F8"},
        {109, "F10"},
        {103, "F11"},
        {111, "F12"},
        {50, "`"},
        {42, "\\"},
        {39, "'"},
        {0, "A"},
        {11, "B"},
        {6, "Z"},
        {29, "0"},
        {18, "1"},
        {23, "5"},
        {22, "6"},
        {25, "9"},
        {105, "Key 105"},
        {4294967295u, "Key 4294967295"},
    };
    for (const auto& [code, name] : expected) {
        EXPECT_EQ(KeyCombo::keyName(code), name) << code;
    }
}

TEST(KeyComboTest, TablesHold55SpecialAnd36CharacterKeysWithoutOverlap) {
    int named = 0;
    int withEquivalent = 0;
    for (std::uint32_t code = 0; code < 512; ++code) {
        const QString name = KeyCombo::keyName(code);
        if (name != QStringLiteral("Key %1").arg(code)) {
            ++named;
        }
        const auto equivalent = KeyCombo::menuKeyEquivalent(code);
        if (equivalent && code != KeyCombo::spaceKeyCode) {
            ++withEquivalent;
            // Character keys: the equivalent is the name in lower case.
            EXPECT_EQ(*equivalent, name.toLower()) << code;
            EXPECT_EQ(name.size(), 1) << code;
        }
    }
    EXPECT_EQ(named, 55 + 36);
    EXPECT_EQ(withEquivalent, 36);
}

TEST(KeyComboTest, CharacterKeysAreNamedAsTheLayoutPrintsThem) {
    struct Row {
        const char* name;
        std::uint32_t keyCode;
        std::optional<char32_t> printed;
        QString expected;
    };
    const Row rows[] = {
        {"German Z on the US Y key", 16, U'z', "Z"},
        {"German Y on the US Z key", 6, U'y', "Y"},
        {"French A on the US Q key", 12, U'a', "A"},
        {"French dead circumflex on the US [ key", 33, U'^', "^"},
        {"French digit key types é", 19, U'é', "É"},
        {"German ß keeps its one letter", 27, U'ß', "ß"},
        {"punctuation follows the layout", 43, U';', ";"},
        {"no layout read keeps the US letter", 16, std::nullopt, "Y"},
        {"no layout read keeps the US punctuation", 33, std::nullopt, "["},
        {"a space or control falls back to the US name", 12, U'\t', "Q"},
        {"special keys keep their names", 48, U'q', "Tab"},
        {"function keys keep their names", 122, U'q', "F1"},
        {"keypad keys keep their names", 87, U'5', "Keypad 5"},
        {"Space keeps its name", 49, U' ', "Space"},
        {"unnamed keys stay unnamed", 105, U'q', "Key 105"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(KeyCombo::keyName(row.keyCode, row.printed), row.expected) << row.name;
    }
    EXPECT_EQ(KeyCombo::keycapLabels(16, KeyCombo::control | KeyCombo::command, U'z'),
              (QStringList{"Ctrl", "Super", "Z"}));
}

TEST(KeyComboTest, MenuKeyEquivalentsOnlyForSpaceLettersAndDigits) {
    EXPECT_EQ(KeyCombo::menuKeyEquivalent(49), QStringLiteral(" "));
    EXPECT_EQ(KeyCombo::menuKeyEquivalent(0), QStringLiteral("a"));
    EXPECT_EQ(KeyCombo::menuKeyEquivalent(18), QStringLiteral("1"));
    // Punctuation gets none; nor do F-keys, arrows, Tab.
    for (std::uint32_t code : {27u, 43u, 50u, 122u, 123u, 48u, 53u, 105u}) {
        EXPECT_FALSE(KeyCombo::menuKeyEquivalent(code)) << code;
    }
}

TEST(KeyComboTest, JsonRequiresBothMembersInRange) {
    EXPECT_EQ(comboFrom(R"({"keyCode": 49, "modifiers": 1179648})"), (KeyCombo{49, 0x120000}));
    EXPECT_EQ(comboFrom(R"({"keyCode": 49.0, "modifiers": 0, "extra": "x"})"), (KeyCombo{49, 0}));
    EXPECT_EQ(comboFrom(R"({"keyCode": 4294967295, "modifiers": 9223372036854775807})"),
              (KeyCombo{4294967295u, 9223372036854775807u}));
    // Above 2^63 - 1 the number arrives as a double; whole values below 2^64 are kept.
    EXPECT_EQ(comboFrom(R"({"keyCode": 0, "modifiers": 9223372036854775808})").modifiers,
              9223372036854775808u);

    for (const char* bad : {
             R"({"keyCode": 49})",
             R"({"modifiers": 0})",
             R"({"keyCode": -1, "modifiers": 0})",
             R"({"keyCode": 4294967296, "modifiers": 0})",
             R"({"keyCode": 49.5, "modifiers": 0})",
             R"({"keyCode": "49", "modifiers": 0})",
             R"({"keyCode": true, "modifiers": 0})",
             R"({"keyCode": null, "modifiers": 0})",
             R"({"keyCode": 49, "modifiers": -1})",
             R"({"keyCode": 49, "modifiers": 18446744073709551616})",
             // 2^64 - 1 is rounded to 2^64 by the JSON reader, so it cannot be told apart.
             R"({"keyCode": 49, "modifiers": 18446744073709551615})",
         }) {
        EXPECT_THROW(comboFrom(bad), PreferenceDecodingError) << bad;
    }
    EXPECT_THROW(KeyCombo::fromJson(QJsonValue(49)), PreferenceDecodingError);
    EXPECT_THROW(KeyCombo::fromJson(QJsonValue()), PreferenceDecodingError);
}

TEST(KeyComboTest, DecodingErrorNamesTheMemberPath) {
    try {
        KeyCombo::fromJson(QJsonDocument::fromJson(R"({"keyCode": 49})").object(),
                           "windowSearchHotkey");
        FAIL() << "decoded a combo without modifiers";
    } catch (const PreferenceDecodingError& error) {
        EXPECT_TRUE(error.localizedDescription().contains("“windowSearchHotkey.modifiers”"))
            << error.localizedDescription().toStdString();
        EXPECT_EQ(errorTypeName(error), "pellucine.PreferenceDecodingError");
    }
}

TEST(KeyComboTest, JsonRoundTripsEveryRepresentableMask) {
    for (const KeyCombo combo :
         {KeyCombo{49, 0x120000}, KeyCombo{0, 0}, KeyCombo{4294967295u, 1},
          KeyCombo{7, 9223372036854775808u}, KeyCombo{7, 0xFFFFFFFFFFFFF800u}}) {
        const QByteArray text = QJsonDocument(combo.toJson()).toJson();
        EXPECT_EQ(KeyCombo::fromJson(QJsonDocument::fromJson(text).object()), combo) << text.data();
    }
    // A mask a JSON number cannot hold exactly is refused rather than silently altered.
    EXPECT_THROW((KeyCombo{7, 0xFFFFFFFFFFFFFFFFu}.toJson()), PreferenceEncodingError);
    EXPECT_THROW((KeyCombo{7, 9223372036854775809u}.toJson()), PreferenceEncodingError);
}

TEST(KeyComboTest, EqualCombosHashAlikeWhereverTheyCameFrom) {
    const KeyCombo made{49, 0x120000};
    const KeyCombo read = comboFrom(R"({"modifiers": 1179648.0, "keyCode": 49})");
    EXPECT_EQ(made, read);
    EXPECT_EQ(qHash(made), qHash(read));
    EXPECT_EQ(std::hash<KeyCombo>{}(made), std::hash<KeyCombo>{}(read));
    EXPECT_NE(made, (KeyCombo{49, 0x100000}));
    EXPECT_NE((KeyCombo{1, 2}), (KeyCombo{2, 1}));
    EXPECT_EQ((QSet<KeyCombo>{made, read, KeyCombo{1, 2}, KeyCombo{2, 1}}).size(), 3);
    EXPECT_EQ((std::unordered_set<KeyCombo>{made, read}).size(), 1u);
}

}  // namespace
}  // namespace pellucine
