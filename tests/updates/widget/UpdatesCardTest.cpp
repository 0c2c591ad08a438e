#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLayout>
#include <QProgressBar>
#include <QTest>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "design/PaneLink.h"
#include "design/RowText.h"
#include "design/SettingRow.h"
#include "design/YardButton.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"
#include "platform/sim/SimulatedSession.h"
#include "platform/sim/SimulatedUpdater.h"
#include "support/OpenFailureNotices.h"
#include "updates/UpdateController.h"
#include "updates/UpdateDialogs.h"
#include "updates/UpdatesCard.h"

namespace pellucine {
namespace {

UpdateEnvironment environment(const QString& path, bool installed) {
    return {Bundle({{"SUFeedURL", "https://updates.example.com/appcast.xml"},
                    {"CFBundleShortVersionString", "1.4"},
                    {"CFBundleVersion", "140"}},
                   {}),
            path, QProcessEnvironment(), installed};
}

class UpdatesCardTest : public ::testing::Test {
  protected:
    ManualScheduler scheduler;
    RecordingEventLog events;
    SimulatedUpdaterFactory updaters;
    SimulatedSession shell{scheduler};
    Observable<MachinePreferences> machinePreferences;
    int saves = 0;
    std::unique_ptr<UpdateController> controller;
    std::unique_ptr<UpdatesCard> card;

    UpdatesCard& make(const QString& path = QStringLiteral("/home/ada/Applications/pellucine"),
                      bool installed = false) {
        controller = std::make_unique<UpdateController>(
            UpdateController::Services{environment(path, installed), scheduler,
                                       scheduler.clocks().wall, events},
            UpdateController::Host{updaters.factory(), {}, {}});
        card = std::make_unique<UpdatesCard>(
            UpdatesCard::Context{*controller, machinePreferences, [this] { ++saves; }, shell,
                                 QUrl("https://pellucine.example.com"), scheduler.clocks().wall});
        card->resize(640, card->sizeHint().height());
        card->show();
        return *card;
    }
};

TEST_F(UpdatesCardTest, TheSwitchCommitsAndReachesTheUpdater) {
    make();
    EXPECT_EQ(card->objectName(), "updates");
    EXPECT_TRUE(card->automaticChecksSwitch()->isChecked());
    EXPECT_EQ(card->automaticChecksSwitch()->accessibleName(), "Check for updates automatically");
    // Building the card applies nothing.
    EXPECT_EQ(updaters.createdCount(), 0);
    controller->apply(machinePreferences.value());
    ASSERT_TRUE(updaters.updater());

    QTest::mouseClick(card->automaticChecksSwitch(), Qt::LeftButton);
    EXPECT_FALSE(machinePreferences.value().automaticUpdateChecks);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(updaters.updater()->automaticallyChecksForUpdates());
    EXPECT_FALSE(controller->preferences().automaticUpdateChecks);

    QTest::mouseClick(card->automaticChecksSwitch(), Qt::LeftButton);
    EXPECT_EQ(saves, 2);
    EXPECT_TRUE(updaters.updater()->automaticallyChecksForUpdates());

    // A change from elsewhere moves the switch without a commit of its own.
    machinePreferences.modify([](MachinePreferences& p) { p.automaticUpdateChecks = false; });
    EXPECT_FALSE(card->automaticChecksSwitch()->isChecked());
    EXPECT_FALSE(updaters.updater()->automaticallyChecksForUpdates());
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(updaters.createdCount(), 1);
}

TEST_F(UpdatesCardTest, ButtonsProbeAndInstallAndTheLinkOpensTheNotes) {
    make();
    controller->apply(machinePreferences.value());
    SimulatedUpdater& engine = *updaters.updater();
    EXPECT_FALSE(card->updateRow()->isVisible());
    EXPECT_EQ(card->statusDetail()->text(), "Never checked");

    QTest::mouseClick(card->checkNowButton(), Qt::LeftButton);
    EXPECT_EQ(engine.probes(), 1);
    EXPECT_EQ(engine.userChecks(), 0);
    EXPECT_EQ(card->statusDetail()->text(), "Checking…");
    EXPECT_FALSE(card->checkNowButton()->isEnabled());

    AppcastItem item;
    item.versionString = "150";
    item.displayVersionString = "1.5";
    controller->didFindValidUpdate(item);
    scheduler.runUntilIdle();
    EXPECT_TRUE(card->updateRow()->isVisible());
    EXPECT_EQ(card->updateTitle()->text(), "v1.5 is available.");
    EXPECT_EQ(card->installButton()->text(), "Install v1.5");
    EXPECT_TRUE(card->checkNowButton()->isEnabled());
    EXPECT_TRUE(card->statusDetail()->text().startsWith("Last check: Today, "));

    QTest::mouseClick(card->installButton(), Qt::LeftButton);
    EXPECT_EQ(engine.userChecks(), 1);

    ASSERT_TRUE(card->releaseNotesLink()->isVisible());
    EXPECT_EQ(card->releaseNotesLink()->accessibleDescription(),
              "Opens the release notes on pellucine.example.com");
    QTest::mouseClick(card->releaseNotesLink(), Qt::LeftButton);
    const QUrl notes("https://pellucine.example.com/release-notes/pellucine-1.5.html");
    EXPECT_EQ(shell.openedUrls(), QList<QUrl>{notes});
    EXPECT_TRUE(testing::openFailureNotices().isEmpty());
    // Nothing opens the page: it is offered for copying.
    shell.setRefusesUrls(true);
    QTest::mouseClick(card->releaseNotesLink(), Qt::LeftButton);
    EXPECT_EQ(testing::takeOpenFailureNotices(),
              (QList<std::pair<QString, QString>>{
                  {"No web browser opened the link.", notes.toString()}}));
}

TEST_F(UpdatesCardTest, AnInstalledCopySaysWhereUpdatesComeFromAndOffersNoCheck) {
    make(QStringLiteral("/usr/bin/pellucine"), true);
    controller->availability().set(UpdateAvailability::available("1.5"));
    controller->note().set(QStringLiteral("A note"));
    EXPECT_FALSE(card->checkNowButton()->isVisible());
    EXPECT_FALSE(card->installButton()->isEnabled());
    EXPECT_FALSE(card->automaticChecksSwitch()->isEnabled());
    EXPECT_FALSE(card->automaticChecksSwitch()->isChecked()) << "stored on, but nothing checks";
    EXPECT_EQ(card->automaticChecksRow()->text()->hint()->text(),
              "Off: updates come with your package manager.");
    EXPECT_TRUE(card->locationNoteText()->isVisible());
    EXPECT_TRUE(card->noteText()->isVisible());
    EXPECT_EQ(card->noteText()->text(), "A note");
    // The notes take the card's width and wrap instead of being cut.
    card->resize(420, card->layout()->heightForWidth(420));
    card->layout()->activate();
    YardText* location = card->locationNoteText();
    EXPECT_GT(location->width(), 300);
    EXPECT_GE(location->height(), 2 * location->fontMetrics().height());
    EXPECT_GE(location->height(), location->heightForWidth(location->width()));
    controller->note().set(std::nullopt);
    EXPECT_FALSE(card->noteText()->isVisible());
}

TEST(UpdateDialogsTest, EachAnswerIsGivenOnceAndClosingMeansNo) {
    ManualScheduler scheduler;
    SimulatedSession shell{scheduler};
    UpdateDialogs dialogs(shell);
    // No window before the first step; closing or progress then is harmless.
    EXPECT_EQ(dialogs.window(), nullptr);
    dialogs.close();
    QList<bool> answers;
    dialogs.showUpdateFound({"v1.5", "v1.4", QUrl("https://h.example.com/notes")},
                            [&](bool install) { answers << install; });
    EXPECT_TRUE(dialogs.window()->isVisible());
    EXPECT_EQ(dialogs.title()->text(), "PELLUCINE v1.5 is available.");
    QTest::mouseClick(dialogs.releaseNotesLink(), Qt::LeftButton);
    EXPECT_EQ(shell.openedUrls(), QList<QUrl>{QUrl("https://h.example.com/notes")});
    QTest::mouseClick(dialogs.primaryButton(), Qt::LeftButton);
    EXPECT_EQ(answers, QList<bool>{true});
    EXPECT_FALSE(dialogs.window()->isVisible());

    int cancels = 0;
    dialogs.showDownloading([&] { ++cancels; });
    dialogs.showDownloadProgress(512 * 1024, 1024 * 1024);
    EXPECT_TRUE(dialogs.progress()->isVisible());
    EXPECT_FALSE(dialogs.primaryButton()->isVisible());
    dialogs.window()->reject();
    EXPECT_EQ(cancels, 1);

    dialogs.showReadyToInstall("v1.5", [&](bool relaunch) { answers << relaunch; });
    dialogs.window()->reject();
    dialogs.window()->reject();
    EXPECT_EQ(answers, (QList<bool>{true, false}));

    // Closing from the updater's side answers nobody.
    dialogs.showUpdateFound({"v1.5", "v1.4", std::nullopt}, [&](bool a) { answers << a; });
    EXPECT_FALSE(dialogs.releaseNotesLink()->isVisibleTo(dialogs.window()));
    dialogs.close();
    dialogs.window()->reject();
    EXPECT_EQ(answers.size(), 2);
}

}  // namespace
}  // namespace pellucine
