#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "app/FlaggedProblem.h"
#include "app/MenuRowLayout.h"
#include "core/Permission.h"
#include "design/ColorScheme.h"
#include "platform/SwitcherBinding.h"
#include "preferences/KeyCombo.h"
#include "updates/UpdateAvailability.h"

namespace pellucine {

// The status menu's items, in menu order.
enum class StatusMenuItem {
    flag,
    header,
    update,
    updateSeparator,
    about,
    settings,
    showWindows,
    searchWindows,
    welcome,
    diagnostics,
    reportProblem,
    website,
    quit,
    separator,
};

// A key that performs a menu item while the menu is open, with its modifier-flag bits.
struct MenuKeyEquivalent {
    QString key;
    quint64 modifiers = 0;

    // The caps that show it: the modifiers as key combinations name them, then the key.
    QStringList capLabels() const { return KeyCombo::modifierLabels(modifiers) << key.toUpper(); }

    friend bool operator==(const MenuKeyEquivalent&, const MenuKeyEquivalent&) = default;
};

struct StatusMenuRow {
    StatusMenuItem item = StatusMenuItem::separator;
    bool visible = true;
    // Shows key caps or a trailing text (About and the rows with a shortcut).
    bool custom = false;
    MenuRowContent content;
    std::optional<MenuKeyEquivalent> keyEquivalent;

    bool isSeparator() const {
        return item == StatusMenuItem::separator || item == StatusMenuItem::updateSeparator;
    }

    friend bool operator==(const StatusMenuRow&, const StatusMenuRow&) = default;
};

// What the status menu is made from, read when it opens.
struct StatusMenuState {
    ColorScheme scheme = ColorScheme::light;
    PermissionState accessibility = PermissionState::notDetermined;
    PermissionState screenRecording = PermissionState::notDetermined;
    bool windowSearchEnabled = true;
    KeyCombo windowSearchHotkey;
    // What the layout in effect prints on the hotkey's key; none: its US name.
    std::optional<char32_t> windowSearchKeyCharacter;
    std::optional<QString> windowSearchHotkeyProblem;
    bool canUpdateItself = false;
    // Only an available update shows.
    UpdateAvailability availability;
    // This program's version, without a "v".
    QString currentVersion;
    // The application the Show Windows row acts on, when it runs and has a name.
    std::optional<QString> targetApplicationName;
    // The keys the switcher strip opens on, which the header shows; none while it is off.
    std::optional<SwitcherBinding> switcherKeys = SwitcherBinding{};
};

// The status menu as it is to be drawn, rebuilt from the state at every opening.
struct StatusMenuModel {
    static constexpr int minimumWidth = 268;

    QList<StatusMenuRow> rows;
    std::optional<FlaggedProblem> problem;

    // The row of the item; the first separator for `separator`.
    const StatusMenuRow& row(StatusMenuItem item) const;
};

StatusMenuModel makeStatusMenu(const StatusMenuState& state);

// The one width of the header and every row: the widest of 268, what the header needs for its
// caps and what each shown row needs in the rows' fonts.
int statusMenuWidth(const QList<StatusMenuRow>& rows);

}  // namespace pellucine
