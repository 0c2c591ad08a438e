#include <gtest/gtest.h>

#include <QDir>

#include "updates/UpdateEnvironment.h"
#include "updates/UpdatesCardState.h"

namespace pellucine {
namespace {

// The updates card of a release build (one with a feed) whose program lies at `path`.
UpdatesCardState cardAt(const QString& path) {
    const Bundle release({{"SUFeedURL", "https://updates.example.com/appcast.xml"},
                          {"CFBundleShortVersionString", "1.4"}},
                         {});
    const UpdateEnvironment environment{release, path, QProcessEnvironment()};
    UpdatesCardState::Inputs inputs;
    inputs.availability = UpdateAvailability::available("1.5");
    inputs.canUpdateItself = environment.canUpdateItself();
    inputs.currentVersion = environment.currentVersion();
    inputs.now = QDateTime::currentDateTimeUtc();
    return UpdatesCardState::from(inputs);
}

// Copies the package manager or an install script owns are replaced by installing again; only a
// copy installed into an Applications folder replaces itself.
TEST(InstalledCopyTest, OnlyACopyInAnApplicationsFolderUpdatesItself) {
    const QString packaged = QStringLiteral(PELLUCINE_PACKAGED_PROGRAM);
    ASSERT_TRUE(packaged.startsWith(u'/')) << packaged.toStdString();
    for (const QString& path : {packaged, QDir::homePath() + "/.local/bin/pellucine"}) {
        const UpdatesCardState card = cardAt(path);
        EXPECT_FALSE(card.installEnabled) << path.toStdString();
        EXPECT_FALSE(card.checkNowEnabled) << path.toStdString();
        EXPECT_TRUE(card.locationNote && card.locationNote->contains("cannot update itself"))
            << path.toStdString();
    }
    const UpdatesCardState own = cardAt(QDir::homePath() + "/Applications/Pellucine/bin/pellucine");
    EXPECT_TRUE(own.installEnabled);
    EXPECT_FALSE(own.locationNote.has_value());
}

}  // namespace
}  // namespace pellucine
