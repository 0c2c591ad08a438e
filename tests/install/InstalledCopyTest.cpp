#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/TempFolder.h"
#include "updates/UpdateEnvironment.h"
#include "updates/UpdatesCardState.h"

namespace pellucine {
namespace {

// Lays out what an install with `prefix` puts on disk: the program and its autostart entry.
QString installInto(const QString& prefix) {
    const QString entry =
        prefix + QStringLiteral("/share/") + UpdateEnvironment::installedAutostartEntry;
    EXPECT_TRUE(QDir().mkpath(QFileInfo(entry).absolutePath()));
    EXPECT_TRUE(QDir().mkpath(prefix + QStringLiteral("/bin")));
    for (const QString& file : {entry, prefix + QStringLiteral("/bin/pellucine")}) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    }
    return prefix + QStringLiteral("/bin/pellucine");
}

// The updates card of a release build (one with a feed) whose program lies at `path`.
UpdatesCardState cardAt(const QString& path) {
    const Bundle release({{"SUFeedURL", "https://updates.example.com/appcast.xml"},
                          {"CFBundleShortVersionString", "1.4"}},
                         {});
    const UpdateEnvironment environment{release, path, QProcessEnvironment(),
                                        UpdateEnvironment::isInstalledProgram(path)};
    UpdatesCardState::Inputs inputs;
    inputs.availability = UpdateAvailability::available("1.5");
    inputs.source = environment.updateSource();
    inputs.currentVersion = environment.currentVersion();
    inputs.now = QDateTime::currentDateTimeUtc();
    return UpdatesCardState::from(inputs);
}

// Copies the package manager or the install script put in place are replaced by installing
// again; a copy the user keeps in a folder of their own replaces itself.
TEST(InstalledCopyTest, OnlyACopyOutsideAnInstallUpdatesItself) {
    const QString packaged = QStringLiteral(PELLUCINE_PACKAGED_PROGRAM);
    ASSERT_TRUE(packaged.startsWith(u'/')) << packaged.toStdString();
    ASSERT_TRUE(packaged.endsWith(u"/bin/pellucine")) << packaged.toStdString();
    const testing::TempFolder temp;
    // The package's prefix and the install script's default one, below the scratch folder.
    const QString packageRoot = temp.path() + QFileInfo(packaged).absolutePath() + "/..";
    for (const QString& path :
         {installInto(QDir::cleanPath(packageRoot)), installInto(temp.file("home/.local"))}) {
        EXPECT_TRUE(UpdateEnvironment::isInstalledProgram(path)) << path.toStdString();
        const UpdatesCardState card = cardAt(path);
        EXPECT_FALSE(card.installEnabled) << path.toStdString();
        EXPECT_FALSE(card.showsCheckNow) << path.toStdString();
        EXPECT_FALSE(card.automaticChecksEnabled) << path.toStdString();
        EXPECT_TRUE(card.locationNote && card.locationNote->contains("package manager"))
            << path.toStdString();
    }

    // A copy in a folder of the user's own, an unpacked build, or an AppImage.
    QDir().mkpath(temp.file("Apps/Pellucine/bin"));
    QFile own(temp.file("Apps/Pellucine/bin/pellucine"));
    EXPECT_TRUE(own.open(QIODevice::WriteOnly));
    for (const QString& path : {temp.file("Apps/Pellucine/bin/pellucine"),
                                temp.file("Apps/Pellucine.AppImage"), QString()}) {
        EXPECT_FALSE(UpdateEnvironment::isInstalledProgram(path)) << path.toStdString();
    }
    const UpdatesCardState portable = cardAt(temp.file("Apps/Pellucine/bin/pellucine"));
    EXPECT_TRUE(portable.installEnabled);
    EXPECT_TRUE(portable.automaticChecksEnabled);
    EXPECT_FALSE(portable.locationNote.has_value());
}

}  // namespace
}  // namespace pellucine
