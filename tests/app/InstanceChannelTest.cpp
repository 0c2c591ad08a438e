#include <gtest/gtest.h>
#include <poll.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <memory>
#include <vector>

#include "app/InstanceChannel.h"
#include "app/InstanceMessage.h"
#include "base/FileDescriptor.h"
#include "base/ManualScheduler.h"
#include "support/LocalConnections.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Role = InstanceChannel::Role;
using testing::closedByPeer;
using testing::connectLocal;

// Claims from another thread while this one serves the running instance's socket.
InstanceChannel::Claim claimElsewhere(const QString& folder, const QStringList& links) {
    InstanceChannel::Claim claim;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        ManualScheduler unused;
        InstanceChannel later(folder, unused);
        claim = later.claim(links);
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    return claim;
}

// Serves events until `done` holds, for at most five seconds.
template <typename Condition>
bool serveUntil(Condition done) {
    const QDeadlineTimer deadline(5000);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

class InstanceChannelTest : public ::testing::Test {
  protected:
    ManualScheduler scheduler;
    // Socket paths are short: the runtime folder is a fresh one in the system's temporary
    // folder.
    QTemporaryDir runtime{QDir::tempPath() + QStringLiteral("/pellucine-run-XXXXXX")};
    // The links the running instance took, in order.
    QStringList links;
    bool takesLinks = true;

    void takeLinks(InstanceChannel& channel) {
        channel.setLinkHandler([this](const QString& link) {
            links << link;
            return takesLinks;
        });
    }
};

TEST_F(InstanceChannelTest, ALaterLaunchHandsItsLinksToTheRunningOneInOrder) {
    InstanceChannel first(runtime.path(), scheduler);
    const InstanceChannel::Claim claim = first.claim({"pellucine://settings/dock"});
    ASSERT_EQ(claim.role, Role::primary);
    EXPECT_EQ(claim.problem, std::nullopt);
    EXPECT_TRUE(QFileInfo::exists(first.socketPath()));
    takeLinks(first);
    QSignalSpy reopens(&first, &InstanceChannel::reopenRequested);

    const QStringList sent{"pellucine://diagnostics", "pellucine://settings/about",
                           "anything at all"};
    EXPECT_EQ(claimElsewhere(runtime.path(), sent).role, Role::forwarded);
    EXPECT_EQ(links, sent);
    EXPECT_EQ(reopens.count(), 0);

    // Without links the later launch asks the running one to come forward.
    EXPECT_EQ(claimElsewhere(runtime.path(), {}).role, Role::forwarded);
    EXPECT_EQ(reopens.count(), 1);
    EXPECT_EQ(links.count(), 3);

    // A launch whose link was dropped fails, and says why.
    takesLinks = false;
    const InstanceChannel::Claim dropped =
        claimElsewhere(runtime.path(), {"pellucine://diagnostics"});
    EXPECT_EQ(dropped.role, Role::failed);
    EXPECT_TRUE(dropped.problem && dropped.problem->contains("dropped"));
}

TEST_F(InstanceChannelTest, TheRunningInstanceRefusesAMessageOutsideTheProtocol) {
    InstanceChannel first(runtime.path(), scheduler);
    ASSERT_EQ(first.claim({}).role, Role::primary);
    takeLinks(first);
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
        InstanceChannel first(runtime.path(), scheduler);
        const InstanceChannel::Claim claim = first.claim({});
        EXPECT_EQ(claim.role, Role::primary);
        EXPECT_EQ(claim.problem, std::nullopt);
        EXPECT_EQ(claimElsewhere(runtime.path(), {}).role, Role::forwarded);
    }
    EXPECT_FALSE(QFileInfo::exists(runtime.filePath(InstanceChannel::socketName)));
    EXPECT_FALSE(QFileInfo::exists(runtime.filePath(InstanceChannel::lockName)));
    InstanceChannel next(runtime.path(), scheduler);
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
    InstanceChannel later(runtime.path(), scheduler);
    const InstanceChannel::Claim claim =
        later.claim({"pellucine://diagnostics"}, std::chrono::milliseconds(0));
    EXPECT_EQ(claim.role, Role::failed);
    ASSERT_TRUE(claim.problem.has_value());
    EXPECT_TRUE(claim.problem->contains(later.socketPath()));
    EXPECT_FALSE(QFileInfo::exists(later.socketPath()));
}

TEST_F(InstanceChannelTest, AConnectionWithoutAWholeMessageInTimeIsClosed) {
    InstanceChannel first(runtime.path(), scheduler);
    ASSERT_EQ(first.claim({}).role, Role::primary);
    takeLinks(first);
    const auto silent = connectLocal(first.socketPath());
    // Half a message: the link line but not its end.
    const auto partial = connectLocal(first.socketPath(), "link pellucine://settings\n");
    ASSERT_TRUE(silent && partial);
    ASSERT_TRUE(serveUntil([&] { return first.openConnections() == 2; }));

    scheduler.advance(std::chrono::milliseconds(1499));
    QCoreApplication::processEvents();
    EXPECT_EQ(first.openConnections(), 2);
    EXPECT_FALSE(closedByPeer(*silent));

    scheduler.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(first.openConnections(), 0);
    EXPECT_TRUE(serveUntil([&] { return closedByPeer(*silent) && closedByPeer(*partial); }));
    EXPECT_EQ(links.count(), 0);
    EXPECT_EQ(scheduler.pendingCount(), 0U);
}

TEST_F(InstanceChannelTest, AtTheCapALaunchTakesThePlaceOfTheOldestIdleConnection) {
    InstanceChannel first(runtime.path(), scheduler,
                          {.messageTime = std::chrono::seconds(1), .connections = 3});
    ASSERT_EQ(first.claim({}).role, Role::primary);
    takeLinks(first);
    std::vector<std::unique_ptr<FileDescriptor>> held;
    for (int i = 0; i < 3; ++i) {
        held.push_back(connectLocal(first.socketPath()));
        ASSERT_TRUE(held.back());
        ASSERT_TRUE(serveUntil([&] { return first.openConnections() == i + 1; }));
    }
    EXPECT_EQ(claimElsewhere(runtime.path(), {"pellucine://settings"}).role, Role::forwarded);
    EXPECT_EQ(links, QStringList{"pellucine://settings"});
    EXPECT_TRUE(serveUntil([&] { return closedByPeer(*held[0]); }));
    EXPECT_FALSE(closedByPeer(*held[1]));
    EXPECT_FALSE(closedByPeer(*held[2]));

    // The idle ones still end at their deadline.
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(first.openConnections(), 0);
}

TEST_F(InstanceChannelTest, ALaunchIsServedThroughAStormOfConnectionsThatReconnectWhenClosed) {
    InstanceChannel first(runtime.path(), scheduler,
                          {.messageTime = std::chrono::seconds(1), .connections = 4});
    ASSERT_EQ(first.claim({}).role, Role::primary);
    takeLinks(first);
    // More reconnecting peers than places; the deadlines never pass in virtual time.
    std::atomic<bool> stop = false;
    std::atomic<int> connected = 0;
    std::vector<std::unique_ptr<QThread>> storm;
    const QString path = first.socketPath();
    for (int i = 0; i < 6; ++i) {
        storm.emplace_back(QThread::create([&] {
            while (!stop) {
                const auto socket = connectLocal(path);
                if (!socket) {
                    continue;
                }
                ++connected;
                pollfd closing{socket->get(), POLLIN, 0};
                while (!stop && !(::poll(&closing, 1, 20) > 0 && closedByPeer(*socket))) {
                }
            }
        }));
        storm.back()->start();
    }
    ASSERT_TRUE(serveUntil([&] { return first.openConnections() == 4 && connected > 6; }));
    const InstanceChannel::Claim claim = claimElsewhere(runtime.path(), {"pellucine://settings"});
    stop = true;
    for (const auto& thread : storm) {
        thread->wait();
    }
    EXPECT_EQ(claim.role, Role::forwarded) << claim.problem.value_or("").toStdString();
    EXPECT_EQ(links, QStringList{"pellucine://settings"});
}

TEST_F(InstanceChannelTest, AServedConnectionNoLongerCountsAndItsDeadlineIsDropped) {
    InstanceChannel first(runtime.path(), scheduler,
                          {.messageTime = std::chrono::seconds(1), .connections = 1});
    ASSERT_EQ(first.claim({}).role, Role::primary);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(claimElsewhere(runtime.path(), {}).role, Role::forwarded);
        EXPECT_TRUE(serveUntil([&] { return first.openConnections() == 0; }));
    }
    EXPECT_EQ(scheduler.pendingCount(), 0U);
}

TEST_F(InstanceChannelTest, WithoutAUsableRuntimeFolderTheProgramRunsAloneAndSaysWhy) {
    InstanceChannel alone(runtime.filePath(QStringLiteral("missing/folder")), scheduler);
    const InstanceChannel::Claim claim = alone.claim({"pellucine://diagnostics"});
    EXPECT_EQ(claim.role, Role::primary);
    ASSERT_TRUE(claim.problem.has_value());
    EXPECT_TRUE(claim.problem->contains(alone.lockPath()));
}

}  // namespace
}  // namespace pellucine
