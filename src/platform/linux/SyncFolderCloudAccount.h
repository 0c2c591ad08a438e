#pragma once

#include <optional>

#include "platform/CloudAccount.h"
#include "platform/linux/SyncFolderRecordStore.h"

namespace pellucine {

// The cloud account on Linux: a folder the user keeps in sync between machines with a tool of
// their own, each container a folder inside it.
class SyncFolderCloudAccount final : public CloudAccount {
  public:
    static constexpr QLatin1String defaultContainerName{"pellucine"};

    // `syncFolder` tells the folder the user chose at each operation; while it gives none,
    // every operation fails as an account the user is not signed in to.
    SyncFolderCloudAccount(SyncFolderRecordStore::FolderSource syncFolder,
                           BackgroundExecutor& executor)
        : syncFolder_(std::move(syncFolder)), executor_(executor) {}
    // Always the same folder, or none.
    SyncFolderCloudAccount(std::optional<QString> syncFolder, BackgroundExecutor& executor)
        : SyncFolderCloudAccount([syncFolder] { return syncFolder; }, executor) {}

    std::shared_ptr<CloudRecordStore> defaultContainer() override {
        return container(defaultContainerName);
    }
    std::shared_ptr<CloudRecordStore> container(const QString& identifier) override {
        return std::make_shared<SyncFolderRecordStore>(syncFolder_, identifier, executor_);
    }

  private:
    SyncFolderRecordStore::FolderSource syncFolder_;
    BackgroundExecutor& executor_;
};

}  // namespace pellucine
