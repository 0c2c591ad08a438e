#pragma once

#include <memory>

#include "X11TestDesktop.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "base/ThreadPoolExecutor.h"
#include "coordination/AppModel.h"
#include "coordination/ModelFakes.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"

namespace pellucine::testing {

// The model on the X11 port, with the program's own scheduler and thread pool. Suites set the
// preferences in `store` in their SetUp before calling makeModel().
class X11ModelTest : public X11PortTest {
  protected:
    void makeModel() {
        windows = std::make_unique<AccessibilityWindowService>(*port, events);
        previews = std::make_unique<ScreenCapturePreviewService>(port->screenCapture(), scheduler);
        model = std::make_unique<AppModel>(
            AppModel::Platform{*port, scheduler, events, systemWallClock(), executor, {}}, *windows,
            *previews, store, sync);
    }

    // Every window the model lists after a refresh.
    QList<WindowDescriptor> listedWindows() {
        std::exception_ptr failure;
        EXPECT_TRUE(await(model->refreshWindows(), failure));
        QList<WindowDescriptor> all;
        for (const ApplicationDescriptor& application : model->applications().value()) {
            all += application.windows;
        }
        return all;
    }

    QtScheduler scheduler{systemContinuousClock()};
    ThreadPoolExecutor executor;
    RecordingEventLog events;
    MemoryPreferenceStore store;
    ScriptedPreferenceSync sync{scheduler};
    std::unique_ptr<AccessibilityWindowService> windows;
    std::unique_ptr<ScreenCapturePreviewService> previews;
    std::unique_ptr<AppModel> model;
};

}  // namespace pellucine::testing
