#include "preferences/KeyCombo.h"

#include <array>
#include <limits>
#include <utility>

#include "base/KeyNames.h"
#include "preferences/JsonFields.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {

namespace {

using KeyNameRow = std::pair<std::uint32_t, const char16_t*>;

// Keys whose name no layout changes, as PC keyboards label them.
constexpr std::array<KeyNameRow, 44> specialKeys{{
    {49, u"Space"},     {36, u"Return"},   {48, u"Tab"},          {53, u"Esc"},
    {51, u"Backspace"}, {117, u"Delete"},  {114, u"Insert"},      {115, u"Home"},
    {119, u"End"},      {116, u"Page Up"}, {121, u"Page Dn"},     {123, u"←"},
    {124, u"→"},        {126, u"↑"},       {125, u"↓"},           {122, u"F1"},
    {120, u"F2"},       {99, u"F3"},       {118, u"F4"},          {96, u"F5"},
    {97, u"F6"},        {98, u"F7"},       {100, u"F8"},          {101, u"F9"},
    {109, u"F10"},      {103, u"F11"},     {111, u"F12"},         {82, u"Keypad 0"},
    {83, u"Keypad 1"},  {84, u"Keypad 2"}, {85, u"Keypad 3"},     {86, u"Keypad 4"},
    {87, u"Keypad 5"},  {88, u"Keypad 6"}, {89, u"Keypad 7"},     {91, u"Keypad 8"},
    {92, u"Keypad 9"},  {65, u"Keypad ."}, {67, u"Keypad *"},     {69, u"Keypad +"},
    {78, u"Keypad -"},  {75, u"Keypad /"}, {76, u"Keypad Enter"}, {81, u"Keypad ="},
}};

// Keys that type a character, by what a US layout prints on them.
constexpr std::array<KeyNameRow, 11> punctuationKeys{{
    {50, u"`"},
    {27, u"-"},
    {24, u"="},
    {33, u"["},
    {30, u"]"},
    {42, u"\\"},
    {41, u";"},
    {39, u"'"},
    {43, u","},
    {47, u"."},
    {44, u"/"},
}};

constexpr std::array<KeyNameRow, 36> characterKeys{{
    {0, u"A"},  {11, u"B"}, {8, u"C"},  {2, u"D"},  {14, u"E"}, {3, u"F"},  {5, u"G"},  {4, u"H"},
    {34, u"I"}, {38, u"J"}, {40, u"K"}, {37, u"L"}, {46, u"M"}, {45, u"N"}, {31, u"O"}, {35, u"P"},
    {12, u"Q"}, {15, u"R"}, {1, u"S"},  {17, u"T"}, {32, u"U"}, {9, u"V"},  {13, u"W"}, {7, u"X"},
    {16, u"Y"}, {6, u"Z"},  {29, u"0"}, {18, u"1"}, {19, u"2"}, {20, u"3"}, {21, u"4"}, {23, u"5"},
    {22, u"6"}, {26, u"7"}, {28, u"8"}, {25, u"9"},
}};

template <std::size_t N>
const char16_t* lookUp(const std::array<KeyNameRow, N>& table, std::uint32_t keyCode) {
    for (const auto& [code, name] : table) {
        if (code == keyCode) {
            return name;
        }
    }
    return nullptr;
}

}  // namespace

KeyCombo KeyCombo::fromJson(const QJsonValue& value, const QString& path) {
    if (!value.isObject()) {
        throw PreferenceDecodingError(
            QStringLiteral("The settings data couldn’t be read: “%1” isn’t a key combination.")
                .arg(path.isEmpty() ? QStringLiteral("keyCombo") : path));
    }
    const JsonFieldReader reader(value.toObject(), path);
    KeyCombo combo;
    combo.keyCode = static_cast<std::uint32_t>(reader.requiredUnsigned(
        QStringLiteral("keyCode"), std::numeric_limits<std::uint32_t>::max()));
    combo.modifiers = reader.requiredUnsigned(QStringLiteral("modifiers"),
                                              std::numeric_limits<std::uint64_t>::max());
    return combo;
}

QJsonObject KeyCombo::toJson() const {
    QJsonObject object;
    object.insert(QStringLiteral("keyCode"), static_cast<qint64>(keyCode));
    object.insert(QStringLiteral("modifiers"),
                  unsignedJsonValue(modifiers, QStringLiteral("modifiers")));
    return object;
}

QStringList KeyCombo::keycapLabels(std::uint32_t keyCode, std::uint64_t modifiers,
                                   std::optional<char32_t> printed) {
    return modifierLabels(modifiers) << keyName(keyCode, printed);
}

QStringList KeyCombo::keycapLabels(const KeyboardState& keyboard) const {
    return keycapLabels(keyCode, modifiers, keyboard.keyCharacter(keyCode));
}

QStringList KeyCombo::modifierLabels(std::uint64_t modifiers) {
    QStringList labels;
    if (modifiers & control) {
        labels << KeyNames::control;
    }
    if (modifiers & option) {
        labels << KeyNames::alt;
    }
    if (modifiers & shift) {
        labels << KeyNames::shift;
    }
    if (modifiers & command) {
        labels << KeyNames::super;
    }
    return labels;
}

QString KeyCombo::keyName(std::uint32_t keyCode, std::optional<char32_t> printed) {
    if (const char16_t* name = lookUp(specialKeys, keyCode)) {
        return QString::fromUtf16(name);
    }
    const char16_t* name = lookUp(characterKeys, keyCode);
    if (!name) {
        name = lookUp(punctuationKeys, keyCode);
    }
    if (name && printed && QChar::isPrint(*printed) && !QChar::isSpace(*printed)) {
        // One character, as the key cap shows it: "ß" stays itself.
        const char32_t capital = QChar::toUpper(*printed);
        return QString::fromUcs4(&capital, 1);
    }
    if (name) {
        return QString::fromUtf16(name);
    }
    return QStringLiteral("Key %1").arg(keyCode);
}

std::optional<QString> KeyCombo::menuKeyEquivalent(std::uint32_t keyCode) {
    if (keyCode == spaceKeyCode) {
        return QStringLiteral(" ");
    }
    if (const char16_t* name = lookUp(characterKeys, keyCode)) {
        return QString::fromUtf16(name).toLower();
    }
    return std::nullopt;
}

}  // namespace pellucine
