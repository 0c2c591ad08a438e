#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "base/AtomicFile.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TEST(AtomicFileTest, ReplacesTheWholeFileAndLeavesNothingBeside) {
    testing::TempFolder temp;
    const QString path = temp.file(QStringLiteral("record.json"));
    ASSERT_EQ(writeFileAtomically(path, "a much longer first version"), std::nullopt);
    ASSERT_EQ(writeFileAtomically(path, "short"), std::nullopt);
    EXPECT_EQ(contents(path), "short");
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("record.json")});

    ASSERT_EQ(
        writeFileAtomically(path, "private", QFileDevice::ReadOwner | QFileDevice::WriteOwner),
        std::nullopt);
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions{});
}

TEST(AtomicFileTest, AFailureGivesTheReasonAndLeavesWhatWasThere) {
    testing::TempFolder temp;
    const auto missingFolder =
        writeFileAtomically(temp.file(QStringLiteral("absent/record.json")), "data");
    ASSERT_TRUE(missingFolder);
    EXPECT_FALSE(missingFolder->isEmpty());
    EXPECT_FALSE(QFile::exists(temp.file(QStringLiteral("absent"))));

    // A folder where the file should be is not replaced.
    const QString folder = temp.file(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    EXPECT_TRUE(writeFileAtomically(folder, "data"));
    EXPECT_TRUE(QDir(folder + QStringLiteral("/inside")).exists());
}

}  // namespace
}  // namespace pellucine
