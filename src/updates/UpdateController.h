#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/Clock.h"
#include "base/EventRecording.h"
#include "base/Observable.h"
#include "base/Scheduler.h"
#include "base/SubscriptionBag.h"
#include "platform/Updater.h"
#include "platform/UpdaterDelegate.h"
#include "preferences/MachinePreferences.h"
#include "preferences/UpdateChannel.h"
#include "updates/UpdateAvailability.h"
#include "updates/UpdateEnvironment.h"

namespace pellucine {

class QtScheduler;

// Checks the update feed and installs updates through the updater. The application model makes
// exactly one while it is created and keeps it for the life of the process. Creating it starts
// nothing: no check, no timer, no network request and no updater yet; the updater is created
// on first need and kept. Its answers to the updater take effect on the scheduler's next turn,
// in the order they came. Main thread.
class UpdateController final : public QObject, public UpdaterDelegate {
    Q_OBJECT

  public:
    static constexpr double watchdogSeconds = 45.0;
    static constexpr double checkIntervalSeconds = 86400.0;
    static constexpr QLatin1String noFeedNote{"This build carries no update feed."};

    struct Services {
        UpdateEnvironment environment;
        Scheduler& scheduler;
        const WallClock& clock;
        EventRecording& events;
    };

    // What the program around the controller provides; each part may be left empty.
    struct Host {
        // Creates the updater; without it no updater is ever created.
        UpdaterFactory startUpdater;
        // Brings the program to the front.
        std::function<void()> activateApplication;
        // Called just before the updater relaunches the program.
        std::function<void()> rememberOpenSettings;
    };

    // The process's own environment, clock and event log, with a scheduler of its own and no
    // host until `setHost`.
    explicit UpdateController(QObject* parent = nullptr);
    UpdateController(Services services, Host host, QObject* parent = nullptr);
    ~UpdateController() override;

    // Takes effect for an updater created from now on.
    void setHost(Host host);

    // Published state.
    // Why a check was impossible or failed; none after a clean answer.
    Observable<std::optional<QString>>& note() { return note_; }
    const Observable<std::optional<QString>>& note() const { return note_; }
    // A silent probe is under way.
    Observable<bool>& checking() { return checking_; }
    const Observable<bool>& checking() const { return checking_; }
    // When the last check ended with an answer; never cleared.
    Observable<std::optional<QDateTime>>& lastChecked() { return lastChecked_; }
    const Observable<std::optional<QDateTime>>& lastChecked() const { return lastChecked_; }
    // The server did not answer the last check, or a probe had no answer in time while
    // nothing was known.
    Observable<bool>& failed() { return failed_; }
    const Observable<bool>& failed() const { return failed_; }
    Observable<UpdateAvailability>& availability() { return availability_; }
    const Observable<UpdateAvailability>& availability() const { return availability_; }

    // Always stable: the stored preference's channel is not used.
    UpdateChannel channel() const { return channel_; }
    // The record last given to `apply`.
    const MachinePreferences& preferences() const { return preferences_; }
    bool hasUpdater() const { return driverController_ != nullptr; }
    // How many probes have started.
    int checkGeneration() const { return checkGeneration_; }

    // Stores the record and configures the updater from it: automatic daily checks as the
    // record says, no automatic downloads. Creates the updater only when this copy can update
    // itself.
    void apply(const MachinePreferences& preferences);
    // Applies the record again whenever its automatic-check switch changes, from any source,
    // until the controller is gone.
    void follow(Observable<MachinePreferences>& preferences);
    // The user's check in the updater's own window, through to installing.
    void checkNow();
    // A silent look at the feed whose answer shows only in the program's own surfaces.
    void checkInBackground();

    bool canUpdateItself() const { return services_.environment.canUpdateItself(); }
    UpdateSource updateSource() const { return services_.environment.updateSource(); }
    bool wantsTestInstall() const { return services_.environment.wantsTestInstall(); }
    std::optional<QString> testFeed() const { return services_.environment.testFeed(); }
    QString currentVersion() const { return services_.environment.currentVersion(); }

    // The one-sentence message for an updater error code; none for a cancelled install.
    static std::optional<QString> failureMessage(int code);

    // UpdaterDelegate.
    QSet<QString> allowedChannels() override;
    std::optional<QString> feedURLString() override;
    std::optional<AppcastItem> bestValidUpdate(const Appcast& appcast) override;
    void didFindValidUpdate(const AppcastItem& item) override;
    void didNotFindUpdate() override;
    void didFinishUpdateCycle(UpdateCheck check, const std::optional<UpdaterError>& error) override;
    void willRelaunchApplication() override;
    bool mayInstallUpdates() override { return canUpdateItself(); }
    bool supportsGentleScheduledUpdateReminders() override { return true; }
    bool shouldHandleShowingScheduledUpdate(const AppcastItem&, bool) override { return false; }
    VersionDisplay& versionDisplayer() override;
    void willShowModalAlert() override;

  private:
    UpdateController(std::unique_ptr<QtScheduler> scheduler, QObject* parent);

    Updater* updater();
    void configure(Updater& updater) const;
    // Runs `work` on the scheduler's next turn while the controller exists.
    void later(std::function<void()> work);
    void finishCycle(std::optional<UpdaterError> error);

    std::unique_ptr<QtScheduler> ownScheduler_;
    Services services_;
    Host host_;

    Observable<std::optional<QString>> note_;
    Observable<bool> checking_{false};
    Observable<std::optional<QDateTime>> lastChecked_;
    Observable<bool> failed_{false};
    Observable<UpdateAvailability> availability_;
    std::unique_ptr<Updater> driverController_;
    UpdateChannel channel_ = UpdateChannel::stable;
    MachinePreferences preferences_;
    int checkGeneration_ = 0;
    ScopedWork watchdog_;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
