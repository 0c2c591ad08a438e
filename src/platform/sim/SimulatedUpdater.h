#pragma once

#include <QDateTime>
#include <optional>

#include "platform/Updater.h"

namespace pellucine {

// An updater that only records what it is asked; tests answer through its delegate.
class SimulatedUpdater final : public Updater {
  public:
    explicit SimulatedUpdater(UpdaterDelegate& delegate) : delegate_(delegate) {}

    bool automaticallyChecksForUpdates() const override { return automatic_; }
    void setAutomaticallyChecksForUpdates(bool on) override { automatic_ = on; }
    bool automaticallyDownloadsUpdates() const override { return automaticDownloads_; }
    void setAutomaticallyDownloadsUpdates(bool on) override { automaticDownloads_ = on; }
    Duration updateCheckInterval() const override { return interval_; }
    void setUpdateCheckInterval(Duration interval) override { interval_ = interval; }
    std::optional<QDateTime> lastUpdateCheckDate() const override { return lastCheck_; }
    bool canCheckForUpdates() const override { return canCheck_; }
    bool sessionInProgress() const override { return inSession_; }
    void checkForUpdates() override { ++userChecks_; }
    void checkForUpdateInformation() override { ++probes_; }

    // Driver.
    UpdaterDelegate& delegate() { return delegate_; }
    void setLastUpdateCheckDate(std::optional<QDateTime> date) { lastCheck_ = std::move(date); }
    void setCanCheckForUpdates(bool can) { canCheck_ = can; }
    void setSessionInProgress(bool running) { inSession_ = running; }
    int userChecks() const { return userChecks_; }
    int probes() const { return probes_; }

  private:
    UpdaterDelegate& delegate_;
    bool automatic_ = false;
    bool automaticDownloads_ = true;
    Duration interval_{0};
    std::optional<QDateTime> lastCheck_;
    bool canCheck_ = true;
    bool inSession_ = false;
    int userChecks_ = 0;
    int probes_ = 0;
};

// Makes simulated updaters and keeps track of them.
class SimulatedUpdaterFactory {
  public:
    // Each updater it makes starts with `lastUpdateCheckDate()` of this factory.
    UpdaterFactory factory() {
        return [this](UpdaterDelegate& delegate) {
            auto updater = std::make_unique<SimulatedUpdater>(delegate);
            updater->setLastUpdateCheckDate(lastCheck_);
            last_ = updater.get();
            ++created_;
            return std::unique_ptr<Updater>(std::move(updater));
        };
    }
    void setLastUpdateCheckDate(std::optional<QDateTime> date) { lastCheck_ = std::move(date); }
    // The one made last, while its owner keeps it; null before the first.
    SimulatedUpdater* updater() const { return last_; }
    int createdCount() const { return created_; }

  private:
    std::optional<QDateTime> lastCheck_;
    SimulatedUpdater* last_ = nullptr;
    int created_ = 0;
};

}  // namespace pellucine
