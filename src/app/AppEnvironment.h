#pragma once

#include <functional>
#include <memory>

#include "base/AppPaths.h"
#include "base/BackgroundExecutor.h"
#include "base/Clock.h"
#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/KeyValueStore.h"
#include "preferences/PreferenceStore.h"
#include "updates/UpdateEnvironment.h"

namespace pellucine {

class AppModel;
class Desktop;

// The one shared model of the program and the services it is made over. Creating it migrates the
// earlier build's defaults (once in the life of the defaults), then makes the window service,
// the preview service, the preference store, the sync service and the model, in that order.
// One exists while the program runs. Main thread.
class AppEnvironment {
  public:
    // What the environment is made on; all of it outlives the environment.
    struct Platform {
        Desktop& desktop;
        Scheduler& scheduler;
        EventRecording& events;
        const WallClock& wallClock;
        BackgroundExecutor& executor;
        // The user defaults.
        KeyValueStore& defaults;
        AppPaths paths;
        // Returns once every event recorded so far is written.
        std::function<void()> waitForEventLog;
        UpdateEnvironment updates = UpdateEnvironment::ofProcess();
    };

    explicit AppEnvironment(Platform platform);
    ~AppEnvironment();
    AppEnvironment(const AppEnvironment&) = delete;
    AppEnvironment& operator=(const AppEnvironment&) = delete;

    // The running program's environment; null before it is made and after it is gone.
    static AppEnvironment* shared();

    AppModel& model() const { return *model_; }

  private:
    // Runs before the services are made.
    bool migrated_;
    AccessibilityWindowService windowService_;
    ScreenCapturePreviewService previewService_;
    PreferenceStore preferenceStore_;
    CloudPreferenceSync sync_;
    std::unique_ptr<AppModel> model_;
};

}  // namespace pellucine
