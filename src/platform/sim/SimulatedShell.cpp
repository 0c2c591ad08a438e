#include "platform/sim/SimulatedShell.h"

#include "base/Sleep.h"

namespace pellucine {

bool SimulatedShell::open(const QUrl& url) {
    urls_ << url;
    return !refusesUrls_;
}

QCoro::Task<void> SimulatedShell::openNewInstance() {
    ++attempts_;
    const std::optional<QString> failure = launchFailure_;
    co_await Sleep(scheduler_, Duration::zero());
    if (failure) {
        throw ApplicationLaunchError(*failure);
    }
    ++newInstances_;
}

}  // namespace pellucine
