#include "platform/sim/SimulatedSession.h"

#include "base/Sleep.h"

namespace pellucine {

bool SimulatedSession::open(const QUrl& url) {
    urls_ << url;
    return !refusesUrls_;
}

QCoro::Task<void> SimulatedSession::openNewInstance() {
    ++attempts_;
    const std::optional<QString> failure = launchFailure_;
    co_await Sleep(scheduler_, Duration::zero());
    if (failure) {
        throw ApplicationLaunchError(*failure);
    }
    ++newInstances_;
}

}  // namespace pellucine
