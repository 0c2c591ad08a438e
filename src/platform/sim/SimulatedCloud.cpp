#include "platform/sim/SimulatedCloud.h"

namespace pellucine {

std::shared_ptr<SimulatedCloudStore> SimulatedCloud::storeFor(const QString& identifier) {
    auto& slot = stores_[identifier];
    if (!slot) {
        slot = std::make_shared<SimulatedCloudStore>(scheduler_);
    }
    return slot;
}

std::shared_ptr<CloudRecordStore> SimulatedCloud::defaultContainer() {
    return container(defaultIdentifier);
}

std::shared_ptr<CloudRecordStore> SimulatedCloud::container(const QString& identifier) {
    handedOut_ << identifier;
    return storeFor(identifier);
}

SimulatedCloudStore& SimulatedCloud::store(const QString& identifier) {
    return *storeFor(identifier);
}

}  // namespace pellucine
