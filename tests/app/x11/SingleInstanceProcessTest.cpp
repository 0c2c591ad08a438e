#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include "X11TestDesktop.h"
#include "app/InstanceChannel.h"
#include "support/LocalConnections.h"
#include "support/ProgramProcesses.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

// The program itself, started as the desktop starts it for a link, with its own runtime,
// data and configuration folders.
class SingleInstanceProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        ASSERT_TRUE(runtime.isValid() && home.isValid());
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        environment = testing::programEnvironment(home.path(), runtime.path(),
                                                  home.filePath(QStringLiteral("data")),
                                                  home.filePath(QStringLiteral("config")));
    }

    QProcess& launch(const QStringList& arguments, const std::function<void()>& inChild = {}) {
        return processes.launch(QStringLiteral(PELLUCINE_PROGRAM), arguments, environment, inChild);
    }

    // Ends with status 0 and says nothing.
    static void expectHandedOver(QProcess& process) {
        // Waiting on a process that has already ended answers false.
        ASSERT_TRUE(process.state() == QProcess::NotRunning || process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_EQ(process.readAllStandardError(), QByteArray());
    }

    QString socketPath() const { return runtime.filePath(InstanceChannel::socketName); }

    // Someone listens on the socket (a socket file alone is not enough).
    bool listening() const {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        return socket.waitForConnected(200);
    }

    // The panes of the "deep-link" events in the running instance's event log, in order.
    QStringList panes() const {
        QFile log(home.filePath(QStringLiteral("data/pellucine/diagnostics/flight.jsonl")));
        QStringList out;
        if (!log.open(QIODevice::ReadOnly)) {
            return out;
        }
        for (const QByteArray& line : log.readAll().split('\n')) {
            const QJsonObject event = QJsonDocument::fromJson(line).object();
            if (event.value("event").toString() == QLatin1String("deep-link")) {
                out << event.value("pane").toString();
            }
        }
        return out;
    }
    bool panesBecome(const QStringList& expected) const {
        return X11TestDesktop::waitUntil([&] { return panes() == expected; });
    }

    QTemporaryDir runtime{QDir::tempPath() + QStringLiteral("/pellucine-run-XXXXXX")};
    QTemporaryDir home;
    QProcessEnvironment environment;
    testing::ProgramProcesses processes;
};

TEST_F(SingleInstanceProcessTest, ASecondLaunchHandsItsLinkToTheFirstAndEndsWithZero) {
    QProcess& first = launch({"pellucine://settings/Dock"});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return listening(); }));
    ASSERT_TRUE(panesBecome({"dock"})) << panes().join(' ').toStdString();

    expectHandedOver(launch({"PELLUCINE://diagnostics/logs"}));
    EXPECT_TRUE(panesBecome({"dock", "diagnostics"})) << panes().join(' ').toStdString();

    // Without a link, or with one that is not a link, the later launch only asks the running
    // one to come forward; nothing is recorded.
    expectHandedOver(launch({}));
    expectHandedOver(launch({"pellucine://settings/%zz"}));
    expectHandedOver(launch({"pellucine://settings/general"}));
    EXPECT_TRUE(panesBecome({"dock", "diagnostics", "general"})) << panes().join(' ').toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstanceProcessTest, AnInstanceThatWasKilledDoesNotBlockTheNextOne) {
    QProcess& killed = launch({});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return listening(); }));
    killed.kill();
    ASSERT_TRUE(killed.state() == QProcess::NotRunning || killed.waitForFinished(5000));
    ASSERT_TRUE(QFileInfo::exists(socketPath()));
    ASSERT_TRUE(QFileInfo::exists(runtime.filePath(InstanceChannel::lockName)));
    ASSERT_FALSE(listening());

    QProcess& next = launch({"pellucine://settings/about"});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return listening(); }));
    EXPECT_TRUE(panesBecome({"about"})) << panes().join(' ').toStdString();
    expectHandedOver(launch({"pellucine://diagnostics"}));
    EXPECT_TRUE(panesBecome({"about", "diagnostics"})) << panes().join(' ').toStdString();
    EXPECT_EQ(next.state(), QProcess::Running);
}

TEST_F(SingleInstanceProcessTest, TwoLaunchesAtOnceLeaveOneInstanceWithBothLinks) {
    QProcess& one = launch({"pellucine://settings/general"});
    QProcess& other = launch({"pellucine://settings/switcher"});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
        return one.state() == QProcess::NotRunning || other.state() == QProcess::NotRunning;
    }));
    QProcess& ended = one.state() == QProcess::NotRunning ? one : other;
    QProcess& running = &ended == &one ? other : one;
    expectHandedOver(ended);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        QStringList seen = panes();
        seen.sort();
        return seen == QStringList{"general", "switcher"};
    })) << panes().join(' ').toStdString();
    EXPECT_EQ(running.state(), QProcess::Running);
}

TEST_F(SingleInstanceProcessTest, IdleConnectionsBeyondItsFileLimitDoNotHoldTheInstanceShut) {
    // The usual limit for the instance; this process needs room for all the idle connections.
    constexpr rlim_t instanceLimit = 1024;
    constexpr int idleCount = 1100;
    rlimit own{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &own), 0);
    if (own.rlim_cur < 4096 && own.rlim_max >= 4096) {
        own.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &own), 0);
    }
    if (own.rlim_cur < 2 * instanceLimit) {
        GTEST_SKIP() << "Cannot open enough files here";
    }
    QProcess& first = launch({"pellucine://settings/dock"}, [] {
        const rlimit limit{instanceLimit, instanceLimit};
        ::setrlimit(RLIMIT_NOFILE, &limit);
    });
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return listening(); }));
    ASSERT_TRUE(panesBecome({"dock"})) << panes().join(' ').toStdString();

    std::vector<std::unique_ptr<FileDescriptor>> idle;
    for (int i = 0; i < idleCount; ++i) {
        idle.push_back(testing::connectLocal(socketPath()));
    }
    // Held open while the later launch comes.
    expectHandedOver(launch({"pellucine://settings/general"}));
    EXPECT_TRUE(panesBecome({"dock", "general"})) << panes().join(' ').toStdString();
    idle.clear();
    expectHandedOver(launch({"pellucine://diagnostics"}));
    EXPECT_TRUE(panesBecome({"dock", "general", "diagnostics"})) << panes().join(' ').toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
}

}  // namespace
}  // namespace pellucine
