#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/Build.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

const QByteArray completeStamp = R"({"sha": "3f2a9c1", "subject": "Tidy", "committed":
    "2026-03-14T09:26:53+01:00", "branch": "main", "builtAt": "2026-12-07T15:04:59Z",
    "extra": 1})";

class BuildTest : public ::testing::Test {
  protected:
    void writeResource(const QString& relative, const QByteArray& content) {
        const QString path = folder.file(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    Bundle bundle(QVariantMap info = {}) const { return Bundle(std::move(info), folder.path()); }
    Build::Stamp loaded() const { return Build::loadStamp(bundle()); }

    testing::TempFolder folder;
};

TEST_F(BuildTest, WithoutAStampEveryFieldTakesItsDefault) {
    const Build build(bundle(), loaded());
    EXPECT_EQ(build.sha(), QStringLiteral("unknown"));
    EXPECT_EQ(build.subject(), QStringLiteral("unknown"));
    EXPECT_EQ(build.branch(), QStringLiteral("unknown"));
    EXPECT_FALSE(build.shaHasPlusSuffix());
    EXPECT_FALSE(build.committedDate().has_value());
    EXPECT_EQ(build.shortVersion(), QStringLiteral("v0 \u00B7 unknown"));
    EXPECT_EQ(build.versionLine(), QStringLiteral("v0 \u00B7 unknown \u00B7 built unknown"));
}

TEST_F(BuildTest, TheStampFolderWinsOverTheTopOfTheResources) {
    writeResource(QStringLiteral("build-stamp.json"),
                  QByteArray(completeStamp).replace("3f2a9c1", "top"));
    EXPECT_EQ(loaded().sha, QStringLiteral("top"));
    writeResource(QStringLiteral("Stamp/build-stamp.json"), completeStamp);
    EXPECT_EQ(loaded(), (Build::Stamp{"3f2a9c1", "Tidy", "2026-03-14T09:26:53+01:00", "main",
                                      "2026-12-07T15:04:59Z"}));
}

TEST_F(BuildTest, AStampMissingAKeyOrWithAWrongValueIsRejectedWhole) {
    const QList<QByteArray> bad{
        R"({"sha": "a", "subject": "b", "committed": "c", "builtAt": "d"})",
        R"({"sha": "a", "subject": "b", "committed": "c", "branch": 7, "builtAt": "d"})",
        R"({"sha": "a", "subject": "b", "committed": "c", "branch": null, "builtAt": "d"})",
        R"(["a", "b"])",
        R"({"sha": "a", )",
        "",
    };
    for (const QByteArray& content : bad) {
        writeResource(QStringLiteral("Stamp/build-stamp.json"), content);
        EXPECT_EQ(loaded(), Build::Stamp{}) << content.constData();
    }
}

TEST_F(BuildTest, OnlyAnInternetDateToTheSecondWithAZoneIsADate) {
    const auto builtDate = [this](const QString& builtAt) {
        return Build(bundle(), Build::Stamp{"a", "b", "c", "d", builtAt}).builtDate();
    };
    EXPECT_EQ(builtDate(QStringLiteral("2026-12-07T15:04:59Z")),
              QDateTime(QDate(2026, 12, 7), QTime(15, 4, 59), Qt::UTC));
    EXPECT_EQ(builtDate(QStringLiteral("2026-12-07T16:04:59+01:00")),
              QDateTime(QDate(2026, 12, 7), QTime(15, 4, 59), Qt::UTC));
    for (const char* text : {"2026-12-07T15:04:59.250Z", "2026-12-07", "2026-12-07T15:04:59",
                             "2026-12-07 15:04:59Z", ""}) {
        EXPECT_FALSE(builtDate(QString::fromLatin1(text)).has_value()) << text;
    }
}

TEST_F(BuildTest, TheVersionLineNamesTheBuildTime) {
    const Build build(bundle({{"CFBundleShortVersionString", "2.4.1"}}),
                      Build::Stamp{"3f2a9c1+", "Tidy", "", "main", "2026-12-07T15:04:59Z"});
    EXPECT_TRUE(build.shaHasPlusSuffix());
    EXPECT_EQ(build.versionLine(QLocale(QLocale::English, QLocale::UnitedStates), QTimeZone::utc()),
              QStringLiteral("v2.4.1 \u00B7 3f2a9c1+ \u00B7 built Dec 7, 3:04 PM"));
    EXPECT_EQ(Build::formattedDate(QDateTime(QDate(2026, 12, 7), QTime(23, 30), Qt::UTC),
                                   QLocale(QLocale::German, QLocale::Germany),
                                   QTimeZone("Europe/Berlin")),
              QStringLiteral("Dez. 8, 00:30"));
    EXPECT_EQ(Build::formattedDate(std::nullopt), QStringLiteral("unknown"));
}

TEST_F(BuildTest, NameAndVersionFallBackWhenTheirKeysAreNotText) {
    EXPECT_EQ(Build(bundle({{"CFBundleName", "Pellucine"}}), {}).appName(),
              QStringLiteral("Pellucine"));
    EXPECT_EQ(
        Build(bundle({{"CFBundleDisplayName", 3}, {"CFBundleName", "Pellucine"}}), {}).appName(),
        QStringLiteral("Pellucine"));
    EXPECT_EQ(Build(bundle(), {}).appName(), QStringLiteral("This app"));
    EXPECT_EQ(Build(bundle({{"CFBundleShortVersionString", 2}}), {}).version(),
              QStringLiteral("0"));
}

TEST_F(BuildTest, FlagsReadBooleansNumbersAndAFewWords) {
    const Bundle b = bundle({{"true", true},
                             {"false", false},
                             {"two", 2},
                             {"zero", 0.0},
                             {"yes", "yes"},
                             {"True", "True"},
                             {"one", "1"},
                             {"on", "on"},
                             {"no", "no"},
                             {"zeroText", "0"},
                             {"empty", ""},
                             {"list", QVariantList{true}}});
    for (const char* key : {"true", "two", "yes", "True", "one"}) {
        EXPECT_TRUE(Bundle::infoBool(QLatin1String(key), b)) << key;
    }
    for (const char* key : {"false", "zero", "on", "no", "zeroText", "empty", "list", "absent"}) {
        EXPECT_FALSE(Bundle::infoBool(QLatin1String(key), b)) << key;
    }
}

TEST_F(BuildTest, TextKeysRefuseEmptyAndUnexpandedValuesButKeepSpaces) {
    const Bundle b = bundle({{"placeholder", "$(CLOUD_CONTAINER)"},
                             {"empty", ""},
                             {"spaced", " x "},
                             {"dollar", "$x"},
                             {"number", 4}});
    EXPECT_EQ(Bundle::infoString(QStringLiteral("placeholder"), b), std::nullopt);
    EXPECT_EQ(Bundle::infoString(QStringLiteral("empty"), b), std::nullopt);
    EXPECT_EQ(Bundle::infoString(QStringLiteral("number"), b), std::nullopt);
    EXPECT_EQ(Bundle::infoString(QStringLiteral("absent"), b), std::nullopt);
    EXPECT_EQ(Bundle::infoString(QStringLiteral("spaced"), b), QStringLiteral(" x "));
    EXPECT_EQ(Bundle::infoString(QStringLiteral("dollar"), b), QStringLiteral("$x"));
}

TEST(BuildOfTheProgram, TheBundleIsCompiledInWithSyncThroughTheDefaultContainer) {
    const Bundle& main = Bundle::main();
    EXPECT_EQ(Bundle::infoString(QStringLiteral("CFBundleIdentifier"), main),
              QStringLiteral("com.orrinvale.pellucine"));
    EXPECT_TRUE(Bundle::infoString(QStringLiteral("CFBundleShortVersionString"), main));
    EXPECT_TRUE(Bundle::infoBool(QStringLiteral("DockCloudSyncConfigured"), main));
    EXPECT_FALSE(Bundle::infoString(QStringLiteral("DockCloudContainerIdentifier"), main));
    // The stamp's build time is always set when the build is configured.
    EXPECT_TRUE(Build::main().builtDate().has_value());
    EXPECT_EQ(Build::main().appName(), QStringLiteral("Pellucine"));
}

}  // namespace
}  // namespace pellucine
