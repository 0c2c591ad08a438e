#include "platform/linux/shortcuts/DesktopAccelerator.h"

#include <array>
#include <utility>

#include "platform/KeyModifiers.h"
#include "platform/linux/LinuxKeyTable.h"

namespace pellucine {

namespace {

constexpr quint32 graveKey = 50;

std::optional<DesktopShortcut> withKey(quint64 modifiers, QStringView keysymName) {
    std::optional<quint32> key;
    if (keysymName == u"Above_Tab") {
        // Mutter's name for the key above Tab, whatever it carries.
        key = graveKey;
    } else if (const auto keysym = LinuxKeyTable::keysymNamed(keysymName)) {
        key = LinuxKeyTable::virtualKeyForKeysym(*keysym);
    }
    if (!key) {
        return std::nullopt;
    }
    return DesktopShortcut{*key, modifiers, QString()};
}

std::optional<quint64> gtkModifier(QStringView name) {
    static const std::array<std::pair<const char*, quint64>, 10> names{{
        {"shift", KeyModifiers::shift},
        {"control", KeyModifiers::control},
        {"ctrl", KeyModifiers::control},
        {"ctl", KeyModifiers::control},
        {"primary", KeyModifiers::control},
        {"alt", KeyModifiers::option},
        {"mod1", KeyModifiers::option},
        {"super", KeyModifiers::command},
        {"mod4", KeyModifiers::command},
        {"release", 0},
    }};
    for (const auto& [known, bit] : names) {
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) {
            return bit;
        }
    }
    return std::nullopt;
}

// Qt's key names where they differ from the X keysym names.
constexpr std::array<std::pair<const char*, const char*>, 19> qtKeyNames{{
    {"Space", "space"},    {"Esc", "Escape"},   {"Backspace", "BackSpace"},
    {"Del", "Delete"},     {"Ins", "Insert"},   {"PgUp", "Prior"},
    {"PgDown", "Next"},    {"Enter", "Return"}, {"`", "grave"},
    {"-", "minus"},        {"=", "equal"},      {"[", "bracketleft"},
    {"]", "bracketright"}, {"\\", "backslash"}, {";", "semicolon"},
    {"'", "apostrophe"},   {",", "comma"},      {".", "period"},
    {"/", "slash"},
}};

}  // namespace

std::optional<DesktopShortcut> DesktopAccelerator::fromGtk(QStringView text) {
    QStringView rest = text.trimmed();
    quint64 modifiers = 0;
    while (rest.startsWith(u'<')) {
        const qsizetype close = rest.indexOf(u'>');
        if (close < 0) {
            return std::nullopt;
        }
        const auto bit = gtkModifier(rest.mid(1, close - 1));
        if (!bit) {
            return std::nullopt;
        }
        modifiers |= *bit;
        rest = rest.mid(close + 1);
    }
    if (rest.isEmpty() || rest == u"disabled") {
        return std::nullopt;
    }
    return withKey(modifiers, rest);
}

std::optional<DesktopShortcut> DesktopAccelerator::fromQt(QStringView text) {
    QStringView rest = text.trimmed();
    quint64 modifiers = 0;
    static const std::array<std::pair<const char*, quint64>, 4> names{{
        {"Meta+", KeyModifiers::command},
        {"Ctrl+", KeyModifiers::control},
        {"Alt+", KeyModifiers::option},
        {"Shift+", KeyModifiers::shift},
    }};
    // The last "+" may be the key itself ("Ctrl++"), so a modifier needs something after it.
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : names) {
            const QLatin1String name(prefix);
            if (rest.size() > name.size() && rest.startsWith(name, Qt::CaseInsensitive)) {
                modifiers |= bit;
                rest = rest.mid(name.size());
                found = true;
            }
        }
    }
    if (rest.isEmpty() || rest.compare(u"none", Qt::CaseInsensitive) == 0) {
        return std::nullopt;
    }
    if (rest == u"Backtab") {
        // Qt's name for Tab with Shift.
        return withKey(modifiers | KeyModifiers::shift, u"Tab");
    }
    for (const auto& [qt, x] : qtKeyNames) {
        if (rest == QLatin1String(qt)) {
            return withKey(modifiers, QString::fromLatin1(x));
        }
    }
    // Letters, digits, arrows and function keys are named alike; a lower-case letter is no Qt
    // name.
    if (rest.size() == 1 && rest.front().isLower()) {
        return std::nullopt;
    }
    return withKey(modifiers, rest);
}

}  // namespace pellucine
