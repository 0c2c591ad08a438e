#include "app/AppEnvironment.h"

#include "coordination/AppModel.h"
#include "platform/Desktop.h"
#include "preferences/LegacyDefaultsMigration.h"

namespace pellucine {

namespace {

AppEnvironment*& sharedEnvironment() {
    static AppEnvironment* environment = nullptr;
    return environment;
}

bool migrate(KeyValueStore& defaults, const AppPaths& paths) {
    migrateLegacyDefaults(defaults, paths);
    return true;
}

}  // namespace

AppEnvironment::AppEnvironment(Platform platform)
    : migrated_(migrate(platform.defaults, platform.paths)),
      windowService_(platform.desktop, platform.events),
      previewService_(platform.desktop.screenCapture(), platform.scheduler),
      preferenceStore_(platform.defaults, platform.paths, platform.wallClock, platform.events),
      sync_(platform.desktop.cloudAccount(), platform.scheduler),
      model_(std::make_unique<AppModel>(
          AppModel::Platform{platform.desktop, platform.scheduler, platform.events,
                             platform.wallClock, platform.executor,
                             std::move(platform.waitForEventLog), std::move(platform.updates)},
          windowService_, previewService_, preferenceStore_, sync_)) {
    sharedEnvironment() = this;
}

AppEnvironment::~AppEnvironment() {
    if (sharedEnvironment() == this) {
        sharedEnvironment() = nullptr;
    }
}

AppEnvironment* AppEnvironment::shared() {
    return sharedEnvironment();
}

}  // namespace pellucine
