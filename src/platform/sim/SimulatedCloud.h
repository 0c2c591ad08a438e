#pragma once

#include <QMap>
#include <QStringList>
#include <memory>

#include "platform/CloudAccount.h"
#include "platform/sim/SimulatedCloudStore.h"

namespace pellucine {

// The cloud account of the simulated desktop: one simulated store per container identifier.
class SimulatedCloud final : public CloudAccount {
  public:
    // The name the default container is logged and reached under.
    static constexpr QLatin1String defaultIdentifier{"(default)"};

    explicit SimulatedCloud(Scheduler& scheduler) : scheduler_(scheduler) {}

    std::shared_ptr<CloudRecordStore> defaultContainer() override;
    std::shared_ptr<CloudRecordStore> container(const QString& identifier) override;

    // Driver: a container's store, made on first use without counting as handed out.
    SimulatedCloudStore& store(const QString& identifier = defaultIdentifier);
    // The identifiers of the containers handed out, in order.
    const QStringList& containersHandedOut() const { return handedOut_; }

  private:
    std::shared_ptr<SimulatedCloudStore> storeFor(const QString& identifier);

    Scheduler& scheduler_;
    QMap<QString, std::shared_ptr<SimulatedCloudStore>> stores_;
    QStringList handedOut_;
};

}  // namespace pellucine
