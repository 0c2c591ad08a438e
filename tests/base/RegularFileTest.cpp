#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "base/RegularFile.h"
#include "support/FileTraps.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using Failure = RegularFileRead::Failure;

TEST(RegularFileTest, ReadsUpToTheLimitAndNotAByteMore) {
    testing::TempFolder folder;
    const QString path = folder.file(QStringLiteral("data"));
    testing::putFile(path, QByteArray(100, 'a'));
    const RegularFileRead exact = readRegularFile(path, 100);
    ASSERT_TRUE(exact.ok());
    EXPECT_EQ(exact.data, QByteArray(100, 'a'));
    EXPECT_EQ(readRegularFile(path, 99).failure, Failure::tooLarge);

    testing::putFile(path, QByteArray());
    EXPECT_TRUE(readRegularFile(path, 0).ok());
    EXPECT_TRUE(readRegularFile(path, 0).data.isEmpty());

    // Files of the process file system report no size and are read to their end.
    const RegularFileRead status = readRegularFile(QStringLiteral("/proc/self/status"), 1 << 20);
    ASSERT_TRUE(status.ok());
    EXPECT_TRUE(status.data.startsWith("Name:"));
    EXPECT_EQ(readRegularFile(QStringLiteral("/proc/self/status"), 10).failure, Failure::tooLarge);
}

TEST(RegularFileTest, PipesFoldersAndRefusedLinksAreNotReadAndNothingWaits) {
    testing::TempFolder folder;
    const QString pipe = folder.file(QStringLiteral("pipe"));
    testing::makePipe(pipe);
    EXPECT_EQ(readRegularFile(pipe, 1024).failure, Failure::notRegular);
    const QString linkToPipe = folder.file(QStringLiteral("to-pipe.desktop"));
    ASSERT_TRUE(QFile::link(pipe, linkToPipe));
    EXPECT_EQ(readRegularFile(linkToPipe, 1024).failure, Failure::notRegular);
    EXPECT_EQ(readRegularFile(folder.path(), 1024).failure, Failure::notRegular);
    EXPECT_EQ(readRegularFile(QStringLiteral("/dev/null"), 1024).failure, Failure::notRegular);

    const QString file = folder.file(QStringLiteral("file"));
    testing::putFile(file, "text");
    const QString link = folder.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_EQ(readRegularFile(link, 1024).data, "text");
    EXPECT_EQ(readRegularFile(link, 1024, LinkToFile::refuse).failure, Failure::notRegular);
    EXPECT_EQ(readRegularFile(file, 1024, LinkToFile::refuse).data, "text");

    const RegularFileRead missing = readRegularFile(folder.file(QStringLiteral("none")), 1024);
    EXPECT_EQ(missing.failure, Failure::missing);
    EXPECT_EQ(missing.errorCode, ENOENT);
    const RegularFileRead throughFile = readRegularFile(file + QStringLiteral("/below"), 1024);
    EXPECT_EQ(throughFile.failure, Failure::unreadable);
    EXPECT_EQ(throughFile.errorCode, ENOTDIR);
}

}  // namespace
}  // namespace pellucine
