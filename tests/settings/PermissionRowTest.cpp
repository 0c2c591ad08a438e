#include <QMimeData>
#include <QTest>

#include "PermissionFixture.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "settings/DraggablePermissionTile.h"
#include "settings/PermissionRow.h"
#include "settings/SymbolIcon.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using State = PermissionState;
using Kind = PermissionKind;

QString describe(State state) {
    return state == State::restartRequired ? QStringLiteral("relaunch") : QStringLiteral("use");
}

class PermissionRowTest : public testing::PermissionFixture {
  protected:
    std::unique_ptr<PermissionRow> row(Kind kind) {
        auto made =
            std::make_unique<PermissionRow>(*service, kind, QStringLiteral("Title"), describe);
        made->show();
        return made;
    }
    static QStringList visibleButtons(const PermissionRow& r) {
        QStringList titles;
        for (YardButton* b : {r.actionButton(), r.openSettingsButton(), r.relaunchButton()}) {
            if (b->isVisibleTo(&r)) {
                titles << b->text();
            }
        }
        return titles;
    }
};

TEST(PermissionRowStatus, MissingStatesShareTheirLookAndDifferOnlyInTheWord) {
    const auto granted = PermissionRow::status(State::granted);
    EXPECT_EQ(granted.symbol, QStringLiteral("checkmark.circle.fill"));
    EXPECT_EQ(granted.ink, &Yard::Palette::fore);
    EXPECT_EQ(granted.word, QStringLiteral("Granted"));

    const auto denied = PermissionRow::status(State::denied);
    const auto unchecked = PermissionRow::status(State::notDetermined);
    EXPECT_EQ(denied.symbol, QStringLiteral("exclamationmark.circle"));
    EXPECT_EQ(denied.symbol, unchecked.symbol);
    EXPECT_EQ(denied.ink, &Yard::Palette::accentType);
    EXPECT_EQ(denied.ink, unchecked.ink);
    EXPECT_EQ(denied.word, QStringLiteral("Not granted"));
    EXPECT_EQ(unchecked.word, QStringLiteral("Not checked"));

    const auto restart = PermissionRow::status(State::restartRequired);
    EXPECT_EQ(restart.symbol, QStringLiteral("arrow.clockwise.circle.fill"));
    EXPECT_EQ(restart.ink, &Yard::Palette::accentType);
    EXPECT_EQ(restart.word, QStringLiteral("Turn on, then relaunch"));
}

TEST_F(PermissionRowTest, ARefusedPermissionAsksOnceThenOpensItsSettings) {
    startService(SimulatedPermission::denied, SimulatedPermission::granted);
    const auto accessibility = row(Kind::accessibility);
    EXPECT_EQ(accessibility->statusWord()->text(), QStringLiteral("NOT GRANTED"));
    EXPECT_EQ(accessibility->icon()->name(), QStringLiteral("exclamationmark.circle"));
    EXPECT_EQ(visibleButtons(*accessibility), QStringList{QStringLiteral("Enable Access…")});

    QTest::mouseClick(accessibility->actionButton(), Qt::LeftButton);
    EXPECT_EQ(permissions().prompts(), QStringList{QStringLiteral("accessibility")});
    EXPECT_EQ(visibleButtons(*accessibility), QStringList{QStringLiteral("Open Desktop Settings…")})
        << "asked for but still refused";

    QTest::mouseClick(accessibility->actionButton(), Qt::LeftButton);
    EXPECT_EQ(permissions().prompts().size(), 1) << "never asks twice";
    ASSERT_EQ(openedUrls().size(), 1);
    EXPECT_EQ(openedUrls().first(), PermissionService::settingsUrl(Kind::accessibility));
}

TEST_F(PermissionRowTest, ScreenRecordingAskedForButNotInEffectOffersSettingsAndRelaunch) {
    startService(SimulatedPermission::granted, SimulatedPermission::denied);
    const auto screen = row(Kind::screenRecording);
    EXPECT_EQ(screen->description()->text(), QStringLiteral("use"));

    QTest::mouseClick(screen->actionButton(), Qt::LeftButton);
    EXPECT_EQ(screen->state(), State::restartRequired);
    EXPECT_EQ(screen->statusWord()->text(), QStringLiteral("TURN ON, THEN RELAUNCH"));
    EXPECT_EQ(screen->description()->text(), QStringLiteral("relaunch"));
    EXPECT_EQ(visibleButtons(*screen), (QStringList{QStringLiteral("Open Desktop Settings…"),
                                                    QStringLiteral("Relaunch PELLUCINE")}));
    EXPECT_EQ(screen->openSettingsButton()->width(), screen->relaunchButton()->width());

    QTest::mouseClick(screen->openSettingsButton(), Qt::LeftButton);
    ASSERT_FALSE(openedUrls().isEmpty());
    EXPECT_EQ(openedUrls().last(), PermissionService::settingsUrl(Kind::screenRecording));
    QTest::mouseClick(screen->relaunchButton(), Qt::LeftButton);
    scheduler.runUntilIdle();
    EXPECT_EQ(desktop.simulatedSession().newInstanceAttempts(), 1);
}

TEST_F(PermissionRowTest, AGrantArrivingOnARefreshClearsTheActions) {
    startService(SimulatedPermission::denied, SimulatedPermission::denied);
    const auto accessibility = row(Kind::accessibility);
    const auto screen = row(Kind::screenRecording);
    grantBoth();
    service->refresh(QStringLiteral("test"));
    for (const PermissionRow* r : {accessibility.get(), screen.get()}) {
        EXPECT_EQ(r->statusWord()->text(), QStringLiteral("GRANTED"));
        EXPECT_EQ(r->statusWord()->ink(), &Yard::Palette::fore);
        EXPECT_EQ(r->icon()->name(), QStringLiteral("checkmark.circle.fill"));
        EXPECT_TRUE(visibleButtons(*r).isEmpty());
        EXPECT_FALSE(r->actionButton()->parentWidget()->isVisibleTo(r));
    }
    EXPECT_EQ(screen->description()->text(), QStringLiteral("use"));
}

TEST(DraggablePermissionTile, OffersTheProgramFileOrNothing) {
    const testing::TempFolder folder;
    const QString program = folder.file(QStringLiteral("pellucine"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(DraggablePermissionTile::dragData(program)->urls(),
              QList<QUrl>{QUrl::fromLocalFile(program)});
    for (const QString& missing : {QString(), folder.path(), folder.file(QStringLiteral("gone"))}) {
        const auto data = DraggablePermissionTile::dragData(missing);
        ASSERT_TRUE(data);
        EXPECT_FALSE(data->hasUrls()) << missing.toStdString();
    }
}

}  // namespace
}  // namespace pellucine
