#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QSettings>
#include <QSize>
#include <QTimeZone>
#include <QUrl>
#include <random>

#include "base/RecordingEventLog.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileFormat.h"
#include "preferences/SettingsFileSchema.h"
#include "preferences/SettingsFileStore.h"
#include "support/FileTraps.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

// Every byte, with hex digits right after the bytes that need an escape.
QByteArray everyByte() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) {
        bytes += char(i);
        bytes += 'f';
    }
    return bytes;
}

QMap<QString, QVariant> readBack(const QString& path) {
    const QSettings settings(path, QSettings::IniFormat);
    QMap<QString, QVariant> values;
    for (const QString& key : settings.allKeys()) {
        values.insert(key, settings.value(key));
    }
    return values;
}

TEST(SettingsFileFormatTest, QSettingsReadsBackWhatItWouldHaveReadFromItsOwnFile) {
    const QMap<QString, QVariant> values{
        {"record", QByteArray("{\n    \"a\": \"naïve, “quoted”; x=1\"\n}\n")},
        {"bytes", everyByte()},
        {"empty bytes", QByteArray()},
        {"flag", true},
        {"count", -42},
        {"big", std::numeric_limits<qulonglong>::max()},
        {"ratio", 0.1},
        {"text", QString(" edges \t\v ")},
        {"at", QString("@ByteArray(not data)")},
        {"nul", QString::fromUtf16(u"a\0"
                                   "1b",
                                   4)},
        {"unicode", QString::fromUtf8("ünï 😀 \u2000")},
        {"escape then digit", QString::fromUtf16(u"\x01"
                                                 "0a\x1f"
                                                 "F")},
        {"list", QStringList{"a", "b, c", ""}},
        {"one item", QStringList{"only"}},
        {"no items", QStringList{}},
        {"rect", QRect(-1, 2, 30, 40)},
        {"size", QSize(3, 4)},
        {"point", QPoint(-5, 6)},
        {"date", QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC)},
        {"zoned", QDateTime(QDate(2026, 3, 14), QTime(1, 2), QTimeZone("Europe/Berlin"))},
        {"day", QDate(2026, 3, 14)},
        {"url", QUrl("https://example.org/a b")},
        {"invalid", QVariant()},
        {"nested", QVariantList{QVariantList{1, "x"}}},
        {"group/key", QString("in a section")},
        {"group/deeper/key", 7},
        {"General/key", QString("a group named like the default section")},
        {"odd key ;=[]#%ü€", QString("x")},
    };
    testing::TempFolder temp;
    const QString ours = temp.file("ours.conf");
    const std::optional<QByteArray> text = encodeSettingsFile(values);
    ASSERT_TRUE(text);
    testing::putFile(ours, *text);
    {
        QSettings reference(temp.file("theirs.conf"), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            reference.setValue(it.key(), it.value());
        }
    }
    // Read from a path of its own: QSettings answers a path it wrote from memory.
    const QString theirs = temp.file("theirs-copy.conf");
    testing::putFile(theirs, testing::fileContents(temp.file("theirs.conf")));
    const QMap<QString, QVariant> expected = readBack(theirs);
    const QMap<QString, QVariant> actual = readBack(ours);
    ASSERT_EQ(actual.keys(), expected.keys());
    for (const QString& key : expected.keys()) {
        EXPECT_EQ(actual.value(key), expected.value(key)) << key.toStdString();
    }
    EXPECT_EQ(actual.value("bytes"), everyByte());
    EXPECT_EQ(actual.value("zoned").toDateTime().timeZone().id(), "Europe/Berlin");
}

TEST(SettingsFileFormatTest, AValueWithoutATextFormIsRefused) {
    struct Opaque {
        int x = 0;
    };
    EXPECT_FALSE(encodeSettingsFile({{"k", QVariant::fromValue(Opaque{})}}));
    EXPECT_FALSE(encodeSettingsFile({{"k", QVariantList{QVariant::fromValue(Opaque{})}}}));
    EXPECT_FALSE(encodeSettingsFile({{"k", QVariantList{1, QVariant::fromValue(Opaque{})}}}));
    EXPECT_EQ(encodeSettingsFile({}), QByteArray());
}

TEST(SettingsFileSchemaTest, TellsForeignKeysFromValuesOfAnotherForm) {
    using Kind = SettingsFileSchema::Kind;
    const SettingsFileSchema schema{
        {{"data", Kind::data}, {"flag", Kind::flag}, {"text", Kind::text}}};
    const auto problem = [&](const QMap<QString, QVariant>& values) {
        return schema.problem(values).value_or(QStringLiteral("none")).toStdString();
    };
    EXPECT_EQ(problem({}), "none");
    EXPECT_EQ(problem({{"data", QByteArray()}, {"flag", "false"}, {"text", ""}}), "none");
    EXPECT_EQ(problem({{"flag", true}, {"text", "a, b"}}), "none");

    EXPECT_EQ(problem({{"data", QByteArray("v")}, {"stranger", "1"}}), "foreign-key");
    EXPECT_EQ(problem({{"group/data", QByteArray("v")}}), "foreign-key");
    EXPECT_EQ(problem({{"Data", QByteArray("v")}}), "foreign-key");
    // A foreign key wins over an invalid value, wherever each sorts.
    EXPECT_EQ(problem({{"aaa", "1"}, {"flag", "maybe"}}), "foreign-key");
    EXPECT_EQ(problem({{"flag", "maybe"}, {"zzz", "1"}}), "foreign-key");

    EXPECT_EQ(problem({{"data", "text"}}), "invalid-value");
    EXPECT_EQ(problem({{"flag", "True"}}), "invalid-value");
    EXPECT_EQ(problem({{"flag", 1}}), "invalid-value");
    EXPECT_EQ(problem({{"text", QStringList{"a", "b"}}}), "invalid-value");
    EXPECT_EQ(problem({{"text", QByteArray("v")}}), "invalid-value");
}

class SettingsFileStoreTest : public ::testing::Test {
  protected:
    testing::TempFolder temp;
    QString path = SettingsFileStore::standardFilePath(temp.paths());
    FakeWallClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC)};
    RecordingEventLog events;
};

TEST_F(SettingsFileStoreTest, AFullDiskKeepsTheLastSavedSettings) {
    PortablePreferences saved = PortablePreferences::makeDefault(clock.now());
    saved.excludedDockAppBundleIdentifiers = {"com.example.kept"};
    {
        SettingsFileStore file(path);
        PreferenceStore(file, temp.paths(), clock, events).savePortablePreferences(saved);
    }
    const QByteArray before = testing::fileContents(path);
    ASSERT_FALSE(before.isEmpty());

    PortablePreferences large = saved;
    for (int i = 0; i < 2000; ++i) {
        large.excludedDockAppBundleIdentifiers << QStringLiteral("com.example.app%1").arg(i);
    }
    {
        SettingsFileStore file(path);
        PreferenceStore store(file, temp.paths(), clock, events);
        const testing::FileSizeLimit fullDisk(before.size() + 512);
        store.savePortablePreferences(large);
    }
    ASSERT_EQ(events.count("preferences-not-saved"), 1);
    EXPECT_EQ(events.last("preferences-not-saved")->fields.value("reason"), "write-failed");
    EXPECT_EQ(testing::fileContents(path), before);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"pellucine.conf"});

    SettingsFileStore file(path);
    EXPECT_EQ(PreferenceStore(file, temp.paths(), clock, events).loadPortablePreferences(), saved);
}

TEST_F(SettingsFileStoreTest, AValueThatCannotBeWrittenDoesNotBlockLaterWrites) {
    struct Opaque {
        int x = 0;
    };
    SettingsFileStore file(path);
    EXPECT_FALSE(file.setValue("opaque", QVariant::fromValue(Opaque{})));
    EXPECT_FALSE(file.contains("opaque"));
    EXPECT_TRUE(file.setValue("k", QByteArray("v")));
    EXPECT_EQ(SettingsFileStore(path).value("k"), QByteArray("v"));
}

TEST_F(SettingsFileStoreTest, APipeAtThePathIsNeitherWaitedOnNorWrittenOver) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    testing::makePipe(path);
    SettingsFileStore file(path);
    EXPECT_FALSE(file.contains("k"));
    EXPECT_FALSE(file.setValue("k", QByteArray("v")));
    EXPECT_FALSE(QFileInfo(path).isFile());
}

TEST_F(SettingsFileStoreTest, AFileReplacedByOneOfTheSameSizeAndTimeIsReadAfresh) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    testing::putFile(path, "[General]\nflag=maybe\n");
    const QDateTime stamp = QFileInfo(path).lastModified();
    EXPECT_EQ(SettingsFileStore(path).value("flag"), "maybe");

    testing::putFile(path, "[General]\nflag=false\n");
    QFile replaced(path);
    ASSERT_TRUE(replaced.open(QIODevice::ReadWrite));
    ASSERT_TRUE(replaced.setFileTime(stamp, QFileDevice::FileModificationTime));
    replaced.close();
    EXPECT_EQ(SettingsFileStore(path).value("flag"), "false");

    // An oversized file is not read, and is not written over either.
    testing::putFile(path, QByteArray(SettingsFileStore::copySizeLimit + 1, '#'));
    SettingsFileStore oversized(path);
    EXPECT_FALSE(oversized.contains("flag"));
    EXPECT_FALSE(oversized.setValue("k", QByteArray("v")));
    EXPECT_EQ(QFileInfo(path).size(), SettingsFileStore::copySizeLimit + 1);
}

TEST_F(SettingsFileStoreTest, ASettingsFileKeptElsewhereThroughALinkStaysThere) {
    const QString kept = temp.file("dotfiles/pellucine.conf");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(kept).path()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    testing::putFile(kept, "[General]\nold=1\n");
    ASSERT_TRUE(QFile::link(kept, path));

    // A write killed halfway in an earlier run left this beside it.
    const QString leftover =
        QFileInfo(path).path() + "/.pellucine.conf.pellucine-tmp-999999999-a1b2c3d4";
    testing::putFile(leftover, "[General]\nold=");
    SettingsFileStore file(path);
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_EQ(file.value("old"), QString("1"));
    ASSERT_TRUE(file.setValue("new", true));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(testing::fileContents(kept), "[General]\nnew=true\nold=1\n");
}

// 64 KiB of the same random bytes every run.
QByteArray garbage() {
    std::mt19937 random(45);
    QByteArray bytes(64 * 1024, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xff);
    }
    return bytes;
}

class ClaimedSettingsFileTest : public SettingsFileStoreTest {
  protected:
    SettingsFileStore open() {
        return SettingsFileStore(path,
                                 {schema, temp.paths().programSupportFolder(), clock, events});
    }
    QStringList copies() const {
        return QDir(temp.paths().programSupportFolder()).entryList({"unreadable-*"}, QDir::Files);
    }

    SettingsFileSchema schema{
        {{"k", SettingsFileSchema::Kind::data}, {"flag", SettingsFileSchema::Kind::flag}}};
};

TEST_F(ClaimedSettingsFileTest, AFileThatIsNotOursIsKeptAsideAndOnlyOurKeysAreWritten) {
    const QByteArray junk = garbage();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    testing::putFile(path, junk);
    ASSERT_FALSE(readBack(path).isEmpty()) << "QSettings takes the bytes as keys";
    {
        // Parsed afresh, not as QSettings kept it from the read above: it finds no INI there.
        SettingsFileStore file = open();
        ASSERT_EQ(events.count("stored-preferences-unreadable"), 1);
        const EventFields fields = events.last("stored-preferences-unreadable")->fields;
        EXPECT_EQ(fields.value("source"), "pellucine.conf");
        EXPECT_EQ(fields.value("reason"), "not-ini");
        EXPECT_EQ(fields.value("result"), "kept");
        EXPECT_FALSE(file.contains("k"));
        ASSERT_EQ(copies(), QStringList{"unreadable-pellucine.conf-20260314T092653Z.conf"});
        EXPECT_EQ(testing::fileContents(temp.paths().programSupportFolder() + "/" + copies()[0]),
                  junk);
        EXPECT_EQ(
            file.unreadableCopy(),
            (UnreadableCopy{"kept", temp.paths().programSupportFolder() + "/" + copies()[0]}));
        // Nothing is written before a value is set.
        EXPECT_EQ(testing::fileContents(path), junk);
        ASSERT_TRUE(file.setValue("flag", true));
    }
    EXPECT_EQ(testing::fileContents(path), "[General]\nflag=true\n");

    // Now ours: read as it stands, nothing more recorded or kept.
    SettingsFileStore again = open();
    EXPECT_EQ(again.value("flag"), QString("true"));
    EXPECT_EQ(again.unreadableCopy(), std::nullopt);
    EXPECT_EQ(events.count("stored-preferences-unreadable"), 1);
    EXPECT_EQ(copies().size(), 1);
}

TEST_F(ClaimedSettingsFileTest, ForeignKeysDisownTheWholeFileOnceAndInvalidValuesOnlyThemselves) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    const QByteArray foreign = "[General]\nk=@ByteArray(v)\n\n[Theirs]\nx=1\n";
    testing::putFile(path, foreign);
    EXPECT_FALSE(open().contains("k"));
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("reason"), "foreign-key");
    // The same bytes again (the copy could not replace them): kept once.
    EXPECT_FALSE(open().contains("k"));
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("result"), "already-kept");

    testing::putFile(path, "[General]\nk=@ByteArray(v)\nflag=maybe\n");
    SettingsFileStore mended = open();
    EXPECT_EQ(mended.value("k"), QByteArray("v"));
    EXPECT_FALSE(mended.contains("flag"));
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("reason"),
              "invalid-value");
    EXPECT_EQ(copies().size(), 2);
    EXPECT_EQ(mended.unreadableCopy()->result, "kept");
    EXPECT_EQ(events.count("stored-preferences-unreadable"), 3);

    testing::putFile(path, "[General]\nk=@ByteArray(v)\nflag=false\n");
    SettingsFileStore ours = open();
    EXPECT_EQ(ours.value("k"), QByteArray("v"));
    EXPECT_EQ(events.count("stored-preferences-unreadable"), 3);
}

TEST_F(ClaimedSettingsFileTest, AFileThatCouldNotBeKeptIsNeverWrittenOver) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    testing::putFile(path, "[General]\nstranger=1\n");
    // A plain file where the copies would go.
    const QString folder = temp.paths().programSupportFolder();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).path()));
    testing::putFile(folder, "in the way");
    SettingsFileStore file = open();
    EXPECT_EQ(events.last("stored-preferences-unreadable")->fields.value("result"), "not-kept");
    EXPECT_EQ(file.unreadableCopy(), (UnreadableCopy{"not-kept", {}}));
    EXPECT_FALSE(file.contains("stranger"));
    EXPECT_FALSE(file.setValue("flag", true));
    EXPECT_EQ(testing::fileContents(path), "[General]\nstranger=1\n");
}

}  // namespace
}  // namespace pellucine
