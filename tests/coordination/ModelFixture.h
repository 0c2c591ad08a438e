#pragma once

#include <memory>

#include "ModelFakes.h"
#include "base/ManualExecutor.h"
#include "coordination/AppModel.h"
#include "core/AccessibilityWindowService.h"
#include "core/DesktopFixture.h"
#include "core/ScreenCapturePreviewService.h"
#include "support/TaskOutcome.h"

namespace pellucine::testing {

// The model on the simulated desktop and virtual time, with in-memory preferences, scripted
// sync and a background executor whose jobs run only when the test says so.
class ModelFixture : public DesktopFixture {
  protected:
    ~ModelFixture() override { settle(); }

    // Creates the model over the real window service, or over `service` when given.
    AppModel& makeModel(WindowServicing* service = nullptr) {
        model = std::make_unique<AppModel>(AppModel::Platform{desktop,
                                                              scheduler,
                                                              events,
                                                              scheduler.clocks().wall,
                                                              executor,
                                                              {},
                                                              updateEnvironment},
                                           service != nullptr ? *service : windowService,
                                           previewService, store, sync);
        return *model;
    }

    // Runs background jobs and everything due, moving virtual time on until nothing is left.
    void settle() {
        for (int i = 0; i < 10000; ++i) {
            executor.runAll();
            scheduler.runUntilIdle();
            if (executor.pendingCount() > 0) {
                continue;
            }
            const auto next = scheduler.nextDeadline();
            if (!next) {
                return;
            }
            scheduler.advance(*next - scheduler.now());
        }
        ADD_FAILURE() << "the scheduler never went idle";
    }

    template <typename T>
    std::shared_ptr<TaskOutcome<T>> run(QCoro::Task<T> task) {
        auto outcome = follow(std::move(task));
        settle();
        return outcome;
    }

    ManualExecutor executor{scheduler};
    // What the model's update controller reads of the program.
    UpdateEnvironment updateEnvironment{Bundle({}, {}), {}, {}};
    AccessibilityWindowService windowService{desktop, events};
    ScreenCapturePreviewService previewService{desktop.screenCapture(), scheduler};
    MemoryPreferenceStore store;
    ScriptedPreferenceSync sync{scheduler};
    ScriptedWindowService scripted{scheduler};
    std::unique_ptr<AppModel> model;
};

}  // namespace pellucine::testing
