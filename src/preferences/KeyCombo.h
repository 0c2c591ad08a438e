#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/KeyModifiers.h"
#include "platform/KeyboardState.h"

namespace pellucine {

// One keyboard shortcut: a positional virtual key code (0 is A, 48 is Tab, 49 is Space) and a
// mask of modifier-flag bits. The record enforces nothing; consumers mask the bits they need.
struct KeyCombo {
    static constexpr std::uint64_t shift = KeyModifiers::shift;
    static constexpr std::uint64_t control = KeyModifiers::control;
    static constexpr std::uint64_t option = KeyModifiers::option;
    static constexpr std::uint64_t command = KeyModifiers::command;
    static constexpr std::uint64_t allModifiers = KeyModifiers::all;

    static constexpr std::uint32_t tabKeyCode = 48;
    static constexpr std::uint32_t spaceKeyCode = 49;
    static constexpr std::uint32_t escapeKeyCode = 53;

    std::uint32_t keyCode = 0;
    std::uint64_t modifiers = 0;

    friend bool operator==(const KeyCombo&, const KeyCombo&) = default;

    // {"keyCode": …, "modifiers": …}. Both members are required and range-checked; others are
    // ignored. Throws PreferenceDecodingError; `path` names the combo in the error text.
    static KeyCombo fromJson(const QJsonValue& value, const QString& path = {});
    QJsonObject toJson() const;

    // One label per key cap: "Ctrl", "Alt", "Shift", "Super" for the modifiers that are set, in
    // that order, then the key's name. Other modifier bits add nothing.
    static QStringList keycapLabels(std::uint32_t keyCode, std::uint64_t modifiers,
                                    std::optional<char32_t> printed = std::nullopt);
    // The modifier caps alone, in the same order.
    static QStringList modifierLabels(std::uint64_t modifiers);
    // The caps as a US keyboard labels them.
    QStringList keycapLabels() const { return keycapLabels(keyCode, modifiers); }
    // The caps as the keyboard's layout in effect labels them.
    QStringList keycapLabels(const KeyboardState& keyboard) const;
    // The key's display name: a special key's name (the same on every layout), else what the
    // layout prints on the key (`printed`, in capitals: "Z" for the key a US layout calls Y on a
    // German one), else the US letter, digit or punctuation, else "Key <code>".
    static QString keyName(std::uint32_t keyCode, std::optional<char32_t> printed = std::nullopt);
    // A menu item's key equivalent: " " for Space, a letter or digit in lower case, else none.
    static std::optional<QString> menuKeyEquivalent(std::uint32_t keyCode);
};

inline size_t qHash(const KeyCombo& combo, size_t seed = 0) noexcept {
    return qHashMulti(seed, combo.keyCode, combo.modifiers);
}

}  // namespace pellucine

template <>
struct std::hash<pellucine::KeyCombo> {
    size_t operator()(const pellucine::KeyCombo& combo) const noexcept {
        return pellucine::qHash(combo);
    }
};
