#include <gtest/gtest.h>

#include <QAction>
#include <QWidget>

#include "app/CommandTable.h"

namespace pellucine {
namespace {

TEST(CommandActionsTest, TheWindowCarriesEveryCommandInOrderWithWindowWideShortcuts) {
    QWidget window;
    QStringList ran;
    const QList<Command> commands{
        {CommandGroup::applicationSettings, "Settings…", QKeySequence(Qt::CTRL | Qt::Key_Comma),
         [&ran] { ran << "settings"; }},
        {CommandGroup::applicationSettings, {}, {}, {}},
        {CommandGroup::applicationTermination, "Quit PELLUCINE", QKeySequence(Qt::CTRL | Qt::Key_Q),
         [&ran] { ran << "quit"; }},
    };
    const QList<QAction*> actions = installCommands(window, commands);
    ASSERT_EQ(actions, window.actions());
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Settings…");
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(actions[0]->shortcutContext(), Qt::WindowShortcut);
    EXPECT_TRUE(actions[1]->isSeparator());
    actions[2]->trigger();
    actions[1]->trigger();
    actions[0]->trigger();
    EXPECT_EQ(ran, (QStringList{"quit", "settings"}));
}

}  // namespace
}  // namespace pellucine
