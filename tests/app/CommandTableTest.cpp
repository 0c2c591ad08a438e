#include <gtest/gtest.h>

#include "RecordingShellCommands.h"
#include "app/CommandTable.h"
#include "app/WebsiteURL.h"
#include "diagnostics/Maker.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

struct RecordingUrlOpener final : UrlOpener {
    bool open(const QUrl& url) override {
        opened << url;
        return true;
    }
    QList<QUrl> opened;
};

class CommandTableTest : public ::testing::Test {
  protected:
    QList<Command> commands(QUrl website = QUrl("https://example.com")) {
        return applicationCommands({[this] { return delegateAlive ? &delegate : nullptr; },
                                    [this] { ++terminations; }, &shell, std::move(website)});
    }
    const Command& titled(const QList<Command>& all, const QString& title) {
        for (const Command& command : all) {
            if (command.title == title) {
                return command;
            }
        }
        ADD_FAILURE() << "no command " << title.toStdString();
        return all.front();
    }

    testing::RecordingShellCommands delegate;
    bool delegateAlive = true;
    int terminations = 0;
    RecordingUrlOpener shell;
};

TEST_F(CommandTableTest, TheCommandsInMenuOrderWithTheirGroupsAndShortcuts) {
    using G = CommandGroup;
    const QList<Command> all = commands();
    const QList<std::tuple<G, QString, QKeySequence>> expected{
        {G::applicationInformation, "About PELLUCINE", {}},
        {G::applicationSettings, "Settings…", QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {G::applicationSettings, "", {}},
        {G::applicationSettings, "Show Current App Windows", {}},
        {G::applicationSettings, "Search Windows…", {}},
        {G::applicationSettings, "", {}},
        {G::applicationSettings, "Welcome & Permissions…", {}},
        {G::applicationSettings, "Diagnostics…", {}},
        {G::applicationSettings, "Report a Problem…", {}},
        {G::applicationTermination, "Quit PELLUCINE", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {G::help, "PELLUCINE Website", {}},
        {G::help, "Orrinvale", {}},
    };
    ASSERT_EQ(all.size(), expected.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].group, std::get<0>(expected[i])) << i;
        EXPECT_EQ(all[i].title, std::get<1>(expected[i])) << i;
        EXPECT_EQ(all[i].shortcut, std::get<2>(expected[i])) << i;
        EXPECT_EQ(all[i].isSeparator(), !all[i].action) << i;
    }
}

TEST_F(CommandTableTest, EachCommandReachesItsDelegateRoutine) {
    const QList<Command> all = commands(QUrl("https://example.com"));
    for (const Command& command : all) {
        if (!command.isSeparator()) {
            command.action();
        }
    }
    EXPECT_EQ(delegate.calls, (QStringList{"showSettingsPane about", "showSettings", "openSwitcher",
                                           "openWindowSearch", "showOnboardingFromMenu",
                                           "showDiagnosticsWindow", "reportProblem"}));
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(shell.opened, (QList<QUrl>{QUrl("https://example.com"), studioURL}));
    EXPECT_EQ(studioURL.scheme(), "https");
}

TEST_F(CommandTableTest, WithoutADelegateOnlyQuitActs) {
    delegateAlive = false;
    for (const Command& command : commands(QUrl("https://example.com"))) {
        if (!command.isSeparator()) {
            command.action();
        }
    }
    EXPECT_TRUE(delegate.calls.isEmpty());
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_EQ(terminations, 1);
}

TEST_F(CommandTableTest, ABuildWithoutAFeedLinksTheProductSiteAboutLinks) {
    titled(commands(productWebsite(Bundle({}, QString()))), "PELLUCINE Website").action();
    titled(commands(), "Orrinvale").action();
    EXPECT_EQ(shell.opened, (QList<QUrl>{Maker::productWebsite, studioURL}));
}

}  // namespace
}  // namespace pellucine
