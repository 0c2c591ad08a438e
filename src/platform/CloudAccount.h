#pragma once

#include <QString>
#include <memory>

#include "platform/CloudRecordStore.h"

namespace pellucine {

// The user's cloud account: one record store per container. Handing out a container touches
// nothing; its operations report an unusable account or container.
class CloudAccount {
  public:
    virtual ~CloudAccount() = default;

    virtual std::shared_ptr<CloudRecordStore> defaultContainer() = 0;
    virtual std::shared_ptr<CloudRecordStore> container(const QString& identifier) = 0;
};

}  // namespace pellucine
