#pragma once

#include <QObject>
#include <exception>
#include <memory>
#include <optional>

#include "base/Scheduler.h"
#include "base/SharedTask.h"
#include "core/Bundle.h"
#include "platform/CloudAccount.h"
#include "preferences/CloudSyncError.h"
#include "preferences/KeyValueStore.h"
#include "preferences/PreferenceSyncing.h"

namespace pellucine {

// Keeps one copy of the portable record in the user's cloud account, as the record
// "portable-preferences-v1" of type "PortablePreferences": the record's compact JSON in the
// bytes field "payload" and its modification date in "modifiedAt" (written, never read back:
// the date inside the payload counts). Builds whose bundle does not enable sync fail every
// operation with CloudSyncError::notConfigured and never touch the account.
//
// Pushes run one after another in the order they were asked for, so a push never overtakes an
// earlier one and an older record cannot land after a newer one. Each reads the stored record,
// compares, then writes; a record changed by someone else between the read and the write is
// read and compared again. Pulls run at once.
// Main thread.
class CloudPreferenceSync final : public QObject, public PreferenceSyncing {
    Q_OBJECT

  public:
    static constexpr QLatin1String recordType{"PortablePreferences"};
    static constexpr QLatin1String recordName{"portable-preferences-v1"};
    static constexpr QLatin1String payloadField{"payload"};
    static constexpr QLatin1String modifiedAtField{"modifiedAt"};
    // The user defaults key naming the folder the user keeps in sync between machines, where
    // the cloud account lives on Linux.
    static constexpr QLatin1String syncFolderKey{"cloudSyncFolder"};

    // The bundle's information keys: whether the build syncs, and the container to use.
    static constexpr QLatin1String configuredKey{"DockCloudSyncConfigured"};
    static constexpr QLatin1String containerIdentifierKey{"DockCloudContainerIdentifier"};

    // `configured` overrides the bundle's flag. A given container is used only when sync is
    // configured; else the container the bundle names, else the account's default one.
    CloudPreferenceSync(CloudAccount& account, Scheduler& scheduler,
                        const Bundle& bundle = Bundle::main(),
                        std::shared_ptr<CloudRecordStore> container = nullptr,
                        std::optional<bool> configured = std::nullopt);

    bool isConfigured() const override { return configured_; }
    // Fetches the stored record (a failed fetch starts a new one), compares it as
    // PreferenceSyncing says, puts the payload and date in, and saves it. Throws notConfigured,
    // the encoder's error and the save's error.
    QCoro::Task<std::optional<PortablePreferences>> push(PortablePreferences preferences,
                                                         StoredWins storedWins = {}) override;
    // None when the account holds no record yet. Throws notConfigured, missingPayload for a
    // record without a bytes payload, and the fetch's and the decoder's errors.
    QCoro::Task<std::optional<PortablePreferences>> pull() override;
    // The container's watch on the record; none when sync is not configured.
    Subscription watch(std::function<void()> onChange) override;

    // The text to show for a failed push or pull: a store failure by its code, anything else
    // by its own description.
    static QString userMessage(const std::exception& error);

    // The folder chosen under syncFolderKey: none when the key holds no text or only blanks.
    static std::optional<QString> chosenSyncFolder(const KeyValueStore& defaults);

    // The container in use; none when sync is not configured.
    const std::shared_ptr<CloudRecordStore>& container() const { return container_; }

  private:
    using PushResult = std::shared_ptr<std::optional<PortablePreferences>>;
    // How many times a push reads again after its write was refused for a change made meanwhile.
    static constexpr int pushAttempts = 3;

    // Waits for the push before it, then pushes; what was kept instead goes to `result`.
    QCoro::Task<void> pushInTurn(CancellationToken token, TaskHandle previous,
                                 PortablePreferences preferences, StoredWins storedWins,
                                 PushResult result);
    QCoro::Task<std::optional<PortablePreferences>> pushNow(PortablePreferences preferences,
                                                            StoredWins storedWins);

    Scheduler& scheduler_;
    bool configured_;
    std::shared_ptr<CloudRecordStore> container_;
    // The latest push asked for; the next one waits for it.
    TaskHandle lastPush_;
};

}  // namespace pellucine
