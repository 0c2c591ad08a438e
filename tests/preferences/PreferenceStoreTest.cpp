#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <cmath>
#include <limits>

#include "base/RecordingEventLog.h"
#include "preferences/FileSystemError.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "preferences/LegacyDefaultsMigration.h"
#include "preferences/PreferenceCodingError.h"
#include "preferences/PreferenceImportError.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsEnvelope.h"
#include "preferences/SettingsFileStore.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

constexpr qint64 mebibyte = 1024 * 1024;
const QString schemaText =
    "That settings file was created by a newer, incompatible version (schema %1).";
const QString tooLargeText =
    "That settings file is too large. Choose a PELLUCINE settings file smaller than 1 MB.";
const QString malformedText = "That file isn’t a valid PELLUCINE settings export.";

QByteArray json(const QJsonObject& object) {
    return QJsonDocument(object).toJson();
}

// Valid JSON of exactly `size` bytes: the object padded with blanks before its closing brace.
QByteArray paddedTo(QByteArray compactObject, qint64 size) {
    compactObject.chop(1);
    compactObject.append(QByteArray(size - compactObject.size() - 1, ' '));
    compactObject.append('}');
    return compactObject;
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(data), data.size());
}

template <class Work>
void expectImportError(Work&& work, const PreferenceImportError& expected) {
    try {
        work();
        ADD_FAILURE() << "no error, expected: " << expected.what();
    } catch (const PreferenceImportError& error) {
        EXPECT_EQ(error, expected) << error.what();
        EXPECT_EQ(error.localizedDescription(), expected.localizedDescription());
    }
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PreferenceStoreTest : public ::testing::Test {
  protected:
    testing::TempFolder temp;
    InMemoryKeyValueStore defaults;
    FakeWallClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC)};
    RecordingEventLog events;
    PreferenceStore store{defaults, temp.paths(), clock, events};

    QStringList keptCopies(const QString& key) const {
        return QDir(temp.paths().programSupportFolder())
            .entryList({"unreadable-" + key + "-*.json"}, QDir::Files, QDir::Name);
    }
    QString programFile(const QString& name) const {
        return temp.paths().programSupportFolder() + "/" + name;
    }
};

TEST_F(PreferenceStoreTest, NothingStoredLoadsTheDefaultsAsNeverEdited) {
    EXPECT_EQ(store.loadPortablePreferences(), PortablePreferences());
    EXPECT_EQ(store.loadPortablePreferences().modifiedAt, distantPast());
    EXPECT_EQ(store.loadMachinePreferences(), MachinePreferences());
    EXPECT_TRUE(events.events().empty());
    EXPECT_FALSE(QDir(temp.paths().programSupportFolder()).exists());
}

TEST_F(PreferenceStoreTest, LoadNormalisesWhatIsStored) {
    defaults.setValue("portablePreferences", QByteArray(R"({"version": 12, "previewWidth": 1000,
                                     "excludedDockAppBundleIdentifiers": ["b", "a", "b"]})"));
    const PortablePreferences loaded = store.loadPortablePreferences();
    EXPECT_EQ(loaded.previewWidth, 800);
    EXPECT_EQ(loaded.excludedDockAppBundleIdentifiers, (QStringList{"a", "b"}));
    EXPECT_EQ(loaded.modifiedAt, distantPast());
}

TEST_F(PreferenceStoreTest, SaveWritesANormalisedPrettySortedCopy) {
    PortablePreferences p = PortablePreferences::makeDefault(clock.now());
    p.previewWidth = 100;
    store.savePortablePreferences(p);
    EXPECT_EQ(p.previewWidth, 100);

    const QByteArray stored = defaults.value("portablePreferences").toByteArray();
    const QJsonObject object = QJsonDocument::fromJson(stored).object();
    EXPECT_EQ(object.value("previewWidth").toDouble(), 360);
    EXPECT_EQ(object.value("modifiedAt").toString(), "2026-03-14T09:26:53Z");
    EXPECT_TRUE(stored.contains("\n    \"dockHoverDelayMilliseconds\": 300,\n"));
    EXPECT_LT(stored.indexOf("\"modifiedAt\""), stored.indexOf("\"previewWidth\""));
    EXPECT_EQ(store.loadPortablePreferences().previewWidth, 360);

    MachinePreferences m;
    m.windowSearchHotkey = {0, KeyCombo::control | KeyCombo::option};
    store.saveMachinePreferences(m);
    EXPECT_EQ(store.loadMachinePreferences(), m);
}

TEST_F(PreferenceStoreTest, TheDateComesBackToTheMillisecondAndOddMillisecondsArePassedOver) {
    const PortablePreferences p = PortablePreferences::makeDefault(clock.now());
    store.savePortablePreferences(p);
    EXPECT_EQ(store.loadPortablePreferences().modifiedAt, clock.now());

    const QDateTime whole(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    const struct {
        const char* name;
        const char* milliseconds;
        QDateTime loaded;
    } rows[] = {
        {"some", "589", clock.now()}, {"none", "0", whole},         {"a second", "1000", whole},
        {"negative", "-3", whole},    {"a fraction", "0.5", whole}, {"text", "\"589\"", whole},
        {"null", "null", whole},
    };
    for (const auto& row : rows) {
        defaults.setValue("portablePreferences",
                          QByteArray(R"({"modifiedAt": "2026-03-14T09:26:53Z", )"
                                     R"("modifiedAtMilliseconds": )") +
                              row.milliseconds + "}");
        EXPECT_EQ(store.loadPortablePreferences().modifiedAt, row.loaded) << row.name;
    }
    EXPECT_TRUE(keptCopies("portablePreferences").isEmpty());
}

TEST_F(PreferenceStoreTest, UnreadableRecordIsKeptBesideTheStoreBeforeDefaultsReplaceIt) {
    const QByteArray bad =
        R"({"version": 12, "dockPreviewStyle": "carousel", "previewWidth": 700})";
    defaults.setValue("portablePreferences", bad);

    EXPECT_EQ(store.loadPortablePreferences(), PortablePreferences());
    ASSERT_EQ(keptCopies("portablePreferences"),
              QStringList{"unreadable-portablePreferences-20260314T092653Z.json"});
    EXPECT_EQ(readFile(programFile(keptCopies("portablePreferences").first())), bad);
    const auto event = events.last("stored-preferences-unreadable");
    ASSERT_TRUE(event);
    EXPECT_EQ(event->fields, (EventFields{{"source", "portablePreferences"},
                                          {"reason", "undecodable"},
                                          {"errorType", "pellucine.PreferenceDecodingError"},
                                          {"result", "kept"}}));

    // Loading again keeps no second copy of the same bytes.
    store.loadPortablePreferences();
    EXPECT_EQ(keptCopies("portablePreferences").size(), 1);
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("result"), "already-kept");

    // Other bad bytes in the same second get their own file; the first copy is untouched.
    const QByteArray worse = "not json";
    defaults.setValue("portablePreferences", worse);
    store.loadPortablePreferences();
    const QStringList copies = keptCopies("portablePreferences");
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(readFile(programFile("unreadable-portablePreferences-20260314T092653Z.json")), bad);
    EXPECT_EQ(readFile(programFile("unreadable-portablePreferences-20260314T092653Z-2.json")),
              worse);
    EXPECT_EQ(QFile::permissions(programFile(copies.first())) & 0x0077, 0);

    // A machine record that fails is kept under its own name.
    defaults.setValue("machinePreferences", QByteArray(R"({"updateChannel": "nightly"})"));
    EXPECT_EQ(store.loadMachinePreferences(), MachinePreferences());
    EXPECT_EQ(keptCopies("machinePreferences").size(), 1);
}

TEST_F(PreferenceStoreTest, ValuesThatAreNotDataLoadAsDefaultsAndAreKept) {
    defaults.setValue("machinePreferences", QString(R"({"showMenuBarIcon": false})"));
    EXPECT_EQ(store.loadMachinePreferences(), MachinePreferences());
    ASSERT_EQ(keptCopies("machinePreferences").size(), 1);
    EXPECT_EQ(readFile(programFile(keptCopies("machinePreferences").first())),
              R"({"showMenuBarIcon": false})");
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("reason"), "not-data");

    // Empty data has nothing to keep but is still noted.
    defaults.setValue("portablePreferences", QByteArray());
    store.loadPortablePreferences();
    EXPECT_TRUE(keptCopies("portablePreferences").isEmpty());
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("result"), "empty");
}

TEST_F(PreferenceStoreTest, KeepingFailsWithoutLosingTheStoredValue) {
    // A plain file where the program's folder should be.
    writeFile(temp.paths().applicationSupport, "x");
    const QByteArray bad = "{";
    defaults.setValue("portablePreferences", bad);
    store.loadPortablePreferences();
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("result"), "not-kept");
    EXPECT_EQ(defaults.value("portablePreferences").toByteArray(), bad);
}

TEST_F(PreferenceStoreTest, NonFiniteWidthIsSavedAsTheDefaultWidth) {
    PortablePreferences p = PortablePreferences::makeDefault(clock.now());
    p.previewWidth = std::numeric_limits<double>::quiet_NaN();
    store.savePortablePreferences(p);
    EXPECT_EQ(store.loadPortablePreferences().previewWidth, 600);
    EXPECT_EQ(events.count("preferences-not-saved"), 0);
}

TEST_F(PreferenceStoreTest, RecordThatCannotBeEncodedNeverReplacesGoodData) {
    PortablePreferences good = PortablePreferences::makeDefault(clock.now());
    good.previewWidth = 700;
    store.savePortablePreferences(good);
    const QByteArray before = defaults.value("portablePreferences").toByteArray();

    PortablePreferences bad = good;
    bad.previewWidth = 500;
    bad.modifiedAt = QDateTime();
    store.savePortablePreferences(bad);
    EXPECT_EQ(defaults.value("portablePreferences").toByteArray(), before);
    EXPECT_EQ(events.last("preferences-not-saved")->fields,
              (EventFields{{"source", "portablePreferences"},
                           {"reason", "unencodable"},
                           {"errorType", "pellucine.PreferenceEncodingError"}}));

    MachinePreferences machine;
    machine.showMenuBarIcon = false;
    store.saveMachinePreferences(machine);
    MachinePreferences unwritable = machine;
    unwritable.windowSearchHotkey.modifiers = std::numeric_limits<std::uint64_t>::max();
    store.saveMachinePreferences(unwritable);
    EXPECT_EQ(store.loadMachinePreferences(), machine);
    EXPECT_EQ(events.count("preferences-not-saved"), 2);
}

TEST_F(PreferenceStoreTest, FailedWriteIsRecorded) {
    defaults.setFailWrites(true);
    store.saveMachinePreferences(MachinePreferences());
    EXPECT_EQ(events.last("preferences-not-saved")->fields.value("reason"), "write-failed");
}

TEST_F(PreferenceStoreTest, RecordsSurviveASettingsFileAndANewProcess) {
    const QString path = SettingsFileStore::standardFilePath(temp.paths());
    EXPECT_TRUE(path.endsWith("/config/pellucine/pellucine.conf"));
    PortablePreferences p = PortablePreferences::makeDefault(clock.now().addMSecs(-589));
    p.excludedDockAppBundleIdentifiers = {"com.example.a", "org.example.b"};
    MachinePreferences m;
    m.updateChannel = UpdateChannel::beta;
    {
        SettingsFileStore file(path);
        PreferenceStore writer(file, temp.paths(), clock, events);
        writer.savePortablePreferences(p);
        writer.saveMachinePreferences(m);
    }
    // What another process sees: the file on disk.
    const QByteArray onDisk = readFile(path);
    EXPECT_TRUE(onDisk.contains("portablePreferences=\"@ByteArray({\\n")) << onDisk.data();
    EXPECT_TRUE(onDisk.contains("\\\"modifiedAt\\\": \\\"2026-03-14T09:26:53Z\\\""))
        << onDisk.data();

    SettingsFileStore file(path);
    PreferenceStore reader(file, temp.paths(), clock, events);
    EXPECT_EQ(reader.loadPortablePreferences(), p);
    EXPECT_EQ(reader.loadMachinePreferences(), m);
}

TEST_F(PreferenceStoreTest, SettingsFileReportsAWriteThatCannotReachTheDisk) {
    writeFile(temp.path() + "/blocked", "a file, not a folder");
    SettingsFileStore file(temp.path() + "/blocked/pellucine.conf");
    EXPECT_FALSE(file.setValue("k", QByteArray("v")));
    EXPECT_FALSE(file.setValue("k", QByteArray("v")));

    SettingsFileStore fine(temp.path() + "/fine/pellucine.conf");
    EXPECT_TRUE(fine.setValue("k", QByteArray("v")));
    EXPECT_EQ(SettingsFileStore(temp.path() + "/fine/pellucine.conf").value("k"), QByteArray("v"));
}

// Import.

TEST_F(PreferenceStoreTest, ImportErrorTextsAreExact) {
    EXPECT_EQ(PreferenceImportError::incompatibleSchema(13).localizedDescription(),
              schemaText.arg(13));
    EXPECT_EQ(PreferenceImportError::incompatibleSchema(-2).localizedDescription(),
              schemaText.arg(-2));
    EXPECT_EQ(PreferenceImportError::fileTooLarge().localizedDescription(), tooLargeText);
    EXPECT_EQ(PreferenceImportError::malformed().localizedDescription(), malformedText);
    EXPECT_TRUE(malformedText.contains(QChar(0x2019)));
    EXPECT_EQ(PreferenceImportError::malformed().typeName(), "pellucine.PreferenceImportError");
}

TEST_F(PreferenceStoreTest, ImportSizeLimitIsOneMebibyteInclusive) {
    const QByteArray envelope =
        R"({"portable":{"previewWidth":700,"version":12},"schemaVersion":12})";
    const QByteArray exact = paddedTo(envelope, mebibyte);
    const QByteArray over = paddedTo(envelope, mebibyte + 1);
    ASSERT_EQ(exact.size(), mebibyte);
    ASSERT_EQ(over.size(), mebibyte + 1);

    // The data check, on valid JSON either side of the limit.
    EXPECT_EQ(PreferenceStore::decodeImport(exact).previewWidth, 700);
    expectImportError([&] { PreferenceStore::decodeImport(over); },
                      PreferenceImportError::fileTooLarge());

    // The size check and the read: the whole of an exact file is read.
    writeFile(temp.file("exact.json"), exact);
    writeFile(temp.file("over.json"), over);
    EXPECT_EQ(store.importSettings(temp.file("exact.json")).previewWidth, 700);
    expectImportError([&] { store.importSettings(temp.file("over.json")); },
                      PreferenceImportError::fileTooLarge());
    // Far larger files are refused before reading.
    writeFile(temp.file("huge.json"), QByteArray(8 * mebibyte, 'x'));
    expectImportError([&] { store.importSettings(temp.file("huge.json")); },
                      PreferenceImportError::fileTooLarge());
}

TEST_F(PreferenceStoreTest, ImportRefusesSchemasOutsideOneToTwelve) {
    for (qint64 schema : {13LL, 0LL, -1LL, 9223372036854775807LL}) {
        const QByteArray data = json({{"schemaVersion", schema}, {"portable", QJsonObject()}});
        expectImportError([&] { PreferenceStore::decodeImport(data); },
                          PreferenceImportError::incompatibleSchema(schema));
    }
    for (const char* accepted : {R"({"schemaVersion": 1, "portable": {}})",
                                 R"({"schemaVersion": 12.0, "portable": {}})"}) {
        EXPECT_NO_THROW(PreferenceStore::decodeImport(accepted)) << accepted;
    }
}

TEST_F(PreferenceStoreTest, ImportOfAnEmptyRecordGivesTheDecodingDefaults) {
    writeFile(temp.file("defaults.json"), R"({"schemaVersion": 12, "portable": {}})");
    const PortablePreferences imported = store.importSettings(temp.file("defaults.json"));
    EXPECT_EQ(imported, PortablePreferences());
    EXPECT_EQ(imported.version, 12);
    EXPECT_EQ(imported.modifiedAt, distantPast());
}

TEST_F(PreferenceStoreTest, ImportReturnsTheRecordNormalisedWithoutApplyingIt) {
    const PortablePreferences imported = PreferenceStore::decodeImport(
        R"({"schemaVersion": 12, "portable": {"version": 12, "previewWidth": 9000,
            "shortcutKeyCode": 49, "shortcutModifiers": 0, "syncEnabled": true,
            "modifiedAt": "2025-12-31T23:59:59Z"}})");
    EXPECT_EQ(imported.previewWidth, 800);
    EXPECT_EQ(imported.shortcutKeyCode, 48);
    EXPECT_EQ(imported.shortcutModifiers, 0x100000u);
    EXPECT_TRUE(imported.syncEnabled);
    EXPECT_FALSE(defaults.contains("portablePreferences"));
}

TEST_F(PreferenceStoreTest, ImportOfAnythingButAnEnvelopeIsMalformed) {
    for (const char* bad : {
             R"({"portable": {}})",
             R"({"schemaVersion": 12})",
             R"({"schemaVersion": 12, "portable": null})",
             R"({"schemaVersion": null, "portable": {}})",
             R"({"schemaVersion": "12", "portable": {}})",
             R"({"schemaVersion": 12.5, "portable": {}})",
             R"({"schemaVersion": 12, "portable": []})",
             R"({"schemaVersion": 12, "portable": {"dockPreviewStyle": "grid"}})",
             R"({"schemaVersion": 12, "portable": {"modifiedAt": "yesterday"}})",
             // The record is read before the schema is judged.
             R"({"schemaVersion": 13, "portable": {"reduceAnimations": 1}})",
             R"([{"schemaVersion": 12, "portable": {}}])",
             "",
             "\xEF\xBB\xBF{}",
             "schemaVersion=12",
         }) {
        SCOPED_TRACE(bad);
        expectImportError([&] { PreferenceStore::decodeImport(bad); },
                          PreferenceImportError::malformed());
    }
    writeFile(temp.file("empty.json"), {});
    expectImportError([&] { store.importSettings(temp.file("empty.json")); },
                      PreferenceImportError::malformed());
}

TEST_F(PreferenceStoreTest, ImportOfAFolderOrPipeIsMalformedAndAMissingFileIsAFileError) {
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder.json"));
    expectImportError([&] { store.importSettings(temp.file("folder.json")); },
                      PreferenceImportError::malformed());
    // A pipe would block a reader; it is refused without being opened.
    ASSERT_EQ(::mkfifo(QFile::encodeName(temp.file("pipe.json")).constData(), 0600), 0);
    expectImportError([&] { store.importSettings(temp.file("pipe.json")); },
                      PreferenceImportError::malformed());

    try {
        store.importSettings(temp.file("missing.json"));
        ADD_FAILURE() << "imported a missing file";
    } catch (const FileSystemError& error) {
        EXPECT_EQ(error.localizedDescription(),
                  "The file “missing.json” couldn’t be read: No such file or directory.");
        EXPECT_EQ(error.typeName(), "pellucine.FileSystemError");
    }
    EXPECT_THROW(store.importSettings(temp.file("folder.json/inside.json")), FileSystemError);
}

TEST_F(PreferenceStoreTest, ExportFileRoundTripsThroughImport) {
    SettingsEnvelope envelope;
    envelope.portable = PortablePreferences::makeDefault(clock.now().addMSecs(-589));
    envelope.portable.dockPreviewStyle = DockPreviewStyle::compact;
    envelope.portable.excludedDockAppBundleIdentifiers = {"com.example.mail"};
    const QByteArray file = PreferenceStore::encode(envelope.toJson());
    EXPECT_LT(file.indexOf("\"portable\""), file.indexOf("\"schemaVersion\": 12"));
    EXPECT_TRUE(file.contains("\"modifiedAt\": \"2026-03-14T09:26:53Z\""));
    writeFile(temp.file("export.json"), file);
    EXPECT_EQ(store.importSettings(temp.file("export.json")), envelope.portable);
    EXPECT_EQ(SettingsEnvelope::fromJson(QJsonDocument::fromJson(file).object()), envelope);
}

// Migration.

class LegacyDefaultsMigrationTest : public ::testing::Test {
  protected:
    InMemoryKeyValueStore target;
    InMemoryKeyValueStore legacy{{{"portablePreferences", QByteArray("old portable")},
                                  {"machinePreferences", QByteArray("old machine")},
                                  {"hasCompletedTaskSwitcherOnboarding", true},
                                  {"unrelatedKey", 5}}};
};

TEST_F(LegacyDefaultsMigrationTest, CopiesOnlyKeysTheTargetLacks) {
    target.setValue("machinePreferences", QByteArray("current machine"));
    migrateLegacyDefaults(target, legacy);
    EXPECT_EQ(target.values(),
              (QMap<QString, QVariant>{{"portablePreferences", QByteArray("old portable")},
                                       {"machinePreferences", QByteArray("current machine")},
                                       {"hasCompletedTaskSwitcherOnboarding", true},
                                       {"didMigrateBrackenmoorDefaults.v1", true}}));
}

TEST_F(LegacyDefaultsMigrationTest, SetsItsFlagEvenWhenNothingIsCopied) {
    migrateLegacyDefaults(target, InMemoryKeyValueStore());
    EXPECT_EQ(target.values(),
              (QMap<QString, QVariant>{{"didMigrateBrackenmoorDefaults.v1", true}}));
}

TEST_F(LegacyDefaultsMigrationTest, RunsOnceInTheLifeOfTheTarget) {
    migrateLegacyDefaults(target, InMemoryKeyValueStore());
    const int writes = target.writeCount();
    migrateLegacyDefaults(target, legacy);
    EXPECT_EQ(target.writeCount(), writes);
    EXPECT_FALSE(target.contains("portablePreferences"));

    // A flag read back from a settings file as text stops it too.
    InMemoryKeyValueStore fromFile({{"didMigrateBrackenmoorDefaults.v1", QString("true")}});
    migrateLegacyDefaults(fromFile, legacy);
    EXPECT_FALSE(fromFile.contains("portablePreferences"));
}

TEST_F(LegacyDefaultsMigrationTest, MissingLegacyFileIsEmptyAndNeverCreated) {
    testing::TempFolder temp;
    SettingsFileStore file(SettingsFileStore::standardFilePath(temp.paths()));
    migrateLegacyDefaults(file, temp.paths());
    EXPECT_TRUE(file.value("didMigrateBrackenmoorDefaults.v1").toBool());
    EXPECT_FALSE(file.contains("portablePreferences"));
    EXPECT_FALSE(QFile::exists(
        SettingsFileStore::domainFilePath(temp.paths(), "com.orrinvale.brackenmoor.dev")));
}

TEST_F(LegacyDefaultsMigrationTest, CopiesFromALegacyFileAndStopsOnTheFlagInTheFile) {
    testing::TempFolder temp;
    const QString legacyPath =
        SettingsFileStore::domainFilePath(temp.paths(), "com.orrinvale.brackenmoor.dev");
    ASSERT_TRUE(QDir().mkpath(temp.paths().defaults));
    writeFile(legacyPath, "[General]\nportablePreferences=@ByteArray({\\\"version\\\":11})\n");
    const QString targetPath = SettingsFileStore::standardFilePath(temp.paths());
    {
        SettingsFileStore file(targetPath);
        migrateLegacyDefaults(file, temp.paths());
        EXPECT_EQ(file.value("portablePreferences"), QByteArray(R"({"version":11})"));
    }
    EXPECT_TRUE(readFile(targetPath).contains("didMigrateBrackenmoorDefaults.v1=true"));
    // A second run, with another legacy value, reads the flag from the target file.
    writeFile(legacyPath, "[General]\nmachinePreferences=@ByteArray({})\n");
    SettingsFileStore file(targetPath);
    migrateLegacyDefaults(file, temp.paths());
    EXPECT_FALSE(file.contains("machinePreferences"));
}

}  // namespace
}  // namespace pellucine
