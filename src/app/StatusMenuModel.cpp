#include "app/StatusMenuModel.h"

#include <algorithm>
#include <stdexcept>

#include "app/MenuHeader.h"
#include "design/YardPalette.h"

namespace pellucine {

namespace {

StatusMenuRow separator(StatusMenuItem item = StatusMenuItem::separator, bool visible = true) {
    StatusMenuRow row;
    row.item = item;
    row.visible = visible;
    return row;
}

// A row drawn with its symbol in the scheme's ink.
StatusMenuRow plain(StatusMenuItem item, const QString& title, const QString& symbol,
                    ColorScheme scheme) {
    StatusMenuRow row;
    row.item = item;
    row.content.title = title;
    row.content.symbol = symbol;
    row.content.palette = {scheme == ColorScheme::dark ? QColor(Qt::white) : QColor(Qt::black)};
    return row;
}

// A row with a trailing part; its symbol takes the title's colour.
StatusMenuRow trailing(StatusMenuItem item, const QString& title, const QString& symbol,
                       MenuRowTrailing part, std::optional<MenuKeyEquivalent> key = std::nullopt) {
    StatusMenuRow row;
    row.item = item;
    row.custom = true;
    row.content.title = title;
    row.content.symbol = symbol.isEmpty() ? QStringLiteral("info.circle") : symbol;
    row.content.trailing = std::move(part);
    row.keyEquivalent = std::move(key);
    return row;
}

// A row whose caps show the key equivalent that performs it.
StatusMenuRow shortcut(StatusMenuItem item, const QString& title, const QString& symbol,
                       const MenuKeyEquivalent& key) {
    return trailing(item, title, symbol, MenuRowTrailing::keyCaps(key.capLabels()), key);
}

StatusMenuRow searchRow(const StatusMenuState& state) {
    const QString title = QStringLiteral("Search Windows…");
    const QString symbol = QStringLiteral("magnifyingglass");
    StatusMenuRow row;
    if (state.windowSearchHotkeyProblem) {
        row = plain(StatusMenuItem::searchWindows, title, symbol, state.scheme);
    } else {
        const KeyCombo& combo = state.windowSearchHotkey;
        std::optional<MenuKeyEquivalent> key;
        if (const auto equivalent = KeyCombo::menuKeyEquivalent(combo.keyCode)) {
            key = MenuKeyEquivalent{*equivalent, combo.modifiers};
        }
        row = trailing(StatusMenuItem::searchWindows, title, symbol,
                       MenuRowTrailing::keyCaps(KeyCombo::keycapLabels(
                           combo.keyCode, combo.modifiers, state.windowSearchKeyCharacter)),
                       key);
    }
    row.visible = state.windowSearchEnabled;
    return row;
}

}  // namespace

const StatusMenuRow& StatusMenuModel::row(StatusMenuItem item) const {
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [item](const StatusMenuRow& r) { return r.item == item; });
    if (found == rows.end()) {
        throw std::out_of_range("no such status menu item");
    }
    return *found;
}

StatusMenuModel makeStatusMenu(const StatusMenuState& state) {
    using I = StatusMenuItem;
    const Yard::Palette& palette = Yard::palette(state.scheme);
    StatusMenuModel menu;
    menu.problem =
        currentFlaggedProblem(state.accessibility, state.screenRecording, state.windowSearchEnabled,
                              state.windowSearchHotkeyProblem);

    StatusMenuRow flag = plain(I::flag, menu.problem ? menu.problem->title() : QString(),
                               QStringLiteral("exclamationmark.triangle.fill"), state.scheme);
    flag.visible = menu.problem.has_value();
    flag.content.bold = true;
    flag.content.tint = palette.accentType;
    flag.content.palette = {palette.accentType};

    StatusMenuRow header;
    header.item = I::header;
    header.content.enabled = false;
    if (state.switcherKeys) {
        header.content.trailing = MenuRowTrailing::keyCaps(state.switcherKeys->keyNames());
    }

    const auto offer = state.availability.menuItemText();
    const bool offersUpdate = state.canUpdateItself && offer.has_value();
    StatusMenuRow update = plain(I::update, offer ? offer->title : QString(),
                                 QStringLiteral("arrow.down.circle.fill"), state.scheme);
    update.visible = offersUpdate;
    update.content.bold = true;
    update.content.subtitle = offer ? offer->subtitle : QString();
    update.content.palette = {Qt::white, palette.accent};

    const QString showWindows =
        state.targetApplicationName
            ? QStringLiteral("Show %1 Windows").arg(*state.targetApplicationName)
            : QStringLiteral("Show App Windows");

    menu.rows = {
        flag,
        header,
        separator(),
        update,
        separator(I::updateSeparator, offersUpdate),
        trailing(I::about, QStringLiteral("About PELLUCINE"), QStringLiteral("info.circle"),
                 MenuRowTrailing::plainText(QStringLiteral("v") + state.currentVersion)),
        separator(),
        shortcut(I::settings, QStringLiteral("Settings…"), QStringLiteral("gearshape"),
                 MenuKeyEquivalent{QStringLiteral(","), KeyCombo::control}),
        plain(I::showWindows, showWindows, QStringLiteral("rectangle.stack"), state.scheme),
        searchRow(state),
        separator(),
        plain(I::welcome, QStringLiteral("Welcome & Permissions…"),
              QStringLiteral("sparkles.rectangle.stack"), state.scheme),
        plain(I::diagnostics, QStringLiteral("Diagnostics…"), QStringLiteral("waveform.path.ecg"),
              state.scheme),
        plain(I::reportProblem, QStringLiteral("Report a Problem…"),
              QStringLiteral("exclamationmark.bubble"), state.scheme),
        plain(I::website, QStringLiteral("PELLUCINE Website"), QStringLiteral("globe"),
              state.scheme),
        separator(),
        shortcut(I::quit, QStringLiteral("Quit PELLUCINE"), QStringLiteral("power"),
                 MenuKeyEquivalent{QStringLiteral("q"), KeyCombo::control}),
    };
    return menu;
}

int statusMenuWidth(const QList<StatusMenuRow>& rows) {
    int width = StatusMenuModel::minimumWidth;
    for (const StatusMenuRow& row : rows) {
        if (row.item == StatusMenuItem::header) {
            width = std::max(width, MenuHeader::widthNeed(row.content.trailing.keys));
            continue;
        }
        if (!row.visible || row.isSeparator()) {
            continue;
        }
        width = std::max(width, row.custom
                                    ? trailingRowWidthNeed(row.content.title, row.content.trailing)
                                    : plainRowWidthNeed(row.content));
    }
    return width;
}

}  // namespace pellucine
