#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "base/ManualExecutor.h"
#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/AppModel.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"
#include "platform/linux/SyncFolderCloudAccount.h"
#include "platform/sim/SimulatedDesktop.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileStore.h"
#include "support/QtPrinters.h"
#include "support/TaskOutcome.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;

const Bundle syncingBuild{{{u"DockCloudSyncConfigured"_s, true}}, QString()};

// One copy of the program as it runs: its own scratch home with its defaults file and stored
// preferences, and settings sync through the folder its defaults name.
struct Instance {
    Instance(const QString& home, ManualScheduler& scheduler)
        : paths(AppPaths::under(home)),
          defaults(SettingsFileStore::standardFilePath(paths)),
          desktop(scheduler),
          executor(scheduler),
          store(defaults, paths, scheduler.clocks().wall, events),
          account([this] { return CloudPreferenceSync::chosenSyncFolder(defaults); }, executor),
          sync(account, scheduler, syncingBuild),
          windowService(desktop, events),
          previewService(desktop.screenCapture(), scheduler),
          model(AppModel::Platform{desktop,
                                   scheduler,
                                   events,
                                   scheduler.clocks().wall,
                                   executor,
                                   {},
                                   UpdateEnvironment{Bundle({}, {}), {}, {}}},
                windowService, previewService, store, sync) {}

    const PortablePreferences& portable() { return model.portablePreferences().value(); }
    // What a restart would read back from the home folder.
    PortablePreferences stored() {
        SettingsFileStore again(SettingsFileStore::standardFilePath(paths));
        RecordingEventLog quiet;
        return PreferenceStore(again, paths, systemWallClock(), quiet).loadPortablePreferences();
    }
    AppModel::SyncStatus status() { return model.syncStatus().value(); }

    AppPaths paths;
    SettingsFileStore defaults;
    SimulatedDesktop desktop;
    RecordingEventLog events;
    ManualExecutor executor;
    PreferenceStore store;
    SyncFolderCloudAccount account;
    CloudPreferenceSync sync;
    AccessibilityWindowService windowService;
    ScreenCapturePreviewService previewService;
    AppModel model;
};

// Two copies with separate homes sharing one sync folder, on one virtual clock.
class SyncFolderInstancesTest : public ::testing::Test {
  protected:
    SyncFolderInstancesTest() {
        QDir().mkpath(folder());
        for (Instance* copy : {&a, &b}) {
            copy->defaults.setValue(CloudPreferenceSync::syncFolderKey, folder());
            copy->model.portablePreferences().modify(
                [](PortablePreferences& p) { p.syncEnabled = true; });
        }
    }
    ~SyncFolderInstancesTest() override { settle(); }

    QString folder() const { return temp.file(u"Sync"_s); }
    QString record() const { return folder() + u"/pellucine/portable-preferences-v1.json"_s; }

    void settle() {
        for (int i = 0; i < 1000; ++i) {
            const int ran = a.executor.runAll() + b.executor.runAll();
            scheduler.runUntilIdle();
            if (ran == 0 && a.executor.pendingCount() == 0 && b.executor.pendingCount() == 0) {
                return;
            }
        }
        ADD_FAILURE() << "the copies never went idle";
    }
    // A change made in `copy` a second after the last one, pushed as the settings page does.
    void change(Instance& copy, double width) {
        scheduler.advance(1.0);
        copy.model.portablePreferences().modify(
            [width](PortablePreferences& p) { p.previewWidth = width; });
        copy.model.applyPreferences();
        settle();
    }
    void pull(Instance& copy) {
        const auto pulled = testing::follow(copy.model.pullSyncedPreferences());
        settle();
        EXPECT_TRUE(pulled->succeeded());
    }
    QByteArray readRecord() const {
        QFile file(record());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeRecord(const QByteArray& bytes) {
        QFile file(record());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // The record file as another version of the program would write it, with `payload`.
    QByteArray recordWith(const QJsonObject& payload, const QJsonObject& extraFields = {}) {
        QJsonObject fields = extraFields;
        fields.insert(
            u"payload"_s,
            QJsonObject{{u"bytes"_s,
                         QString::fromLatin1(
                             QJsonDocument(payload).toJson(QJsonDocument::Compact).toBase64())}});
        return QJsonDocument(QJsonObject{{u"recordType"_s, u"PortablePreferences"_s},
                                         {u"recordName"_s, u"portable-preferences-v1"_s},
                                         {u"changeTag"_s, u"from-elsewhere"_s},
                                         {u"fields"_s, fields}})
            .toJson();
    }

    testing::TempFolder temp;
    ManualScheduler scheduler;
    Instance a{temp.file(u"homeA"_s), scheduler};
    Instance b{temp.file(u"homeB"_s), scheduler};
};

TEST_F(SyncFolderInstancesTest, ChangesMadeInTurnReachTheOtherCopyAndItsHome) {
    change(a, 420);
    EXPECT_EQ(a.status().statusCase(), AppModel::SyncStatus::Case::synced);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 420);
    EXPECT_EQ(b.stored().previewWidth, 420);

    change(b, 500);
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 500);
    EXPECT_EQ(a.portable(), b.portable());

    change(a, 640);
    change(a, 660);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 660);
    EXPECT_EQ(b.stored(), a.stored());
}

TEST_F(SyncFolderInstancesTest, UntouchedDefaultsNeverReplaceAnEditAndJoiningTakesTheFolder) {
    scheduler.advance(1.0);
    a.model.portablePreferences().modify(
        [](PortablePreferences& p) { p.excludedDockAppBundleIdentifiers = {u"galculator"_s}; });
    a.model.applyPreferences();
    settle();
    const QByteArray written = readRecord();

    // B saves its untouched defaults (as at quit): it reads the folder first and takes A's.
    b.model.applyPreferences();
    settle();
    EXPECT_EQ(b.portable().excludedDockAppBundleIdentifiers, QStringList{u"galculator"_s});
    EXPECT_TRUE(b.status().tookRemote());
    EXPECT_EQ(b.stored().excludedDockAppBundleIdentifiers, QStringList{u"galculator"_s});
    EXPECT_EQ(readRecord(), written) << "nothing was written over A's record";

    // An edit B made later with sync off gives way when B joins the folder again.
    change(b, 500);
    b.model.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = false; });
    change(b, 520);
    b.model.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = true; });
    const auto joined = testing::follow(b.model.pullSyncedPreferences(SyncMerge::Read::join));
    settle();
    EXPECT_TRUE(joined->succeeded());
    EXPECT_EQ(b.portable().previewWidth, 500);
    EXPECT_TRUE(b.portable().syncEnabled);
}

TEST_F(SyncFolderInstancesTest, APushNeverReplacesARecordNewerThanTheOneItStartedFrom) {
    change(a, 420);
    pull(b);
    change(a, 700);
    const QByteArray written = readRecord();
    // B saves without a change before it has read A's: A's record stays and B takes it.
    b.model.applyPreferences();
    settle();
    EXPECT_EQ(readRecord(), written);
    EXPECT_EQ(b.portable().previewWidth, 700);
    EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::synced);
    // A change B makes after it is the newer one and goes out.
    change(b, 710);
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 710);
    EXPECT_TRUE(a.status().tookRemote());
}

TEST_F(SyncFolderInstancesTest, APullReplacesOnlyWithAStrictlyLaterRecord) {
    change(a, 420);
    // B's own change, made at the same moment while its folder was away: equal times keep it.
    b.defaults.setValue(CloudPreferenceSync::syncFolderKey, temp.file(u"Away"_s));
    b.model.portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 480; });
    b.model.applyPreferences();
    settle();
    ASSERT_EQ(b.portable().modifiedAt, a.portable().modifiedAt);
    b.defaults.setValue(CloudPreferenceSync::syncFolderKey, folder());
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 480);

    // A later local change outlives an older record; a later record replaces it.
    change(b, 520);
    b.defaults.setValue(CloudPreferenceSync::syncFolderKey, temp.file(u"Away"_s));
    change(b, 540);
    b.defaults.setValue(CloudPreferenceSync::syncFolderKey, folder());
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 540);
    change(a, 700);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 700);
}

TEST_F(SyncFolderInstancesTest, ACopyWhoseFolderIsGoneKeepsItsChangeAndCatchesUpWhenItIsBack) {
    change(a, 420);
    pull(b);
    ASSERT_TRUE(QDir().rename(folder(), temp.file(u"Unmounted"_s)));

    change(b, 560);
    EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::failed);
    EXPECT_TRUE(b.status().message().startsWith(u"Sync folder not found."_s))
        << b.status().message().toStdString();
    EXPECT_EQ(b.stored().previewWidth, 560) << "nothing local is lost";
    const auto offline = testing::follow(b.model.pullSyncedPreferences());
    settle();
    EXPECT_TRUE(offline->succeeded()) << "a pull never throws";
    EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::failed);
    EXPECT_EQ(b.portable().previewWidth, 560);

    ASSERT_TRUE(QDir().rename(temp.file(u"Unmounted"_s), folder()));
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 560) << "the record there is older";
    EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::synced);
    change(b, 580);
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 580);
}

TEST_F(SyncFolderInstancesTest, ARecordFromANewerVersionIsReadForWhatThisVersionKnows) {
    change(a, 420);
    QJsonObject newer = a.portable().toJson();
    newer.insert(u"version"_s, 13);
    newer.insert(u"previewWidth"_s, 610);
    newer.insert(u"settingFromTheFuture"_s, QJsonObject{{u"x"_s, 1}});
    newer.insert(u"modifiedAt"_s, u"2030-01-01T00:00:00Z"_s);
    writeRecord(recordWith(newer, {{u"futureField"_s, QJsonObject{{u"reference"_s, u"r"_s}}}}));

    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 610);
    EXPECT_EQ(a.stored().previewWidth, 610);
    EXPECT_EQ(a.status().statusCase(), AppModel::SyncStatus::Case::synced);
    // The next push from this version replaces the record with one it can read itself.
    a.model.applyPreferences();
    settle();
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 610);
}

TEST_F(SyncFolderInstancesTest, ARecordDatedFarAheadNeverOutranksAChangeMadeAfterItWasRead) {
    change(a, 420);
    pull(b);
    QJsonObject ahead = a.portable().toJson();
    ahead.insert(u"previewWidth"_s, 610);
    ahead.insert(u"modifiedAt"_s, u"2999-01-01T00:00:00Z"_s);
    writeRecord(recordWith(ahead));

    // Taken, as of when it was read, and kept here with that date.
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 610);
    const QDateTime read = scheduler.clocks().wall.now();
    EXPECT_EQ(b.portable().modifiedAt, read);
    EXPECT_EQ(b.stored().modifiedAt, read);

    // A change made after it while the folder was away outlives the record read again.
    b.defaults.setValue(CloudPreferenceSync::syncFolderKey, temp.file(u"Away"_s));
    change(b, 530);
    b.defaults.setValue(CloudPreferenceSync::syncFolderKey, folder());
    scheduler.advance(60.0);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 530);

    // The other copy takes it too, and a later change there still reaches this one.
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 610);
    change(a, 640);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 640);
    EXPECT_EQ(b.stored().previewWidth, 640);
}

TEST_F(SyncFolderInstancesTest, AStoredRecordDatedFarAheadLosesToTheOtherCopysLaterChange) {
    // This copy's own record came back from a clock far ahead.
    b.model.portablePreferences().modify([](PortablePreferences& p) {
        p.previewWidth = 480;
        p.modifiedAt = QDateTime::fromString(u"2999-01-01T00:00:00Z"_s, Qt::ISODate);
    });
    change(a, 420);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 480) << "it counts as read now, after that change";
    EXPECT_EQ(b.portable().modifiedAt, scheduler.clocks().wall.now());
    change(a, 450);
    pull(b);
    EXPECT_EQ(b.portable().previewWidth, 450);
}

TEST_F(SyncFolderInstancesTest, ATornOrHostileRecordIsNeverTakenAndIsReplacedByTheNextPush) {
    change(a, 420);
    pull(b);
    const QByteArray whole = recordWith(a.portable().toJson());
    const QByteArray notPreferences =
        QJsonDocument(
            QJsonObject{{u"changeTag"_s, u"t"_s},
                        {u"fields"_s, QJsonObject{{u"payload"_s,
                                                   QJsonObject{{u"bytes"_s, u"bm90IGpzb24="_s}}}}}})
            .toJson();
    const QByteArray payloadAsText =
        QJsonDocument(
            QJsonObject{
                {u"changeTag"_s, u"t"_s},
                {u"fields"_s, QJsonObject{{u"payload"_s, QJsonObject{{u"string"_s, u"{}"_s}}}}}})
            .toJson();
    for (const QByteArray& bad :
         {whole.left(whole.size() / 2), QByteArray("\0\xff\xfe", 3), notPreferences, payloadAsText,
          QByteArray(SyncFolderRecordStore::recordSizeLimit + 1, ' ')}) {
        writeRecord(bad);
        pull(b);
        EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::failed)
            << bad.left(40).toStdString();
        EXPECT_EQ(b.portable().previewWidth, 420);
        EXPECT_EQ(b.stored().previewWidth, 420);
    }
    change(b, 450);
    EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::synced);
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 450);
}

TEST_F(SyncFolderInstancesTest, AReadOnlyFolderIsSaidSoAndTheChangeStaysHere) {
    change(a, 420);
    // Readable by all, writable by none; checked as an unprivileged user when run as root.
    for (const QString& path : {temp.path(), folder()}) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                        QFile::ExeGroup);
    }
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(folder(), readOnly);
    QFile::setPermissions(folder() + u"/pellucine"_s, readOnly);
    // Saved here first, then pushed.
    scheduler.advance(1.0);
    b.model.portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 470; });
    b.model.applyPreferences();
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        setfsuid(65534);
    }
    settle();
    if (asRoot) {
        setfsuid(0);
    }
    QFile::setPermissions(folder() + u"/pellucine"_s, readOnly | QFile::WriteOwner);
    QFile::setPermissions(folder(), readOnly | QFile::WriteOwner);

    EXPECT_EQ(b.status().statusCase(), AppModel::SyncStatus::Case::failed);
    EXPECT_EQ(b.status().message(),
              u"Can't write to the sync folder. Your change is saved here."_s);
    EXPECT_EQ(b.stored().previewWidth, 470);
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 420) << "the record is as it was";
    change(b, 480);
    pull(a);
    EXPECT_EQ(a.portable().previewWidth, 480);
}

}  // namespace
}  // namespace pellucine
