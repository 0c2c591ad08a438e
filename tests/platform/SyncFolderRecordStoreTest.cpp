#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <limits>

#include "base/ManualExecutor.h"
#include "base/ManualScheduler.h"
#include "platform/linux/SyncFolderCloudAccount.h"
#include "support/FileTraps.h"
#include "support/QtPrinters.h"
#include "support/TaskOutcome.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::follow;
using testing::TempFolder;
using Location = SyncFolderRecordStore::Location;

const QString name = QStringLiteral("portable-preferences-v1");

CloudRecord sample() {
    CloudRecord record;
    record.recordType = QStringLiteral("PortablePreferences");
    record.recordName = name;
    record.fields.insert(QStringLiteral("payload"), QByteArray("{\"a\":1}\n\0\xff", 10));
    record.fields.insert(QStringLiteral("modifiedAt"),
                         QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC));
    record.fields.insert(QStringLiteral("text"), QStringLiteral("naïve “quoted”"));
    record.fields.insert(QStringLiteral("count"), std::numeric_limits<std::int64_t>::max());
    record.fields.insert(QStringLiteral("ratio"), 0.1);
    return record;
}

CloudErrorCode codeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const CloudStoreError& error) {
        return error.code();
    }
    ADD_FAILURE() << "no CloudStoreError";
    return CloudErrorCode::internalError;
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class SyncFolderRecordStoreTest : public ::testing::Test {
  protected:
    SyncFolderRecordStoreTest() { QDir().mkpath(location.containerFolder()); }

    TempFolder temp;
    Location location{temp.path(), QStringLiteral("pellucine")};
};

TEST_F(SyncFolderRecordStoreTest, AnUnusableFolderContainerOrNameFailsWithItsOwnCode) {
    const auto fetchFrom = [](Location where, QString record = name) {
        return codeOf([&] { SyncFolderRecordStore::fetchNow(where, record); });
    };
    const auto saveTo = [](Location where) {
        return codeOf([&] { SyncFolderRecordStore::saveNow(where, sample()); });
    };
    EXPECT_EQ(fetchFrom({std::nullopt, location.container}), CloudErrorCode::notAuthenticated);
    EXPECT_EQ(saveTo({QString(), location.container}), CloudErrorCode::notAuthenticated);
    EXPECT_EQ(fetchFrom({temp.file("unmounted"), location.container}),
              CloudErrorCode::accountTemporarilyUnavailable);
    EXPECT_EQ(saveTo({temp.file("unmounted"), location.container}),
              CloudErrorCode::accountTemporarilyUnavailable);
    EXPECT_FALSE(QFileInfo::exists(temp.file("unmounted"))) << "a missing sync folder is not made";
    EXPECT_EQ(fetchFrom({QStringLiteral("relative/folder"), location.container}),
              CloudErrorCode::accountTemporarilyUnavailable);
    for (const char* container : {"", "..", ".hidden", "a/b"}) {
        EXPECT_EQ(saveTo({location.syncFolder, QString::fromLatin1(container)}),
                  CloudErrorCode::badContainer)
            << container;
    }
    for (const char* record : {"", "../escape", ".hidden"}) {
        EXPECT_EQ(fetchFrom(location, QString::fromLatin1(record)),
                  CloudErrorCode::invalidArguments)
            << record;
    }
    EXPECT_EQ(fetchFrom(location), CloudErrorCode::unknownItem);
}

TEST_F(SyncFolderRecordStoreTest, ASavedRecordReadsBackFieldForFieldWithANewTag) {
    const CloudRecord saved = SyncFolderRecordStore::saveNow(location, sample());
    EXPECT_FALSE(saved.changeTag.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(temp.file("pellucine/portable-preferences-v1.json")));
    const CloudRecord read = SyncFolderRecordStore::fetchNow(location, name);
    EXPECT_EQ(read, saved);
    CloudRecord expected = sample();
    expected.changeTag = saved.changeTag;
    EXPECT_EQ(read, expected);

    const CloudRecord again = SyncFolderRecordStore::saveNow(location, read);
    EXPECT_NE(again.changeTag, saved.changeTag);
    EXPECT_TRUE(QDir(location.containerFolder())
                    .entryList(QDir::Files | QDir::Hidden)
                    .filter(QStringLiteral(".json"))
                    .size() == 1)
        << "no temporary files are left for the sync tool";
}

TEST_F(SyncFolderRecordStoreTest, ASaveFromAnOlderVersionIsRefused) {
    SyncFolderRecordStore::saveNow(location, sample());
    const CloudRecord mine = SyncFolderRecordStore::fetchNow(location, name);
    const CloudRecord theirs = SyncFolderRecordStore::fetchNow(location, name);
    SyncFolderRecordStore::saveNow(location, theirs);
    EXPECT_EQ(codeOf([&] { SyncFolderRecordStore::saveNow(location, mine); }),
              CloudErrorCode::serverRecordChanged);
    CloudRecord fresh = sample();
    EXPECT_EQ(codeOf([&] { SyncFolderRecordStore::saveNow(location, fresh); }),
              CloudErrorCode::serverRecordChanged)
        << "a new record never silently replaces a stored one";
    EXPECT_NO_THROW(
        SyncFolderRecordStore::saveNow(location, SyncFolderRecordStore::fetchNow(location, name)));
}

TEST_F(SyncFolderRecordStoreTest, AFileThatIsNotARecordReadsEmptyAndIsReplacedByTheNextSave) {
    const QString path = location.recordPath(name);
    const QByteArray oversized = "{\"changeTag\":\"t\",\"fields\":{},\"pad\":\"" +
                                 QByteArray(SyncFolderRecordStore::recordSizeLimit, 'x') + "\"}";
    for (const QByteArray& content : {QByteArray("half a fi"), QByteArray("[]"),
                                      QByteArray(R"({"changeTag":7,"fields":{}})"), oversized}) {
        writeFile(path, content);
        const CloudRecord read = SyncFolderRecordStore::fetchNow(location, name);
        EXPECT_TRUE(read.fields.isEmpty());
        EXPECT_TRUE(read.changeTag.isEmpty());
        EXPECT_EQ(read.recordName, name);
    }
    CloudRecord fresh = sample();
    SyncFolderRecordStore::saveNow(location, fresh);
    EXPECT_EQ(SyncFolderRecordStore::fetchNow(location, name).fields, sample().fields);

    // Fields of an unknown kind or with unreadable values are left out; the rest stay.
    writeFile(path, R"({"changeTag":"t","fields":{"a":{"bytes":"!!"},"b":{"colour":"red"},)"
                    R"("c":{"date":"yesterday"},"d":{"int":"12x"},"e":{"string":"kept"}}})");
    const CloudRecord partial = SyncFolderRecordStore::fetchNow(location, name);
    EXPECT_EQ(partial.fields.keys(), QStringList{QStringLiteral("e")});
    EXPECT_EQ(partial.changeTag, QStringLiteral("t"));
}

TEST_F(SyncFolderRecordStoreTest, ALinkOrPipeNamedLikeARecordIsNeverReadOrWrittenThrough) {
    // Anyone who shares the folder can plant a link to a file of this user's.
    const QString victim = temp.file("victim.txt");
    writeFile(victim, "the user's own file");
    const QString path = location.recordPath(name);
    ASSERT_TRUE(QFile::link(victim, path));
    const CloudRecord planted = SyncFolderRecordStore::fetchNow(location, name);
    EXPECT_TRUE(planted.changeTag.isEmpty());
    CloudRecord fresh = sample();
    SyncFolderRecordStore::saveNow(location, fresh);
    EXPECT_EQ(testing::fileContents(victim), "the user's own file");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(SyncFolderRecordStore::fetchNow(location, name).fields, sample().fields);

    // A pipe would hold a reader (and the save behind it) forever.
    ASSERT_TRUE(QFile::remove(path));
    testing::makePipe(path);
    EXPECT_TRUE(SyncFolderRecordStore::fetchNow(location, name).fields.isEmpty());
    fresh = sample();
    SyncFolderRecordStore::saveNow(location, fresh);
    EXPECT_TRUE(QFileInfo(path).isFile());
}

TEST_F(SyncFolderRecordStoreTest, ALinkedContainerFolderIsNeverReadOrWrittenThrough) {
    // The container links to a folder outside the chosen one that holds a record of its own.
    const QString outside = temp.file("outside");
    Location elsewhere{outside, location.container};
    QDir().mkpath(elsewhere.containerFolder());
    const CloudRecord theirs = SyncFolderRecordStore::saveNow(elsewhere, sample());
    const QByteArray before = testing::fileContents(elsewhere.recordPath(name));
    ASSERT_TRUE(QDir(location.containerFolder()).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.containerFolder(), location.containerFolder()));

    EXPECT_EQ(codeOf([&] { SyncFolderRecordStore::fetchNow(location, name); }),
              CloudErrorCode::badContainer);
    CloudRecord mine = sample();
    mine.changeTag = theirs.changeTag;
    EXPECT_EQ(codeOf([&] { SyncFolderRecordStore::saveNow(location, mine); }),
              CloudErrorCode::badContainer);
    EXPECT_EQ(testing::fileContents(elsewhere.recordPath(name)), before);
    EXPECT_EQ(QDir(elsewhere.containerFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_TRUE(QFileInfo(location.containerFolder()).isSymLink());
}

TEST_F(SyncFolderRecordStoreTest, OperationsRunOnTheExecutorAndResumeOnTheMainThread) {
    ManualScheduler scheduler;
    ManualExecutor executor(scheduler);
    SyncFolderCloudAccount account(temp.path(), executor);
    const auto store = account.defaultContainer();
    const auto saved = follow(store->save(sample()));
    EXPECT_EQ(executor.pendingCount(), 1u);
    EXPECT_FALSE(QFileInfo::exists(location.recordPath(name))) << "nothing on the caller's thread";
    executor.runAll();
    EXPECT_FALSE(saved->done);
    scheduler.runUntilIdle();
    ASSERT_TRUE(saved->succeeded());

    const auto missing = follow(account.container(QStringLiteral("other"))->fetch(name));
    executor.runAll();
    scheduler.runUntilIdle();
    ASSERT_TRUE(missing->errorAs<CloudStoreError>());
    EXPECT_EQ(missing->errorAs<CloudStoreError>()->code(), CloudErrorCode::unknownItem);

    SyncFolderCloudAccount signedOut(std::nullopt, executor);
    const auto refused = follow(signedOut.defaultContainer()->fetch(name));
    executor.runAll();
    scheduler.runUntilIdle();
    EXPECT_EQ(refused->errorAs<CloudStoreError>()->code(), CloudErrorCode::notAuthenticated);
}

}  // namespace
}  // namespace pellucine
