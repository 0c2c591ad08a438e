#include <gtest/gtest.h>

#include "app/CommandTable.h"
#include "app/StatusMenu.h"
#include "app/StatusMenuModel.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using I = StatusMenuItem;

// The caps a user reads for a bound key sequence, written out from the binding itself.
QStringList capsOf(const QKeySequence& sequence) {
    EXPECT_EQ(sequence.count(), 1);
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    QStringList caps;
    for (const auto& [modifier, cap] :
         {std::pair{Qt::ControlModifier, "Ctrl"}, std::pair{Qt::AltModifier, "Alt"},
          std::pair{Qt::ShiftModifier, "Shift"}, std::pair{Qt::MetaModifier, "Super"}}) {
        if (modifiers.testFlag(modifier)) {
            caps << QString::fromLatin1(cap);
        }
    }
    caps << (combination.key() == Qt::Key_Space ? QStringLiteral("Space")
                                                : QKeySequence(combination.key()).toString());
    return caps;
}

StatusMenuModel menuWithSearchHotkey(KeyCombo hotkey) {
    StatusMenuState state;
    state.accessibility = PermissionState::granted;
    state.screenRecording = PermissionState::granted;
    state.windowSearchHotkey = hotkey;
    return makeStatusMenu(state);
}

TEST(StatusMenuShortcutTest, EveryRowShowsTheCapsOfTheKeysItBinds) {
    for (const KeyCombo hotkey :
         {KeyCombo{KeyCombo::spaceKeyCode, KeyCombo::shift | KeyCombo::command},
          KeyCombo{40, KeyCombo::control | KeyCombo::option},
          KeyCombo{0,
                   KeyCombo::control | KeyCombo::option | KeyCombo::shift | KeyCombo::command}}) {
        const StatusMenuModel menu = menuWithSearchHotkey(hotkey);
        int bound = 0;
        for (const StatusMenuRow& row : menu.rows) {
            if (!row.keyEquivalent) {
                continue;
            }
            ++bound;
            EXPECT_EQ(row.content.trailing.keys, capsOf(menuShortcut(*row.keyEquivalent)))
                << row.content.title.toStdString();
        }
        EXPECT_EQ(bound, 3);
    }
}

TEST(StatusMenuShortcutTest, TheMenuAndTheProgramWindowsBindTheSameCtrlKeys) {
    const QList<Command> commands = applicationCommands({});
    const StatusMenuModel menu =
        menuWithSearchHotkey({KeyCombo::spaceKeyCode, KeyCombo::shift | KeyCombo::command});
    for (const auto& [item, title] : {std::pair{I::settings, QStringLiteral("Settings…")},
                                      std::pair{I::quit, QStringLiteral("Quit PELLUCINE")}}) {
        const auto command = std::find_if(commands.begin(), commands.end(),
                                          [&](const Command& c) { return c.title == title; });
        ASSERT_NE(command, commands.end()) << title.toStdString();
        const StatusMenuRow& row = menu.row(item);
        ASSERT_TRUE(row.keyEquivalent);
        EXPECT_EQ(menuShortcut(*row.keyEquivalent), command->shortcut) << title.toStdString();
        EXPECT_EQ(row.content.trailing.keys.first(), QStringLiteral("Ctrl"));
    }
}

}  // namespace
}  // namespace pellucine
