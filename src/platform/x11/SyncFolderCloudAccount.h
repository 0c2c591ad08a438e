#pragma once

#include <optional>

#include "platform/CloudAccount.h"
#include "platform/x11/SyncFolderRecordStore.h"

namespace pellucine {

// The cloud account on Linux: a folder the user keeps in sync between machines with a tool of
// their own, each container a folder inside it.
class SyncFolderCloudAccount final : public CloudAccount {
  public:
    static constexpr QLatin1String defaultContainerName{"pellucine"};

    // `syncFolder`: the folder the user chose; none when they chose none, and then every
    // operation fails as an account the user is not signed in to.
    SyncFolderCloudAccount(std::optional<QString> syncFolder, BackgroundExecutor& executor)
        : syncFolder_(std::move(syncFolder)), executor_(executor) {}

    std::shared_ptr<CloudRecordStore> defaultContainer() override {
        return container(defaultContainerName);
    }
    std::shared_ptr<CloudRecordStore> container(const QString& identifier) override {
        return std::make_shared<SyncFolderRecordStore>(syncFolder_, identifier, executor_);
    }

  private:
    std::optional<QString> syncFolder_;
    BackgroundExecutor& executor_;
};

}  // namespace pellucine
