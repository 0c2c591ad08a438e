#include "preferences/HotkeyConflicts.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QSettings>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "base/RegularFile.h"
#include "preferences/JsonFields.h"
#include "preferences/PreferenceCodingError.h"
#include "preferences/SettingsFileStore.h"

namespace pellucine {

namespace {

// Other programs' files larger than this are not read.
constexpr qint64 sizeLimit = 1024 * 1024;
constexpr quint32 noKey = 65535;

struct Reserved {
    quint32 keyCode;
    quint64 modifiers;
    const char16_t* owner;
};

constexpr std::array<Reserved, 3> reservedCombinations{{
    {KeyCombo::tabKeyCode, KeyCombo::command, u"macOS: the app switcher"},
    {KeyCombo::spaceKeyCode, KeyCombo::control | KeyCombo::command, u"macOS: Emoji & Symbols"},
    {KeyCombo::escapeKeyCode, KeyCombo::option | KeyCombo::command, u"macOS: Force Quit"},
}};

constexpr std::array<std::pair<const char16_t*, const char16_t*>, 3> garnockKeys{{
    {u"launcherHotkey", u"Garnock's launcher"},
    {u"clipboardHotkey", u"Garnock's clipboard history"},
    {u"selectionHotkey", u"Garnock's selection actions"},
}};

const QString ownSwitcherOwner = QStringLiteral("PELLUCINE: the app switcher");

const QString otherSystemShortcut = QStringLiteral("a macOS keyboard shortcut");
const QString menuShortcut = QStringLiteral("most apps' own menus (⌘ and one key)");
const QString controlMenuShortcut = QStringLiteral("most apps' own menus (Ctrl and one key)");

// Carbon modifier bits to key-combination bits.
constexpr std::array<std::pair<quint64, quint64>, 4> carbonModifiers{{
    {0x100, KeyCombo::command},
    {0x200, KeyCombo::shift},
    {0x800, KeyCombo::option},
    {0x1000, KeyCombo::control},
}};

bool sameCombination(const KeyCombo& a, const KeyCombo& b) {
    return a.keyCode == b.keyCode &&
           (a.modifiers & KeyCombo::allModifiers) == (b.modifiers & KeyCombo::allModifiers);
}

// The top-level object of a JSON file, or nothing when the file is missing, too large or not
// a JSON object.
std::optional<QJsonObject> readJsonFile(const QString& path) {
    const RegularFileRead read = readRegularFile(path, sizeLimit);
    if (!read.ok()) {
        return std::nullopt;
    }
    try {
        return parseJsonObject(read.data);
    } catch (const PreferenceDecodingError&) {
        return std::nullopt;
    }
}

// An object with whole-number members "keyCode" and "modifiers", reduced to the four modifier
// bits.
std::optional<KeyCombo> comboFrom(const QJsonValue& value) {
    try {
        KeyCombo combo = KeyCombo::fromJson(value);
        combo.modifiers &= KeyCombo::allModifiers;
        return combo;
    } catch (const PreferenceDecodingError&) {
        return std::nullopt;
    }
}

// Symbolic hot-key numbers in ascending numeric order, any other key after them in text order.
QStringList orderedKeys(const QJsonObject& object) {
    struct Key {
        std::optional<qulonglong> number;
        QString text;
    };
    std::vector<Key> keys;
    keys.reserve(object.size());
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString text = it.key();
        bool ok = false;
        const qulonglong n = text.toULongLong(&ok);
        const bool digitsOnly =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
        keys.push_back({ok && digitsOnly ? std::optional(n) : std::nullopt, text});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.number.has_value() != b.number.has_value()) {
            return a.number.has_value();
        }
        if (a.number && *a.number != *b.number) {
            return *a.number < *b.number;
        }
        return a.text < b.text;
    });
    QStringList out;
    out.reserve(qsizetype(keys.size()));
    for (const Key& key : keys) {
        out << key.text;
    }
    return out;
}

QList<HotkeyConflicts::OtherShortcut> readRavelin(const AppPaths& paths) {
    static const QString prefix = QStringLiteral("KeyboardShortcuts_");
    const QString path =
        SettingsFileStore::domainFilePath(paths, QStringLiteral("com.orrinvale.ravelin"));
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > sizeLimit) {
        return {};
    }
    const QSettings defaults(path, QSettings::IniFormat);
    QStringList keys = defaults.allKeys();
    keys.sort();
    QList<HotkeyConflicts::OtherShortcut> out;
    for (const QString& key : std::as_const(keys)) {
        const QVariant value = defaults.value(key);
        if (!key.startsWith(prefix) || value.typeId() != QMetaType::QString) {
            continue;
        }
        std::optional<QJsonObject> object;
        try {
            object = parseJsonObject(value.toString().toUtf8());
        } catch (const PreferenceDecodingError&) {
            continue;
        }
        const auto keyCode = jsonInteger(object->value(QStringLiteral("carbonKeyCode")));
        const auto modifiers = jsonInteger(object->value(QStringLiteral("carbonModifiers")));
        if (!keyCode || !modifiers || *keyCode < 0 ||
            *keyCode > std::numeric_limits<quint32>::max() || *modifiers < 0) {
            continue;
        }
        KeyCombo combo{static_cast<quint32>(*keyCode), 0};
        for (const auto& [carbon, bit] : carbonModifiers) {
            if (static_cast<quint64>(*modifiers) & carbon) {
                combo.modifiers |= bit;
            }
        }
        out.append({combo, QStringLiteral("Ravelin’s ") +
                               HotkeyConflicts::words(QStringView(key).mid(prefix.size()))});
    }
    return out;
}

QList<HotkeyConflicts::OtherShortcut> readQuorrel(const AppPaths& paths) {
    const auto object =
        readJsonFile(paths.applicationSupport + QStringLiteral("/Quorrel/settings.json"));
    if (!object) {
        return {};
    }
    const QJsonArray shortcuts = object->value(QStringLiteral("shortcuts")).toArray();
    QList<HotkeyConflicts::OtherShortcut> out;
    for (qsizetype i = 0; i + 1 < shortcuts.size(); i += 2) {
        const QJsonValue name = shortcuts.at(i);
        const auto combo = comboFrom(shortcuts.at(i + 1));
        if (name.isString() && combo) {
            out.append(
                {*combo, QStringLiteral("Quorrel’s ") + HotkeyConflicts::words(name.toString())});
        }
    }
    return out;
}

QList<HotkeyConflicts::OtherShortcut> readPlim(const AppPaths& paths) {
    const auto object =
        readJsonFile(paths.applicationSupport + QStringLiteral("/Plim/settings.json"));
    if (!object) {
        return {};
    }
    const QJsonArray items = object->value(QStringLiteral("itemHotkeys")).toArray();
    // One item that is not an object makes the whole list unusable.
    if (std::any_of(items.begin(), items.end(),
                    [](const QJsonValue& v) { return !v.isObject(); })) {
        return {};
    }
    QList<HotkeyConflicts::OtherShortcut> out;
    for (const QJsonValue& item : items) {
        if (const auto combo = comboFrom(item.toObject().value(QStringLiteral("shortcut")))) {
            out.append({*combo, QStringLiteral("Plim’s menu bar item hotkey")});
        }
    }
    return out;
}

}  // namespace

const QList<HotkeyConflicts::SystemShortcut>& HotkeyConflicts::systemShortcuts() {
    static const QList<SystemShortcut> table{
        {QStringLiteral("60"),
         {49, KeyCombo::control},
         QStringLiteral("macOS: Select the previous input source")},
        {QStringLiteral("61"),
         {49, KeyCombo::control | KeyCombo::option},
         QStringLiteral("macOS: Select next source in Input menu")},
        {QStringLiteral("64"), {49, KeyCombo::command}, QStringLiteral("macOS: Spotlight")},
        {QStringLiteral("65"),
         {49, KeyCombo::option | KeyCombo::command},
         QStringLiteral("macOS: Finder search window")},
        {QStringLiteral("27"),
         {50, KeyCombo::command},
         QStringLiteral("macOS: Move focus to next window")},
        {QStringLiteral("28"),
         {20, KeyCombo::shift | KeyCombo::command},
         QStringLiteral("macOS: Screenshot")},
        {QStringLiteral("29"),
         {21, KeyCombo::shift | KeyCombo::command},
         QStringLiteral("macOS: Screenshot of an area")},
        {QStringLiteral("184"),
         {23, KeyCombo::shift | KeyCombo::command},
         QStringLiteral("macOS: Screenshot and recording options")},
        {QStringLiteral("32"), {126, KeyCombo::control}, QStringLiteral("macOS: Mission Control")},
        {QStringLiteral("33"), {125, KeyCombo::control}, QStringLiteral("macOS: App windows")},
        {QStringLiteral("79"),
         {123, KeyCombo::control},
         QStringLiteral("macOS: Move left a Space")},
        {QStringLiteral("81"),
         {124, KeyCombo::control},
         QStringLiteral("macOS: Move right a Space")},
    };
    return table;
}

std::optional<QString> HotkeyConflicts::owner(quint32 keyCode, quint64 modifiers,
                                              const Sources& sources) {
    static const QList<SystemShortcut> noShortcuts;
    const KeyCombo asked{keyCode, modifiers & KeyCombo::allModifiers};
    const bool systemShortcutsApply = sources.symbolicHotKeys.has_value();
    if (systemShortcutsApply) {
        for (const Reserved& reserved : reservedCombinations) {
            if (sameCombination(asked, {reserved.keyCode, reserved.modifiers})) {
                return QString::fromUtf16(reserved.owner);
            }
        }
    } else if (sources.ownSwitcher) {
        // Where the system's own shortcuts are not in force, the program's strip holds its keys.
        for (const SwitcherBinding::Combination& held : sources.ownSwitcher->combinations()) {
            if (sameCombination(asked, {held.keyCode, held.modifiers})) {
                return ownSwitcherOwner;
            }
        }
    }
    const QJsonObject symbolic = sources.symbolicHotKeys.value_or(QJsonObject());
    // Factory bindings, unless the user turned the shortcut off or bound it elsewhere.
    for (const SystemShortcut& row : systemShortcutsApply ? systemShortcuts() : noShortcuts) {
        if (!sameCombination(row.combo, asked)) {
            continue;
        }
        const QJsonValue entry = symbolic.value(row.id);
        if (!entry.isObject()) {
            return row.name;
        }
        const QJsonValue enabled = entry.toObject().value(QStringLiteral("enabled"));
        if (enabled.isBool() && !enabled.toBool()) {
            continue;
        }
        const auto bound = boundCombo(entry);
        if (!bound || sameCombination(*bound, asked)) {
            return row.name;
        }
    }

    // Current bindings that are switched on.
    for (const QString& id : orderedKeys(symbolic)) {
        const QJsonValue entry = symbolic.value(id);
        if (!entry.isObject() || entry.toObject().isEmpty()) {
            continue;
        }
        const QJsonValue enabled = entry.toObject().value(QStringLiteral("enabled"));
        if (!enabled.isBool() || !enabled.toBool()) {
            continue;
        }
        const auto bound = boundCombo(entry);
        if (!bound || !sameCombination(*bound, asked)) {
            continue;
        }
        for (const SystemShortcut& row : systemShortcuts()) {
            if (row.id == id) {
                return row.name;
            }
        }
        return otherSystemShortcut;
    }

    for (const OtherShortcut& shortcut : sources.desktopShortcuts) {
        if (sameCombination(shortcut.combo, asked)) {
            return shortcut.owner;
        }
    }
    for (const auto& [settingsKey, owner] : garnockKeys) {
        for (const auto& [key, combo] : sources.garnockHotkeys) {
            if (key == QStringView(settingsKey) && sameCombination(combo, asked)) {
                return QString::fromUtf16(owner);
            }
        }
    }
    for (const OtherShortcut& shortcut : sources.otherShortcuts) {
        if (sameCombination(shortcut.combo, asked)) {
            return shortcut.owner;
        }
    }
    // Command with a letter, digit, punctuation key, Return, Tab, Space or the grave accent;
    // Control where the program does not run on that system.
    if (asked.keyCode < 51 &&
        asked.modifiers == (systemShortcutsApply ? KeyCombo::command : KeyCombo::control)) {
        return systemShortcutsApply ? menuShortcut : controlMenuShortcut;
    }
    return std::nullopt;
}

HotkeyConflicts::Sources HotkeyConflicts::readSources(const KeyboardShortcutSettings& settings,
                                                      const AppPaths& paths) {
    Sources sources;
    sources.symbolicHotKeys = settings.symbolicHotKeys();
    for (const DesktopShortcut& shortcut : settings.desktopShortcuts()) {
        sources.desktopShortcuts.append(
            {{shortcut.keyCode, shortcut.modifiers & KeyCombo::allModifiers}, shortcut.owner});
    }
    sources.garnockHotkeys = readGarnockSettings(garnockSettingsPath(paths));
    sources.otherShortcuts = readOtherShortcuts(paths);
    return sources;
}

std::optional<KeyCombo> HotkeyConflicts::boundCombo(const QJsonValue& entry) {
    const QJsonValue value = entry.toObject().value(QStringLiteral("value"));
    const QJsonValue parameters = value.toObject().value(QStringLiteral("parameters"));
    if (!parameters.isArray()) {
        return std::nullopt;
    }
    QList<qint64> numbers;
    for (const QJsonValue& parameter : parameters.toArray()) {
        const auto number = jsonInteger(parameter);
        if (!number) {
            return std::nullopt;
        }
        numbers.append(*number);
    }
    if (numbers.size() < 3 || numbers[1] == noKey || numbers[1] < 0 ||
        numbers[1] > std::numeric_limits<quint32>::max() || numbers[2] < 0) {
        return std::nullopt;
    }
    return KeyCombo{static_cast<quint32>(numbers[1]),
                    static_cast<quint64>(numbers[2]) & KeyCombo::allModifiers};
}

QList<std::pair<QString, KeyCombo>> HotkeyConflicts::readGarnockSettings(const QString& filePath) {
    const auto object = readJsonFile(filePath);
    if (!object) {
        return {};
    }
    QList<std::pair<QString, KeyCombo>> out;
    for (const auto& [settingsKey, owner] : garnockKeys) {
        const QString key = QString::fromUtf16(settingsKey);
        if (const auto combo = comboFrom(object->value(key))) {
            out.append({key, *combo});
        }
    }
    return out;
}

QString HotkeyConflicts::garnockSettingsPath(const AppPaths& paths) {
    return paths.applicationSupport + QStringLiteral("/Garnock/settings.json");
}

QList<HotkeyConflicts::OtherShortcut> HotkeyConflicts::readOtherShortcuts(const AppPaths& paths) {
    return readRavelin(paths) + readQuorrel(paths) + readPlim(paths);
}

QString HotkeyConflicts::words(QStringView name) {
    QString out;
    for (const QChar c : name) {
        if (c.isUpper() && !out.isEmpty()) {
            out += QLatin1Char(' ');
        }
        out += c.toLower();
    }
    return out;
}

}  // namespace pellucine
