#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

#include "base/ManualScheduler.h"
#include "platform/sim/SimulatedCloud.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "preferences/PreferenceCodingError.h"
#include "support/QtPrinters.h"
#include "support/TaskOutcome.h"

namespace pellucine {
namespace {

using testing::follow;

const QString name = QStringLiteral("portable-preferences-v1");

QDateTime utc(int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(2026, 3, 14), QTime(h, mi, s, ms), Qt::UTC);
}

PortablePreferences preferencesAt(const QDateTime& modifiedAt, double width = 600.0) {
    PortablePreferences p = PortablePreferences::makeDefault(modifiedAt);
    p.previewWidth = width;
    return p;
}

CloudRecord recordWithPayload(const QByteArray& payload) {
    return CloudRecord{
        QStringLiteral("PortablePreferences"), name, {{QStringLiteral("payload"), payload}}, {}};
}

QByteArray payloadOf(const PortablePreferences& p) {
    return QJsonDocument(p.toJson()).toJson(QJsonDocument::Compact);
}

PortablePreferences decodedPayload(const CloudRecord& record) {
    return PortablePreferences::fromJsonData(std::get<QByteArray>(*record.field("payload")));
}

class CloudPreferenceSyncTest : public ::testing::Test {
  protected:
    // The bundle's information: the sync flag and, when given, the container identifier.
    static Bundle bundle(QVariant configured, std::optional<QVariant> container = std::nullopt) {
        QVariantMap info{{QStringLiteral("DockCloudSyncConfigured"), configured}};
        if (container) {
            info.insert(QStringLiteral("DockCloudContainerIdentifier"), *container);
        }
        return Bundle(info, QString());
    }
    std::unique_ptr<CloudPreferenceSync> makeSync(
        const Bundle& info = bundle(true), std::shared_ptr<CloudRecordStore> container = nullptr,
        std::optional<bool> configured = std::nullopt) {
        return std::make_unique<CloudPreferenceSync>(cloud, scheduler, info, std::move(container),
                                                     configured);
    }
    SimulatedCloudStore& store() { return cloud.store(); }

    template <typename T>
    std::shared_ptr<testing::TaskOutcome<T>> run(QCoro::Task<T> task) {
        auto outcome = follow(std::move(task));
        scheduler.runUntilIdle();
        return outcome;
    }

    ManualScheduler scheduler;
    SimulatedCloud cloud{scheduler};
};

TEST_F(CloudPreferenceSyncTest, WithoutTheBundleFlagNothingTouchesTheAccount) {
    for (const bool givenContainer : {false, true}) {
        auto sync = makeSync(bundle(QStringLiteral("on"), QStringLiteral("com.example.container")),
                             givenContainer ? cloud.container(QStringLiteral("given")) : nullptr);
        EXPECT_FALSE(sync->isConfigured());
        EXPECT_EQ(sync->container(), nullptr) << "a given container is dropped";

        const auto pushed = run(sync->push(preferencesAt(utc(9, 0, 0))));
        const auto pulled = run(sync->pull());
        for (const std::exception_ptr& error : {pushed->error, pulled->error}) {
            ASSERT_TRUE(error);
            try {
                std::rethrow_exception(error);
            } catch (const CloudSyncError& e) {
                EXPECT_EQ(e.errorCase(), CloudSyncError::Case::notConfigured);
                EXPECT_EQ(CloudPreferenceSync::userMessage(e),
                          QStringLiteral("This build doesn’t sync settings."));
            }
        }
    }
    EXPECT_EQ(cloud.containersHandedOut(), QStringList{QStringLiteral("given")});
    EXPECT_TRUE(cloud.store(QStringLiteral("given")).operations().isEmpty());
}

TEST_F(CloudPreferenceSyncTest, TheContainerIsTheGivenOneThenTheBundlesThenTheDefault) {
    auto given = cloud.container(QStringLiteral("given"));
    auto sync = makeSync(bundle(false, QStringLiteral("from-bundle")), given, true);
    EXPECT_EQ(sync->container(), given) << "the flag given overrides the bundle's";
    EXPECT_TRUE(
        makeSync(bundle(QStringLiteral("yes"), QStringLiteral("from-bundle")))->isConfigured());
    // An empty identifier, one left as an unexpanded build setting, or one of another type
    // names no container.
    makeSync(bundle(1, QString()));
    makeSync(bundle(true, QStringLiteral("$(CLOUD_CONTAINER)")));
    makeSync(bundle(true, 42));
    makeSync(bundle(true));
    const QString fallback = SimulatedCloud::defaultIdentifier;
    EXPECT_EQ(cloud.containersHandedOut(),
              (QStringList{QStringLiteral("given"), QStringLiteral("from-bundle"), fallback,
                           fallback, fallback, fallback}));
}

TEST_F(CloudPreferenceSyncTest, AFirstPushCreatesTheRecordAndAnUpdateKeepsItsOtherFields) {
    auto sync = makeSync();
    const PortablePreferences first = preferencesAt(utc(9, 0, 0), 500);
    ASSERT_TRUE(run(sync->push(first))->succeeded());
    auto stored = store().storedRecord(name);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->recordType, QStringLiteral("PortablePreferences"));
    EXPECT_EQ(std::get<QByteArray>(*stored->field("payload")), payloadOf(first));
    EXPECT_FALSE(payloadOf(first).contains('\n')) << "the payload is compact";
    EXPECT_EQ(std::get<QDateTime>(*stored->field("modifiedAt")), first.modifiedAt);

    // Another device added a field; an update fetches the record and keeps it.
    stored->fields.insert(QStringLiteral("note"), QStringLiteral("kept"));
    store().putRecord(*stored);
    const PortablePreferences second = preferencesAt(utc(9, 5, 0), 700);
    ASSERT_TRUE(run(sync->push(second))->succeeded());
    stored = store().storedRecord(name);
    EXPECT_EQ(decodedPayload(*stored), second);
    EXPECT_EQ(std::get<QString>(*stored->field("note")), QStringLiteral("kept"));
    EXPECT_EQ(store().operations(),
              (QStringList{"fetch " + name, "save " + name, "fetch " + name, "save " + name}));
}

TEST_F(CloudPreferenceSyncTest, AFailedFetchStartsAFreshRecordAndOnlyTheSaveErrorReachesTheCaller) {
    auto sync = makeSync();
    // Offline: the fetch fails, the fresh record's save fails too and that error is thrown.
    store().failNextFetch(CloudErrorCode::networkFailure);
    store().failNextSave(CloudErrorCode::networkUnavailable);
    const auto offline = run(sync->push(preferencesAt(utc(9, 0, 0))));
    const auto error = offline->errorAs<CloudStoreError>();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), CloudErrorCode::networkUnavailable);
    EXPECT_EQ(CloudPreferenceSync::userMessage(*error),
              QStringLiteral("The sync folder didn’t answer. Your change is saved here and will "
                             "sync on the next one."));

    // A fetch that fails for no reason of the record's own: the fresh record still lands when
    // the store has none.
    store().failNextFetch(CloudErrorCode::serviceUnavailable);
    EXPECT_TRUE(run(sync->push(preferencesAt(utc(9, 1, 0))))->succeeded());
    EXPECT_EQ(decodedPayload(*store().storedRecord(name)).modifiedAt, utc(9, 1, 0));
}

TEST_F(CloudPreferenceSyncTest, ARecordThatCannotBeEncodedIsNeverSaved) {
    auto sync = makeSync();
    PortablePreferences broken = preferencesAt(utc(9, 0, 0));
    broken.previewWidth = std::numeric_limits<double>::quiet_NaN();
    const auto outcome = run(sync->push(broken));
    EXPECT_TRUE(outcome->errorAs<PreferenceEncodingError>());
    EXPECT_FALSE(store().storedRecord(name));
    EXPECT_EQ(store().operations(), QStringList{"fetch " + name});
}

TEST_F(CloudPreferenceSyncTest, PullTellsAMissingRecordFromAFailureAndAnUnreadablePayload) {
    auto sync = makeSync();
    auto outcome = run(sync->pull());
    ASSERT_TRUE(outcome->succeeded());
    EXPECT_EQ(*outcome->value, std::nullopt) << "no record yet is not an error";

    store().failNextFetch(CloudErrorCode::networkFailure);
    EXPECT_EQ(run(sync->pull())->errorAs<CloudStoreError>()->code(),
              CloudErrorCode::networkFailure);

    CloudRecord withoutPayload = recordWithPayload({});
    withoutPayload.fields.clear();
    CloudRecord textPayload = withoutPayload;
    textPayload.fields.insert(QStringLiteral("payload"), QStringLiteral("{}"));
    for (const CloudRecord& record : {withoutPayload, textPayload}) {
        store().putRecord(record);
        const auto error = run(sync->pull())->errorAs<CloudSyncError>();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->errorCase(), CloudSyncError::Case::missingPayload);
        EXPECT_EQ(CloudPreferenceSync::userMessage(*error),
                  QStringLiteral("We couldn’t read the settings in the sync folder."));
    }

    store().putRecord(recordWithPayload("not json"));
    EXPECT_TRUE(run(sync->pull())->errorAs<PreferenceDecodingError>());
}

TEST_F(CloudPreferenceSyncTest, PullDecodesThePayloadItsOwnWay) {
    auto sync = makeSync();
    // The payload's date counts, not the record's field; absent members take the decoding
    // values and the record is normalised.
    CloudRecord record = recordWithPayload(R"({"version":12,"previewWidth":1200})");
    record.fields.insert(QStringLiteral("modifiedAt"), utc(12, 0, 0));
    store().putRecord(record);
    const auto outcome = run(sync->pull());
    ASSERT_TRUE(outcome->succeeded());
    const PortablePreferences pulled = **outcome->value;
    EXPECT_EQ(pulled.modifiedAt, distantPast());
    EXPECT_EQ(pulled.previewWidth, 800.0);
    EXPECT_EQ(pulled.shortcutKeyCode, 48);
}

// The transport never decides between copies: whatever the dates, a push replaces the stored
// copy and a pull hands back the stored one with its own date, to the millisecond.
TEST_F(CloudPreferenceSyncTest, PushAndPullCarryLaterEqualAndEarlierDatesUnchanged) {
    auto sync = makeSync();
    const QDateTime local = utc(10, 0, 0);
    for (const int offset : {60, 0, -60}) {
        SCOPED_TRACE(offset);
        const PortablePreferences stored = preferencesAt(local.addSecs(offset), 400);
        store().putRecord(recordWithPayload(payloadOf(stored)));

        const auto pulled = run(sync->pull());
        ASSERT_TRUE(pulled->succeeded());
        EXPECT_EQ(**pulled->value, stored);

        const PortablePreferences mine = preferencesAt(local, 700);
        ASSERT_TRUE(run(sync->push(mine))->succeeded());
        EXPECT_EQ(decodedPayload(*store().storedRecord(name)), mine);
    }

    const PortablePreferences precise = preferencesAt(utc(10, 0, 0, 750));
    ASSERT_TRUE(run(sync->push(precise))->succeeded());
    EXPECT_EQ((**run(sync->pull())->value).modifiedAt, utc(10, 0, 0, 750))
        << "a pulled copy is never later or earlier than the local one it came from";
}

TEST_F(CloudPreferenceSyncTest, OverlappingPushesLandInTheOrderTheyWereAskedFor) {
    auto sync = makeSync();
    store().putRecord(recordWithPayload(payloadOf(preferencesAt(utc(8, 0, 0)))));
    // The older push's fetch is slow; left alone, the newer one would save first and the older
    // one would then overwrite it.
    store().queueLatencies({seconds(5), seconds(1), seconds(1), seconds(1)});
    const PortablePreferences older = preferencesAt(utc(9, 0, 0), 500);
    const PortablePreferences newer = preferencesAt(utc(9, 0, 1), 700);
    const auto first = follow(sync->push(older));
    const auto second = follow(sync->push(newer));
    scheduler.runUntilIdle();
    EXPECT_EQ(store().operations(), QStringList{"fetch " + name})
        << "the newer push waits for the older one";
    scheduler.advance(10.0);
    ASSERT_TRUE(first->succeeded());
    ASSERT_TRUE(second->succeeded());
    ASSERT_EQ(store().savedRecords().size(), 2);
    EXPECT_EQ(decodedPayload(store().savedRecords()[0]), older);
    EXPECT_EQ(decodedPayload(*store().storedRecord(name)), newer);
}

TEST_F(CloudPreferenceSyncTest, AFailedPushDoesNotHoldUpTheNextAndADeadServiceStartsNone) {
    auto sync = makeSync();
    store().failNextFetch(CloudErrorCode::networkFailure);
    store().failNextSave(CloudErrorCode::quotaExceeded);
    const auto failed = follow(sync->push(preferencesAt(utc(9, 0, 0))));
    const auto next = follow(sync->push(preferencesAt(utc(9, 0, 1))));
    scheduler.runUntilIdle();
    EXPECT_EQ(failed->errorAs<CloudStoreError>()->code(), CloudErrorCode::quotaExceeded);
    EXPECT_TRUE(next->succeeded());

    const auto running = follow(sync->push(preferencesAt(utc(9, 0, 2))));
    const auto waiting = follow(sync->push(preferencesAt(utc(9, 0, 3))));
    sync.reset();
    scheduler.runUntilIdle();
    EXPECT_TRUE(running->errorAs<CancellationError>()) << "neither had started";
    EXPECT_TRUE(waiting->errorAs<CancellationError>());
    EXPECT_EQ(decodedPayload(*store().storedRecord(name)).modifiedAt, utc(9, 0, 1));
}

TEST_F(CloudPreferenceSyncTest, APushUnderWayFinishesAfterItsServiceIsGone) {
    auto sync = makeSync();
    store().setLatency(seconds(1));
    const auto underWay = follow(sync->push(preferencesAt(utc(9, 0, 0))));
    scheduler.runUntilIdle();
    ASSERT_EQ(store().operations(), QStringList{"fetch " + name});
    sync.reset();
    scheduler.advance(5.0);
    EXPECT_TRUE(underWay->succeeded());
    EXPECT_EQ(decodedPayload(*store().storedRecord(name)).modifiedAt, utc(9, 0, 0));
}

TEST(CloudPreferenceSyncMessages, EveryStoreCodeAndOtherErrorHasItsText) {
    const QString noAnswer = QStringLiteral(
        "The sync folder didn’t answer. Your change is saved here and will sync on the next one.");
    const std::pair<CloudErrorCode, QString> table[] = {
        {CloudErrorCode::quotaExceeded,
         QStringLiteral("The disk holding the sync folder is full, so settings can’t sync. Your "
                        "change is saved here.")},
        {CloudErrorCode::accountTemporarilyUnavailable,
         QStringLiteral("Sync folder not found. Your change is saved here and will sync once the "
                        "folder is back.")},
        {CloudErrorCode::notAuthenticated,
         QStringLiteral("Choose a sync folder to sync settings.")},
        {CloudErrorCode::permissionFailure,
         QStringLiteral("Can't write to the sync folder. Your change is saved here.")},
        {CloudErrorCode::networkUnavailable, noAnswer},
        {CloudErrorCode::networkFailure, noAnswer},
        {CloudErrorCode::serviceUnavailable, noAnswer},
        {CloudErrorCode::requestRateLimited, noAnswer},
        {CloudErrorCode::zoneBusy, noAnswer},
        {CloudErrorCode::badContainer,
         QStringLiteral("The settings folder inside the sync folder is a link or not a folder, so "
                        "settings can’t sync. Your change is saved here.")},
        {CloudErrorCode::serverRejectedRequest,
         QStringLiteral("Settings sync failed (15). Your change is saved here.")},
        {CloudErrorCode::unknownItem,
         QStringLiteral("Settings sync failed (11). Your change is saved here.")},
        {CloudErrorCode::serverRecordChanged,
         QStringLiteral("Settings sync failed (14). Your change is saved here.")},
        {CloudErrorCode::internalError,
         QStringLiteral("Settings sync failed (1). Your change is saved here.")},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(CloudPreferenceSync::userMessage(CloudStoreError(code, QStringLiteral("x"))),
                  text)
            << int(code);
    }
    EXPECT_EQ(CloudPreferenceSync::userMessage(PreferenceDecodingError(QStringLiteral("bad"))),
              QStringLiteral("bad"));
    EXPECT_EQ(CloudPreferenceSync::userMessage(std::runtime_error("plain")),
              QStringLiteral("plain"));
}

TEST(CloudPreferenceSyncSettings, TheSyncFolderIsChosenOnlyByNonBlankText) {
    InMemoryKeyValueStore defaults;
    EXPECT_EQ(CloudPreferenceSync::chosenSyncFolder(defaults), std::nullopt);
    defaults.setValue(CloudPreferenceSync::syncFolderKey, QStringLiteral("  "));
    EXPECT_EQ(CloudPreferenceSync::chosenSyncFolder(defaults), std::nullopt);
    defaults.setValue(CloudPreferenceSync::syncFolderKey, QStringLiteral(" /home/u/Sync "));
    EXPECT_EQ(CloudPreferenceSync::chosenSyncFolder(defaults), QStringLiteral("/home/u/Sync"));
}

}  // namespace
}  // namespace pellucine
