#include <gtest/gtest.h>

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "app/InstanceChannel.h"
#include "app/InstanceMessage.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Role = InstanceChannel::Role;

// Claims from another thread while this one serves the running instance's socket.
InstanceChannel::Claim claimElsewhere(const QString& folder, const QStringList& links) {
    InstanceChannel::Claim claim;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        InstanceChannel later(folder);
        claim = later.claim(links);
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    return claim;
}

class InstanceChannelTest : public ::testing::Test {
  protected:
    // Socket paths are short: the runtime folder is a fresh one in the system's temporary
    // folder.
    QTemporaryDir runtime{QDir::tempPath() + QStringLiteral("/pellucine-run-XXXXXX")};
};

TEST_F(InstanceChannelTest, ALaterLaunchHandsItsLinksToTheRunningOneInOrder) {
    InstanceChannel first(runtime.path());
    const InstanceChannel::Claim claim = first.claim({"pellucine://settings/dock"});
    ASSERT_EQ(claim.role, Role::primary);
    EXPECT_EQ(claim.problem, std::nullopt);
    EXPECT_TRUE(QFileInfo::exists(first.socketPath()));
    QSignalSpy links(&first, &InstanceChannel::linkReceived);
    QSignalSpy reopens(&first, &InstanceChannel::reopenRequested);

    const QStringList sent{"pellucine://diagnostics", "pellucine://settings/about",
                           "anything at all"};
    EXPECT_EQ(claimElsewhere(runtime.path(), sent).role, Role::forwarded);
    QStringList received;
    for (const QList<QVariant>& signal : links) {
        received << signal.at(0).toString();
    }
    EXPECT_EQ(received, sent);
    EXPECT_EQ(reopens.count(), 0);

    // Without links the later launch asks the running one to come forward.
    EXPECT_EQ(claimElsewhere(runtime.path(), {}).role, Role::forwarded);
    EXPECT_EQ(reopens.count(), 1);
    EXPECT_EQ(links.count(), 3);
}

TEST_F(InstanceChannelTest, TheRunningInstanceRefusesAMessageOutsideTheProtocol) {
    InstanceChannel first(runtime.path());
    ASSERT_EQ(first.claim({}).role, Role::primary);
    QSignalSpy links(&first, &InstanceChannel::linkReceived);
    QStringList tooMany;
    for (int i = 0; i <= InstanceMessage::maximumLinks; ++i) {
        tooMany << QStringLiteral("pellucine://settings/%1").arg(i);
    }
    const InstanceChannel::Claim claim = claimElsewhere(runtime.path(), tooMany);
    EXPECT_EQ(claim.role, Role::failed);
    EXPECT_TRUE(claim.problem.has_value());
    EXPECT_EQ(links.count(), 0);
    // It still serves the next launch.
    EXPECT_EQ(claimElsewhere(runtime.path(), {"pellucine://settings"}).role, Role::forwarded);
    EXPECT_EQ(links.count(), 1);
}

TEST_F(InstanceChannelTest, ASocketLeftBehindIsTakenOverAndAnEndedInstanceFreesItsPlace) {
    {
        QFile leftover(runtime.filePath(InstanceChannel::socketName));
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    }
    {
        InstanceChannel first(runtime.path());
        const InstanceChannel::Claim claim = first.claim({});
        EXPECT_EQ(claim.role, Role::primary);
        EXPECT_EQ(claim.problem, std::nullopt);
        EXPECT_EQ(claimElsewhere(runtime.path(), {}).role, Role::forwarded);
    }
    EXPECT_FALSE(QFileInfo::exists(runtime.filePath(InstanceChannel::socketName)));
    EXPECT_FALSE(QFileInfo::exists(runtime.filePath(InstanceChannel::lockName)));
    InstanceChannel next(runtime.path());
    const InstanceChannel::Claim claim = next.claim({"pellucine://diagnostics"});
    EXPECT_EQ(claim.role, Role::primary);
    EXPECT_EQ(claim.problem, std::nullopt);
}

TEST_F(InstanceChannelTest, AnInstanceThatHoldsTheLockButNeverAnswersFailsTheLaterLaunch) {
    QLockFile held(runtime.filePath(InstanceChannel::lockName));
    ASSERT_TRUE(held.tryLock(0));
    // However old the lock, it is not taken over while its holder runs.
    QFile lockFile(held.fileName());
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1),
                                     QFileDevice::FileModificationTime));
    lockFile.close();
    InstanceChannel later(runtime.path());
    const InstanceChannel::Claim claim =
        later.claim({"pellucine://diagnostics"}, std::chrono::milliseconds(0));
    EXPECT_EQ(claim.role, Role::failed);
    ASSERT_TRUE(claim.problem.has_value());
    EXPECT_TRUE(claim.problem->contains(later.socketPath()));
    EXPECT_FALSE(QFileInfo::exists(later.socketPath()));
}

TEST_F(InstanceChannelTest, WithoutAUsableRuntimeFolderTheProgramRunsAloneAndSaysWhy) {
    InstanceChannel alone(runtime.filePath(QStringLiteral("missing/folder")));
    const InstanceChannel::Claim claim = alone.claim({"pellucine://diagnostics"});
    EXPECT_EQ(claim.role, Role::primary);
    ASSERT_TRUE(claim.problem.has_value());
    EXPECT_TRUE(claim.problem->contains(alone.lockPath()));
}

}  // namespace
}  // namespace pellucine
