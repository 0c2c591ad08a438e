#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "base/AtomicFile.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AtomicFileTest, ReplacesTheWholeFileAndSetsThePermissionsAsked) {
    testing::TempFolder folder;
    const QString path = folder.file(QStringLiteral("state.json"));
    ASSERT_FALSE(writeFileAtomically(path, "a longer first version"));
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_FALSE(writeFileAtomically(path, "second", ownerOnly));
    EXPECT_EQ(contents(path), "second");
    const auto user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    EXPECT_EQ(QFile::permissions(path) & ~user, ownerOnly);
    // Nothing is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"state.json"});
}

TEST(AtomicFileTest, AFileThatCannotBeWrittenGivesTheReasonAndKeepsWhatWasThere) {
    testing::TempFolder folder;
    const auto failure =
        writeFileAtomically(folder.file(QStringLiteral("missing/state.json")), "data");
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->isEmpty());

    // A folder in the way is not replaced.
    const QString taken = folder.file(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(taken));
    EXPECT_TRUE(writeFileAtomically(taken, "data").has_value());
    EXPECT_TRUE(QFileInfo(taken).isDir());
}

}  // namespace
}  // namespace pellucine
