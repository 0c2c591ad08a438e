#include <gtest/gtest.h>
#include <sodium.h>

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTimer>

#include "LoopbackServer.h"
#include "base/ManualScheduler.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/linux/updater/AppcastParser.h"
#include "platform/linux/updater/ExecutableRelaunch.h"
#include "platform/linux/updater/FeedUpdater.h"
#include "support/QtPrinters.h"
#include "support/TempFolder.h"
#include "updates/UpdateChoice.h"
#include "updates/UpdateController.h"
#include "updates/VersionWithV.h"

namespace pellucine {
namespace {

using testing::LoopbackServer;
using testing::runUntil;

struct SigningKey {
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];

    SigningKey() {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey, secretKey);
    }
    QString publicBase64() const {
        return QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64();
    }
    QString sign(const QByteArray& data) const {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr,
                             reinterpret_cast<const unsigned char*>(data.data()),
                             static_cast<unsigned long long>(data.size()), secretKey);
        return QByteArray(reinterpret_cast<char*>(signature), sizeof signature).toBase64();
    }
};

struct Release {
    QString version;
    QString display;
    std::optional<QString> channel;
    QString file = QStringLiteral("/payload");
    qint64 length = 0;
    QString signature;
};

QByteArray appcast(const QList<Release>& releases) {
    QByteArray items;
    for (const Release& r : releases) {
        items += "<item><sparkle:version>" + r.version.toUtf8() +
                 "</sparkle:version><sparkle:shortVersionString>" + r.display.toUtf8() +
                 "</sparkle:shortVersionString>";
        if (r.channel) {
            items += "<sparkle:channel>" + r.channel->toUtf8() + "</sparkle:channel>";
        }
        items += "<enclosure url=\"" + r.file.toUtf8() + "\" length=\"" +
                 QByteArray::number(r.length) + "\" sparkle:edSignature=\"" + r.signature.toUtf8() +
                 "\"/></item>";
    }
    return "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
           "sparkle\"><channel>" +
           items + "</channel></rss>";
}

// Records what the updater tells its delegate, in order.
class RecordingDelegate final : public UpdaterDelegate {
  public:
    std::optional<QString> feed;
    bool mayInstall = true;
    QStringList log;

    QSet<QString> allowedChannels() override { return {}; }
    std::optional<QString> feedURLString() override { return feed; }
    std::optional<AppcastItem> bestValidUpdate(const Appcast& appcast) override {
        log << QStringLiteral("choose from %1").arg(appcast.items.size());
        return pellucine::bestValidUpdate(appcast, UpdateChannel::stable, QStringLiteral("140"));
    }
    void didFindValidUpdate(const AppcastItem& item) override {
        log << "found " + item.displayVersionString;
    }
    void didNotFindUpdate() override { log << "none"; }
    void didFinishUpdateCycle(UpdateCheck, const std::optional<UpdaterError>& error) override {
        log << (error ? QStringLiteral("finish %1").arg(error->code) : QStringLiteral("finish"));
    }
    void willRelaunchApplication() override { log << "relaunch"; }
    bool mayInstallUpdates() override { return mayInstall; }
    bool supportsGentleScheduledUpdateReminders() override { return true; }
    bool shouldHandleShowingScheduledUpdate(const AppcastItem&, bool) override { return false; }
    VersionDisplay& versionDisplayer() override { return VersionWithV::shared(); }
    void willShowModalAlert() override { log << "alert"; }

    bool finished() const { return !log.isEmpty() && log.last().startsWith("finish"); }
};

// Answers the updater's window at once, as told.
class ScriptedDialogs final : public UpdateDialogHost {
  public:
    bool install = true;
    bool relaunch = true;
    QStringList log;

    void showChecking(std::function<void()>) override { log << "checking"; }
    void showUpdateFound(const UpdateOffer& offer, std::function<void(bool)> answer) override {
        log << "found " + offer.updateVersion + " over " + offer.currentVersion;
        later(std::move(answer), install);
    }
    void showDownloading(std::function<void()>) override { log << "downloading"; }
    void showDownloadProgress(qint64, std::optional<qint64>) override {}
    void showReadyToInstall(const QString& version, std::function<void(bool)> answer) override {
        log << "ready " + version;
        later(std::move(answer), relaunch);
    }
    void showUpToDate(const QString& version) override { log << "up to date " + version; }
    void showError(const QString& message) override { log << "error: " + message; }
    void close() override { log << "close"; }

  private:
    static void later(std::function<void(bool)> answer, bool yes) {
        QTimer::singleShot(0, [answer = std::move(answer), yes] { answer(yes); });
    }
};

class FeedUpdaterTest : public ::testing::Test {
  protected:
    testing::TempFolder temp;
    FakeWallClock wall;
    QtScheduler scheduler{systemContinuousClock()};
    LoopbackServer server;
    SigningKey key;
    ScriptedDialogs dialogs;
    RecordingDelegate delegate;
    QStringList relaunched;
    int terminations = 0;
    std::chrono::milliseconds transferTimeout = FeedUpdater::defaultTransferTimeout;

    FeedUpdater::Setup setup() {
        return {std::nullopt,
                key.publicBase64(),
                "140",
                "1.4",
                "6.1.0",
                temp.file("Applications/pellucine"),
                temp.file("state/updater.json"),
                transferTimeout};
    }
    FeedUpdater::Services services(Scheduler& on) {
        return {on, wall, dialogs,
                [this](const QString& executable) {
                    relaunched << executable;
                    return true;
                },
                [this] { ++terminations; }};
    }
    std::unique_ptr<FeedUpdater> engine(Scheduler& on) {
        return std::make_unique<FeedUpdater>(setup(), services(on), delegate);
    }
};

TEST_F(FeedUpdaterTest, ProbeOffersTheChosenReleaseOnAllowedChannelsThenFinishes) {
    server.serve(
        "/appcast.xml",
        {200, appcast({{"130", "1.3"}, {"150", "1.5"}, {"190", "1.9", QStringLiteral("beta")}})});
    delegate.feed = server.url("/appcast.xml").toString();
    auto updater = engine(scheduler);
    EXPECT_FALSE(updater->lastUpdateCheckDate());
    updater->checkForUpdateInformation();
    EXPECT_TRUE(updater->sessionInProgress());
    EXPECT_FALSE(updater->canCheckForUpdates());
    ASSERT_TRUE(runUntil([&] { return delegate.finished(); }));
    EXPECT_EQ(delegate.log, (QStringList{"choose from 2", "found 1.5", "finish"}));
    EXPECT_TRUE(dialogs.log.isEmpty());
    EXPECT_FALSE(updater->sessionInProgress());
    // The date of the check outlives the updater.
    EXPECT_EQ(updater->lastUpdateCheckDate(), wall.now());
    EXPECT_EQ(engine(scheduler)->lastUpdateCheckDate(), wall.now());
}

TEST_F(FeedUpdaterTest, SessionsEndWithTheirCodes) {
    struct Case {
        LoopbackServer::Answer answer;
        QStringList log;
    };
    const Case cases[] = {
        {{200, appcast({{"130", "1.3"}, {"140", "1.4"}})},
         {"choose from 2", "none", "finish 1001"}},
        {{404, "gone"}, {"finish 1002"}},
        {{200, "<html>maintenance</html>"}, {"finish 1000"}},
        {{200, "<rss>", AppcastParser::maximumFeedSize + 1}, {"finish 1000"}},
    };
    auto updater = engine(scheduler);
    delegate.feed = server.url("/appcast.xml").toString();
    for (const Case& c : cases) {
        server.serve("/appcast.xml", c.answer);
        delegate.log.clear();
        updater->checkForUpdateInformation();
        ASSERT_TRUE(runUntil([&] { return delegate.finished(); })) << c.answer.body.constData();
        EXPECT_EQ(delegate.log, c.log) << c.answer.body.constData();
    }
    // Addresses that are not allowed end at once, without a request.
    const int requests = static_cast<int>(server.requests().size());
    for (const QString& feed :
         {QString(""), QString("ftp://127.0.0.1/a"), QString("http://10.1.1.1/")}) {
        delegate.feed = feed;
        delegate.log.clear();
        updater->checkForUpdateInformation();
        EXPECT_EQ(delegate.log, QStringList{"finish 4"}) << feed.toStdString();
    }
    EXPECT_EQ(server.requests().size(), requests);
}

TEST_F(FeedUpdaterTest, UserCheckWithNothingNewShowsItIsUpToDate) {
    server.serve("/appcast.xml", {200, appcast({{"140", "1.4"}})});
    delegate.feed = server.url("/appcast.xml").toString();
    auto updater = engine(scheduler);
    updater->checkForUpdates();
    ASSERT_TRUE(runUntil([&] { return delegate.finished(); }));
    EXPECT_EQ(delegate.log, (QStringList{"choose from 1", "none", "alert", "finish 1001"}));
    EXPECT_EQ(dialogs.log, (QStringList{"checking", "up to date v1.4"}));
}

TEST_F(FeedUpdaterTest, ACopyThatMayNotReplaceItselfDownloadsNothing) {
    server.serve("/appcast.xml", {200, appcast({{"150", "1.5", std::nullopt,
                                                 server.url("/payload").toString(), 5, "c2ln"}})});
    delegate.feed = server.url("/appcast.xml").toString();
    delegate.mayInstall = false;
    auto updater = engine(scheduler);
    updater->checkForUpdates();
    ASSERT_TRUE(runUntil([&] { return delegate.finished(); }));
    EXPECT_EQ(delegate.log, (QStringList{"choose from 1", "found 1.5", "alert", "finish 4005"}));
    EXPECT_EQ(server.requests(), QStringList{"/appcast.xml"});
    EXPECT_FALSE(QFile::exists(temp.file("Applications/pellucine")));
}

TEST_F(FeedUpdaterTest, ScheduledChecksFollowTheLastCheckAndTheSwitch) {
    ManualScheduler manual;
    wall.set(manual.clocks().wall.now());
    QDir().mkpath(temp.file("state"));
    QFile state(temp.file("state/updater.json"));
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    state.write(R"({"lastUpdateCheckDate":")" +
                wall.now().addSecs(-23 * 3600).toString(Qt::ISODate).toUtf8() + R"("})");
    state.close();

    auto updater = engine(manual);
    updater->setUpdateCheckInterval(std::chrono::hours(24));
    manual.advance(2 * 3600.0);
    EXPECT_TRUE(delegate.log.isEmpty());

    updater->setAutomaticallyChecksForUpdates(true);
    // Due an hour after the last check's day ends; without a feed it ends at once.
    manual.advance(3600.0 - 1);
    EXPECT_TRUE(delegate.log.isEmpty());
    manual.advance(1.0);
    EXPECT_EQ(delegate.log, QStringList{"finish 4"});
    // A check without an answer keeps the date of the last answered one.
    EXPECT_EQ(updater->lastUpdateCheckDate(), wall.now().addSecs(-23 * 3600));

    // The next is a whole interval later; turning checks off drops it.
    manual.advance(24 * 3600.0 - 1);
    EXPECT_EQ(delegate.log.size(), 1);
    updater->setAutomaticallyChecksForUpdates(false);
    manual.advance(48 * 3600.0);
    EXPECT_EQ(delegate.log.size(), 1);

    // A last check in the future waits one interval at most; intervals are an hour at least.
    wall.set(wall.now().addDays(-30));
    updater->setUpdateCheckInterval(std::chrono::seconds(1));
    EXPECT_EQ(updater->updateCheckInterval(), std::chrono::hours(1));
    updater->setAutomaticallyChecksForUpdates(true);
    manual.advance(3600.0);
    EXPECT_EQ(delegate.log.size(), 2);
}

// The whole road: the update controller, the updater, a feed and a payload on this machine, and
// a copy of the program in a temporary Applications folder.
class SelfUpdateTest : public FeedUpdaterTest {
  protected:
    RecordingEventLog events;
    const QByteArray oldProgram = "#!/bin/sh\necho old > \"$0.ran\"\n";
    const QByteArray newProgram =
        "#!/bin/sh\necho new \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.ran\"\n";
    std::optional<QString> publicKey = key.publicBase64();
    std::unique_ptr<UpdateController> controller;

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(temp.file("Applications")));
        QFile program(executable());
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write(oldProgram);
        program.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                               QFileDevice::ExeGroup);
    }
    QString executable() const { return temp.file("Applications/pellucine"); }
    QByteArray installed() const {
        QFile file(executable());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void offer(Release release, LoopbackServer::Answer payload) {
        release.file = server.url("/payload").toString();
        server.serve("/appcast.xml", {200, appcast({release})});
        server.serve("/payload", std::move(payload));
    }
    UpdateController& makeController(std::function<bool(const QString&)> relaunch = {}) {
        FeedUpdater::Setup s = setup();
        s.publicEDKey = publicKey;
        FeedUpdater::Services with = services(scheduler);
        if (relaunch) {
            with.relaunch = std::move(relaunch);
        }
        QProcessEnvironment variables;
        variables.insert(QString(UpdateEnvironment::testFeedVariable),
                         server.url("/appcast.xml").toString());
        const Bundle bundle({{"CFBundleShortVersionString", "1.4"}, {"CFBundleVersion", "140"}},
                            {});
        controller = std::make_unique<UpdateController>(
            UpdateController::Services{{bundle, executable(), variables}, scheduler, wall, events},
            UpdateController::Host{FeedUpdater::factory(s, with), {}, {}});
        return *controller;
    }
    // Runs the user's check until the program quits or the cycle is reported as failed.
    void checkNow(std::function<bool(const QString&)> relaunch = {}) {
        makeController(std::move(relaunch)).checkNow();
        ASSERT_TRUE(
            runUntil([&] { return terminations > 0 || events.count("update-check-failed") > 0; }));
    }
};

TEST_F(SelfUpdateTest, AGoodUpdateReplacesTheProgramAndStartsItOnceThisOneHasEnded) {
    QProcess running;
    running.start("cat", {});
    ASSERT_TRUE(running.waitForStarted());
    offer({"150", "1.5", std::nullopt, {}, newProgram.size(), key.sign(newProgram)},
          {200, newProgram});
    checkNow(
        [&running](const QString& path) { return relaunchAfterExit(path, running.processId()); });

    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(installed(), newProgram);
    EXPECT_TRUE(QFileInfo(executable()).isExecutable());
    EXPECT_EQ(dialogs.log, (QStringList{"checking", "found v1.5 over v1.4", "downloading",
                                        "ready v1.5", "close"}));
    EXPECT_EQ(QDir(temp.file("Applications")).entryList(QDir::Files), QStringList{"pellucine"});

    // The new program starts only once the old process has ended.
    QFileSystemWatcher watcher({temp.file("Applications")});
    EXPECT_FALSE(QFile::exists(executable() + ".ran"));
    running.closeWriteChannel();
    ASSERT_TRUE(running.waitForFinished());
    ASSERT_TRUE(runUntil([&] { return QFile::exists(executable() + ".ran"); }));
    QFile ran(executable() + ".ran");
    ASSERT_TRUE(ran.open(QIODevice::ReadOnly));
    EXPECT_EQ(ran.readAll(), "new\n");
}

TEST_F(SelfUpdateTest, BadDownloadsInstallNothing) {
    const QByteArray otherSignature = key.sign("something else").toUtf8();
    struct Case {
        const char* what;
        qint64 declared;
        QString signature;
        LoopbackServer::Answer payload;
        int code;
    };
    const qint64 size = newProgram.size();
    const Case cases[] = {
        {"bad signature", size, otherSignature, {200, newProgram}, 3001},
        {"wrong length", size + 1, key.sign(newProgram), {200, newProgram}, 2001},
        {"longer than declared", size - 1, key.sign(newProgram), {200, newProgram}, 2001},
        {"truncated", size, key.sign(newProgram), {200, newProgram.left(10), size}, 2001},
        {"missing", size, key.sign(newProgram), {404, "gone"}, 2001},
        {"unsigned", size, QString(), {200, newProgram}, 3002},
    };
    for (const Case& c : cases) {
        events.clear();
        dialogs.log.clear();
        offer({"150", "1.5", std::nullopt, {}, c.declared, c.signature}, c.payload);
        checkNow();
        EXPECT_EQ(installed(), oldProgram) << c.what;
        EXPECT_EQ(terminations, 0) << c.what;
        EXPECT_TRUE(relaunched.isEmpty()) << c.what;
        EXPECT_EQ(events.last("update-check-failed")->fields.value("errorCode"),
                  QString::number(c.code))
            << c.what;
        EXPECT_TRUE(dialogs.log.last().startsWith("error: ")) << c.what;
        EXPECT_EQ(controller->note().value(), UpdateController::failureMessage(c.code)) << c.what;
        EXPECT_EQ(QDir(temp.file("Applications")).entryList(QDir::Files), QStringList{"pellucine"});
    }
}

TEST_F(SelfUpdateTest, AServerThatNeverAnswersSaysSoAndKeepsTheLastAnsweredCheck) {
    transferTimeout = std::chrono::milliseconds(300);
    server.serve("/appcast.xml", {200, appcast({{"140", "1.4"}})});
    UpdateController& updates = makeController();
    updates.checkNow();
    ASSERT_TRUE(runUntil([&] { return events.count("update-none") > 0; }));
    const QDateTime answered = wall.now();

    wall.set(answered.addSecs(3600));
    server.serve("/appcast.xml", {200, {}, std::nullopt, false});
    updates.checkNow();
    ASSERT_TRUE(runUntil([&] { return events.count("update-check-failed") > 0; }));
    EXPECT_EQ(events.last("update-check-failed")->fields.value("errorCode"), "1002");
    EXPECT_EQ(dialogs.log.last(), "error: The update server didn’t answer. Try again later.");
    EXPECT_TRUE(updates.failed().value());
    EXPECT_EQ(updates.lastChecked().value(), answered);
    EXPECT_EQ(engine(scheduler)->lastUpdateCheckDate(), answered);

    // A download that never answers is a failed download, not a cancel.
    events.clear();
    offer({"150", "1.5", std::nullopt, {}, newProgram.size(), key.sign(newProgram)},
          {200, {}, std::nullopt, false});
    checkNow();
    EXPECT_EQ(events.last("update-check-failed")->fields.value("errorCode"), "2001");
    EXPECT_EQ(dialogs.log.last(),
              "error: The update couldn’t be downloaded: the server didn’t answer.");
    EXPECT_EQ(installed(), oldProgram);
}

TEST_F(SelfUpdateTest, WithoutAKeyOrConsentNothingIsDownloaded) {
    offer({"150", "1.5", std::nullopt, {}, newProgram.size(), key.sign(newProgram)},
          {200, newProgram});
    publicKey.reset();
    checkNow();
    EXPECT_EQ(events.last("update-check-failed")->fields.value("errorCode"), "3002");

    publicKey = key.publicBase64();
    dialogs.install = false;
    events.clear();
    // "Later" ends the cycle as cancelled: no note and no failure event.
    makeController().checkNow();
    bool noted = false;
    const Subscription subscription =
        controller->note().subscribe([&](const std::optional<QString>&) { noted = true; });
    ASSERT_TRUE(runUntil([&] { return noted; }));
    EXPECT_EQ(dialogs.log.last(), QString("close"));
    EXPECT_FALSE(server.requests().contains("/payload"));
    EXPECT_EQ(installed(), oldProgram);
    EXPECT_EQ(events.count("update-check-failed"), 0);
    EXPECT_FALSE(controller->note().value());
}

}  // namespace
}  // namespace pellucine
