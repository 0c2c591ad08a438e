#include "platform/sim/SimulatedLoginItems.h"

namespace pellucine {

LoginItemStatus SimulatedLoginItems::status() const {
    ++statusReads_;
    return status_;
}

void SimulatedLoginItems::attempt(const QString& request) {
    requests_ << request;
    if (failure_) {
        throw LoginItemError(*failure_);
    }
}

void SimulatedLoginItems::registerMainApplication() {
    attempt(QStringLiteral("register"));
    status_ = afterRegistering_;
}

void SimulatedLoginItems::unregisterMainApplication() {
    attempt(QStringLiteral("unregister"));
    status_ = LoginItemStatus::notRegistered;
}

}  // namespace pellucine
