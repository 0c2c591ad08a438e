#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>
#include <utility>

#include "base/AppPaths.h"
#include "platform/KeyboardShortcutSettings.h"
#include "platform/SwitcherBinding.h"
#include "preferences/KeyCombo.h"

namespace pellucine {

// Who else uses a key combination: the system's reserved and configured shortcuts, the
// desktop's own bindings, the hotkeys of other applications of the same maker, and the rule that
// Command with one key belongs to applications' menus. Every source is read beforehand into
// `Sources`, so that `owner` is a pure function of its arguments; the sources are consulted in
// one fixed order, and so are the entries within each, so the same data always gives the same
// answer.
class HotkeyConflicts final {
  public:
    HotkeyConflicts() = delete;

    // A system shortcut with its factory binding: `id` is its number in the symbolic hot keys.
    struct SystemShortcut {
        QString id;
        KeyCombo combo;
        QString name;
    };

    // A shortcut of another program and the text that names it.
    struct OtherShortcut {
        KeyCombo combo;
        QString owner;

        friend bool operator==(const OtherShortcut&, const OtherShortcut&) = default;
    };

    // Everything `owner` consults. Combinations are reduced to the four modifier bits.
    struct Sources {
        // The system's symbolic hot keys (see `KeyboardShortcutSettings`). Nothing on a desktop
        // that is not that system: its reserved and factory shortcuts then count for nothing,
        // the program's own switcher holds its keys, and menus use Control with one key.
        std::optional<QJsonObject> symbolicHotKeys = QJsonObject();
        // Off that system: the keys the program's own switcher strip holds; none while it is off.
        std::optional<SwitcherBinding> ownSwitcher = SwitcherBinding{};
        // The desktop's own bindings.
        QList<OtherShortcut> desktopShortcuts;
        // Garnock's hotkeys by settings key, only the keys it names.
        QList<std::pair<QString, KeyCombo>> garnockHotkeys;
        // Ravelin's, then Quorrel's, then Plim's shortcuts.
        QList<OtherShortcut> otherShortcuts;
    };

    // The owner text of the combination, or nothing when it is free. Modifiers are `KeyCombo`
    // bits; bits outside the four modifiers are ignored.
    static std::optional<QString> owner(quint32 keyCode, quint64 modifiers, const Sources& sources);

    // Reads every source now: the desktop's settings and the other applications' files under
    // `paths`. Whatever cannot be read contributes nothing.
    static Sources readSources(const KeyboardShortcutSettings& settings, const AppPaths& paths);

    // The twelve system shortcuts, in the order they are tested.
    static const QList<SystemShortcut>& systemShortcuts();
    // The combination a symbolic hot-key entry is bound to, or nothing.
    static std::optional<KeyCombo> boundCombo(const QJsonValue& entry);
    // Garnock's hotkeys from its settings file, in the order of its three settings keys.
    static QList<std::pair<QString, KeyCombo>> readGarnockSettings(const QString& filePath);
    // <Application Support>/Garnock/settings.json.
    static QString garnockSettingsPath(const AppPaths& paths);
    // Ravelin's, Quorrel's and Plim's shortcuts, in that order.
    static QList<OtherShortcut> readOtherShortcuts(const AppPaths& paths);
    // A name as words: "toggleMainWindow" gives "toggle main window", "URL" gives "u r l".
    static QString words(QStringView name);
};

}  // namespace pellucine
