#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "base/AtomicFile.h"
#include "support/FileTraps.h"
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

TEST(AtomicFileTest, AWriteThatRunsOutOfSpaceKeepsTheOldFileWhateverItsSize) {
    testing::TempFolder folder;
    const QString path = folder.file(QStringLiteral("state.json"));
    ASSERT_FALSE(writeFileAtomically(path, "old"));
    {
        const testing::FileSizeLimit fullDisk(1024);
        // Cut off in the middle, and cut off where the first write already fails.
        for (const qsizetype size : {qsizetype(1500), qsizetype(64 * 1024)}) {
            EXPECT_TRUE(writeFileAtomically(path, QByteArray(size, 'x')).has_value()) << size;
        }
    }
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"state.json"})
        << "the cut-off temporary file is removed";
}

TEST(AtomicFileTest, ALinkAtThePathIsReplacedUnlessItsTargetIsAsked) {
    testing::TempFolder folder;
    const QString target = folder.file(QStringLiteral("elsewhere.txt"));
    ASSERT_FALSE(writeFileAtomically(target, "precious"));
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto everyone = ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(target, everyone));
    const QString link = folder.file(QStringLiteral("record.json"));
    ASSERT_TRUE(QFile::link(target, link));

    ASSERT_FALSE(writeFileAtomically(link, "mine", ownerOnly));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(link), "mine");
    EXPECT_EQ(contents(target), "precious");
    const auto user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    EXPECT_EQ(QFile::permissions(target) & ~user, everyone) << "the target keeps its mode";

    // A settings file kept elsewhere through a chain of links is replaced where it is.
    const QString first = folder.file(QStringLiteral("first.conf"));
    const QString second = folder.file(QStringLiteral("second.conf"));
    ASSERT_TRUE(QFile::link(target, second));
    ASSERT_TRUE(QFile::link(second, first));
    ASSERT_FALSE(writeFileAtomically(first, "updated", std::nullopt, LinkAtPath::replaceTarget));
    EXPECT_TRUE(QFileInfo(first).isSymLink());
    EXPECT_TRUE(QFileInfo(second).isSymLink());
    EXPECT_EQ(contents(target), "updated");
    EXPECT_EQ(QFile::permissions(target) & ~user, everyone) << "the replaced file keeps its mode";

    const QString loop = folder.file(QStringLiteral("loop"));
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_EQ(replaceFileAtomically(loop, "x", std::nullopt, LinkAtPath::replaceTarget), ELOOP);
}

TEST(AtomicFileTest, OnlyTemporaryFilesOfGoneWritersAreRemoved) {
    testing::TempFolder folder;
    // A process that ran and ended: its number is free until the system reuses it.
    const pid_t gone = [] {
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(0);
        }
        ::waitpid(child, nullptr, 0);
        return child;
    }();
    const auto temporary = [&](const QString& name, pid_t pid) {
        return folder.file(QStringLiteral(".%1.pellucine-tmp-%2-Ab3dEf9Z").arg(name).arg(pid));
    };
    const QString stale = temporary(QStringLiteral("state.json"), gone);
    const QString mine = temporary(QStringLiteral("state.json"), ::getpid());
    const QString running = temporary(QStringLiteral("other.json"), ::getppid());
    const QString unrelated = folder.file(QStringLiteral("state.json.pellucine-tmp-1-x"));
    for (const QString& path : {stale, mine, running, unrelated}) {
        testing::putFile(path, "partial");
    }
    // A folder or a link of that name is not a file an atomic write left.
    const QString staleFolder = temporary(QStringLiteral("folder"), gone);
    ASSERT_TRUE(QDir().mkpath(staleFolder));
    const QString staleLink = temporary(QStringLiteral("link"), gone);
    ASSERT_TRUE(QFile::link(unrelated, staleLink));

    EXPECT_EQ(removeStaleTemporaryFiles(folder.path()), 1);
    EXPECT_FALSE(QFileInfo::exists(stale));
    for (const QString& kept : {mine, running, unrelated, staleFolder, staleLink}) {
        EXPECT_TRUE(QFileInfo(kept).exists() || QFileInfo(kept).isSymLink()) << kept.toStdString();
    }
    EXPECT_EQ(removeStaleTemporaryFiles(folder.file(QStringLiteral("missing"))), 0);
}

}  // namespace
}  // namespace pellucine
