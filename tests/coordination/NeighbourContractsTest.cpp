#include <gtest/gtest.h>

#include "coordination/RecordingSwitcherPanel.h"
#include "coordination/RecordingWindowSearch.h"
#include "preferences/RecordingSettingsOpener.h"

namespace pellucine {
namespace {

TEST(NeighbourContractsTest, TheWindowSearchReportsEveryChangeOfItsHotkeyProblemOnly) {
    RecordingWindowSearch search([] { return QList<qint32>{30, 20}; });
    QList<std::optional<QString>> reported;
    search.setOnHotkeyProblemChange(
        [&reported](const std::optional<QString>& problem) { reported.append(problem); });
    search.registerHotkey();
    search.setNextRegistrationProblem(QStringLiteral("Used by another application"));
    search.registerHotkey();
    search.registerHotkey();
    search.setNextRegistrationProblem(std::nullopt);
    search.registerHotkey();
    EXPECT_EQ(reported, (QList<std::optional<QString>>{
                            QStringLiteral("Used by another application"), std::nullopt}));
    EXPECT_EQ(search.registerCount(), 4);
    EXPECT_EQ(search.recency(), (QList<qint32>{30, 20}));
}

TEST(NeighbourContractsTest, ThePanelRecordsShowingsAndClosesOnlyWithACloseButton) {
    QList<qint32> acted;
    RecordingSwitcherPanel panel(
        {{}, {}, [&acted](ApplicationAction, qint32 pid) { acted.append(pid); }});
    EXPECT_FALSE(panel.close());
    int closes = 0;
    panel.show(
        {.anchor = ScreenPoint{10, 20}, .dockMode = true, .onClose = [&closes] { ++closes; }});
    EXPECT_TRUE(panel.isPanelVisible());
    EXPECT_TRUE(panel.close());
    panel.show({});
    EXPECT_FALSE(panel.close());
    panel.hide();
    panel.hide();
    EXPECT_FALSE(panel.isPanelVisible());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(panel.hideCount(), 2);
    ASSERT_EQ(panel.shows().size(), 2u);
    EXPECT_TRUE(panel.shows().front().dockMode);
    panel.actOnApplication(ApplicationAction::quit, 44);
    EXPECT_EQ(acted, QList<qint32>{44});
}

TEST(NeighbourContractsTest, TheSettingsPageIsPendingEvenWhenTheDelegateIsGone) {
    RecordingSettingsOpener opener;
    opener.openSettings(QStringLiteral("dock"));
    opener.setDelegateAlive(false);
    opener.openSettings(QStringLiteral("about"));
    EXPECT_EQ(opener.pendingSettingsBay(), QStringLiteral("about"));
    EXPECT_EQ(opener.windowShowCount(), 1);
}

}  // namespace
}  // namespace pellucine
