#pragma once

#include <QList>
#include <QUrl>
#include <optional>

#include "base/Scheduler.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/UrlOpener.h"

namespace pellucine {

// Links opened and the program's own process started and ended, in the simulated desktop.
class SimulatedSession final : public UrlOpener, public ApplicationLifecycle {
  public:
    explicit SimulatedSession(Scheduler& scheduler) : scheduler_(scheduler) {}

    // UrlOpener: every link is logged; opened unless refused.
    bool open(const QUrl& url) override;
    // ApplicationLifecycle: a new instance starts (or fails) one scheduler turn later.
    QCoro::Task<void> openNewInstance() override;
    void terminate() override { ++terminationRequests_; }

    // Driver.
    void setRefusesUrls(bool refuses) { refusesUrls_ = refuses; }
    // Later starts fail with this reason; none: they succeed.
    void failNewInstances(std::optional<QString> reason) { launchFailure_ = std::move(reason); }
    // Every link handed over, opened or not.
    const QList<QUrl>& openedUrls() const { return urls_; }
    int newInstancesStarted() const { return newInstances_; }
    int newInstanceAttempts() const { return attempts_; }
    int terminationRequests() const { return terminationRequests_; }

  private:
    Scheduler& scheduler_;
    bool refusesUrls_ = false;
    std::optional<QString> launchFailure_;
    QList<QUrl> urls_;
    int newInstances_ = 0;
    int attempts_ = 0;
    int terminationRequests_ = 0;
};

}  // namespace pellucine
