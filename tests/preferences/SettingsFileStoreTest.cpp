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

#include "base/RecordingEventLog.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileFormat.h"
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

}  // namespace
}  // namespace pellucine
