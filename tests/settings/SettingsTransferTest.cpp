#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "SettingsFixture.h"
#include "design/BayHeader.h"
#include "preferences/PreferenceImportError.h"
#include "settings/SettingsTransfer.h"

namespace pellucine {
namespace {

using testing::SettingsFixture;

class SettingsTransferTest : public SettingsFixture {
  protected:
    QString backups() const { return temp.paths().programSupportFolder() + "/backups"; }
    QStringList backupFiles() const {
        return QDir(backups()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }
    static void write(const QString& path, const QByteArray& data) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QString exportTo(const QString& name) {
        const QString path = temp.file(name);
        view().transfer().exportSettings();
        dialogs.answerSave(path);
        return path;
    }
    // Chooses the file and answers the confirmation.
    void import(const QString& path, bool confirm = true) {
        view().transfer().startImport();
        dialogs.answerOpen(path);
        if (view().transfer().isConfirmingImport()) {
            dialogs.answerConfirm(confirm);
        }
    }
    QString lastAlert() const {
        return dialogs.alerts.empty() ? QString() : dialogs.alerts.back().message;
    }
};

TEST_F(SettingsTransferTest, AnExportImportedLaterRestoresTheRecordAndTheBackupHoldsTheOldOne) {
    shown();
    view().saving().commitPortable([](PortablePreferences& p) {
        p.previewWidth = 420;
        p.excludedDockAppBundleIdentifiers = {"org.b", "org.a"};
        p.syncEnabled = true;
    });
    const PortablePreferences exported = portable();
    const QString file = exportTo("mine.json");
    EXPECT_EQ(view().transfer().exportedDocument(), std::nullopt);
    EXPECT_EQ(read(file), SettingsTransfer::fileData(exported));
    EXPECT_EQ(dialogs.choices.back().defaultName, QStringLiteral("pellucine-settings"));
    const QJsonObject json = QJsonDocument::fromJson(read(file)).object();
    EXPECT_EQ(json.keys(), QStringList({"portable", "schemaVersion"}));
    EXPECT_EQ(json["schemaVersion"].toInt(), 12);

    view().saving().commitPortable([](PortablePreferences& p) {
        p.previewWidth = 760;
        p.syncEnabled = false;
    });
    view().saving().commitMachine([](MachinePreferences& m) { m.showMenuBarIcon = false; });
    const PortablePreferences before = portable();
    const MachinePreferences machineBefore = machine();
    const int commitsBefore = commits();
    scheduler.clocks().advance(seconds(5));

    import(file);
    EXPECT_EQ(dialogs.confirmations.back().title,
              QStringLiteral("Replace your settings with this file's?"));
    EXPECT_TRUE(dialogs.confirmations.back().destructive);
    EXPECT_EQ(commits(), commitsBefore + 1);
    EXPECT_EQ(portable().previewWidth, 420);
    EXPECT_FALSE(portable().syncEnabled);  // this machine's choice
    EXPECT_EQ(portable().modifiedAt, scheduler.clocks().wall.now());
    PortablePreferences expected = exported;
    expected.syncEnabled = false;
    expected.modifiedAt = portable().modifiedAt;
    EXPECT_EQ(portable(), expected.normalized());
    EXPECT_EQ(machine(), machineBefore);
    EXPECT_EQ(view().transfer().pendingImportedPreferences(), std::nullopt);

    const QStringList saved = backupFiles();
    ASSERT_EQ(saved.size(), 1);
    static const QRegularExpression name(
        "^before-import-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.json$");
    EXPECT_TRUE(name.match(saved.first()).hasMatch()) << saved.first().toStdString();
    EXPECT_EQ(read(backups() + '/' + saved.first()), SettingsTransfer::fileData(before));

    // The backup is an export of its own: importing it brings the earlier settings back.
    import(backups() + '/' + saved.first());
    EXPECT_EQ(portable().previewWidth, 760);
    EXPECT_EQ(backupFiles().size(), 2);
    EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(SettingsTransferTest, AFileFromASyncedMachineLeavesSyncOffHere) {
    shown();
    PortablePreferences theirs = portable();
    theirs.syncEnabled = true;
    theirs.previewWidth = 2000;
    theirs.dockHoverDelayMilliseconds = 50;
    theirs.shortcutKeyCode = 3;
    const QString file = temp.file("theirs.json");
    write(file, SettingsTransfer::fileData(theirs));
    import(file);
    EXPECT_FALSE(portable().syncEnabled);
    EXPECT_EQ(portable().previewWidth, 800);
    EXPECT_EQ(portable().dockHoverDelayMilliseconds, 100);
    EXPECT_EQ(portable().shortcutKeyCode, 48);
    EXPECT_TRUE(sync.started.isEmpty());
}

TEST_F(SettingsTransferTest, RefusedFilesShowTheirReasonAndChangeNothing) {
    shown();
    const PortablePreferences before = portable();
    PortablePreferences newer = portable();
    QJsonObject envelope{{"schemaVersion", 13}, {"portable", newer.toJson()}};
    const QString future = temp.file("future.json");
    write(future, QJsonDocument(envelope).toJson());
    const QString corrupt = temp.file("corrupt.json");
    write(corrupt, "{\"schemaVersion\": 12, \"portable\": ");
    const QString huge = temp.file("huge.json");
    write(huge, QByteArray(1024 * 1024 + 1, ' '));
    const QString missing = temp.file("missing.json");

    const QList<std::pair<QString, QString>> cases{
        {corrupt, "That file isn’t a valid PELLUCINE settings export."},
        {future, "That settings file was created by a newer, incompatible version (schema 13)."},
        {huge,
         "That settings file is too large. Choose a PELLUCINE settings file smaller than "
         "1 MB."},
        {temp.path(), "That file isn’t a valid PELLUCINE settings export."},
    };
    for (const auto& [path, message] : cases) {
        import(path);
        EXPECT_EQ(lastAlert(), message) << path.toStdString();
        EXPECT_EQ(dialogs.alerts.back().title, QStringLiteral("Settings Transfer Failed"));
        EXPECT_EQ(view().transfer().importErrorMessage(), message);
        dialogs.dismissAlert();
        EXPECT_EQ(view().transfer().importErrorMessage(), std::nullopt);
    }
    import(missing);
    EXPECT_TRUE(lastAlert().contains(u"missing.json")) << lastAlert().toStdString();
    dialogs.dismissAlert();

    EXPECT_EQ(portable(), before);
    EXPECT_EQ(commits(), 0);
    EXPECT_TRUE(dialogs.confirmations.empty());
    EXPECT_FALSE(QFileInfo::exists(backups()));
}

TEST_F(SettingsTransferTest, CancellingWritesNoBackupAndAFailedBackupAppliesNothing) {
    shown();
    PortablePreferences theirs = portable();
    theirs.previewWidth = 420;
    const QString file = temp.file("theirs.json");
    write(file, SettingsTransfer::fileData(theirs));
    const PortablePreferences before = portable();

    import(file, false);
    EXPECT_EQ(portable(), before);
    EXPECT_EQ(view().transfer().pendingImportedPreferences(), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(backups()));

    // A file where the backups folder belongs.
    ASSERT_TRUE(QDir().mkpath(temp.paths().programSupportFolder()));
    write(backups(), "not a folder");
    import(file);
    EXPECT_TRUE(lastAlert().startsWith(u"The folder “backups” couldn’t be created: "))
        << lastAlert().toStdString();
    EXPECT_EQ(portable(), before);
    EXPECT_EQ(commits(), 0);
    EXPECT_EQ(view().transfer().pendingImportedPreferences(), std::nullopt);
    // Nothing waits to be applied: the file must be chosen again.
    view().transfer().applyImportedPreferences();
    EXPECT_EQ(portable(), before);
}

TEST_F(SettingsTransferTest, AFailedSaveShowsNoStampButTheFailureUntilASaveSucceeds) {
    shown();
    EXPECT_FALSE(view().saving().isShowingSaveFailure());
    store.defaults().setFailWrites(true);

    view().saving().commitPortable([](PortablePreferences& p) { p.previewWidth = 420; });
    EXPECT_FALSE(view().saving().isSaved());
    EXPECT_FALSE(view().header()->isSaved());
    EXPECT_TRUE(view().saving().isShowingSaveFailure());
    EXPECT_EQ(events.count("preferences-not-saved"), 2);

    // Import and reset fail the same way; the failure stays through a burst.
    PortablePreferences theirs = portable();
    theirs.previewWidth = 500;
    const QString file = temp.file("theirs.json");
    write(file, SettingsTransfer::fileData(theirs));
    import(file);
    EXPECT_EQ(portable().previewWidth, 500);
    EXPECT_FALSE(view().saving().isSaved());
    EXPECT_TRUE(view().saving().isShowingSaveFailure());
    view().transfer().resetAllSettings();
    EXPECT_FALSE(view().saving().isSaved());
    EXPECT_TRUE(view().saving().isShowingSaveFailure());
    scheduler.advance(5);
    EXPECT_TRUE(view().saving().isShowingSaveFailure());

    // A stamp still running from before a failure is taken down by it.
    store.defaults().setFailWrites(false);
    view().saving().markSaved();
    EXPECT_TRUE(view().saving().isSaved());
    EXPECT_FALSE(view().saving().isShowingSaveFailure());
    store.defaults().setFailWrites(true);
    view().saving().markSaved();
    EXPECT_FALSE(view().header()->isSaved());
    EXPECT_TRUE(view().saving().isShowingSaveFailure());
    scheduler.advance(5);
    EXPECT_FALSE(view().saving().isSaved());
}

TEST_F(SettingsTransferTest, ResetPutsBothRecordsBackAndTurnsSyncOff) {
    shown();
    view().saving().commitPortable([](PortablePreferences& p) {
        p.previewWidth = 420;
        p.excludedDockAppBundleIdentifiers = {"org.a"};
        p.keepPreviewsReady = false;
        p.reduceAnimations = true;
    });
    view().saving().commitMachine([](MachinePreferences& m) {
        m.showInDockAndAppSwitcher = false;
        m.updateChannel = UpdateChannel::beta;
        m.windowSearchHotkey = {40, KeyCombo::control};
    });
    view().saving().setSyncEnabled(true);
    scheduler.runUntilIdle();
    const int commitsBefore = commits();
    view().transfer().setConfirmingReset(true);
    scheduler.clocks().advance(seconds(3));
    view().transfer().resetAllSettings();
    EXPECT_FALSE(view().transfer().isConfirmingReset());
    EXPECT_EQ(commits(), commitsBefore + 1);
    EXPECT_EQ(portable(), PortablePreferences::makeDefault(scheduler.clocks().wall.now()));
    EXPECT_EQ(machine(), MachinePreferences());
    EXPECT_EQ(model->syncStatus().value(), AppModel::SyncStatus::idle());

    const QJsonObject json = QJsonDocument::fromJson(read(exportTo("after-reset.json"))).object();
    EXPECT_FALSE(json["portable"].toObject()["syncEnabled"].toBool(true));
    EXPECT_EQ(json["portable"].toObject()["previewWidth"].toDouble(), 600);
}

TEST_F(SettingsTransferTest, WriteFailuresShowTheAlertAndACancelledSaveWritesNothing) {
    shown();
    view().transfer().exportSettings();
    ASSERT_TRUE(view().transfer().exportedDocument().has_value());
    dialogs.answerSave(std::nullopt);
    EXPECT_EQ(view().transfer().exportedDocument(), std::nullopt);
    EXPECT_TRUE(dialogs.alerts.empty());

    const QString nowhere = temp.file("no-such-folder/settings.json");
    exportTo("no-such-folder/settings.json");
    EXPECT_TRUE(lastAlert().startsWith(u"The file “settings.json” couldn’t be saved: "))
        << lastAlert().toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    dialogs.dismissAlert();

    const std::size_t alerts = dialogs.alerts.size();
    view().transfer().saveSupportFileCompletion(std::nullopt, "{}");
    EXPECT_EQ(dialogs.alerts.size(), alerts);
    view().transfer().saveSupportFileCompletion(nowhere, "{}");
    EXPECT_TRUE(lastAlert().contains(u"settings.json"));
    dialogs.dismissAlert();
    const QString support = temp.file("support.json");
    view().transfer().saveSupportFileCompletion(support, "{\"status\":{}}");
    EXPECT_EQ(read(support), QByteArray("{\"status\":{}}"));

    view().transfer().setImportErrorMessage(QString());
    EXPECT_EQ(lastAlert(), QStringLiteral("Choose a valid PELLUCINE settings file."));
    EXPECT_EQ(commits(), 0);
}

}  // namespace
}  // namespace pellucine
