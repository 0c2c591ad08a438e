#pragma once

#include <QCoro/QCoroTask>
#include <memory>

#include "coordination/AppModel.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"
#include "preferences/PreferenceStoring.h"
#include "preferences/PreferenceSyncing.h"

namespace pellucine {

// Preferences kept in memory, starting from the defaults.
class BenchPreferenceStore final : public PreferenceStoring {
  public:
    PortablePreferences loadPortablePreferences() override { return portable; }
    MachinePreferences loadMachinePreferences() override { return {}; }
    void savePortablePreferences(const PortablePreferences& p) override { portable = p; }
    void saveMachinePreferences(const MachinePreferences&) override {}
    PortablePreferences importSettings(const QString&) override { return portable; }

    PortablePreferences portable;
};

// Sync that is never switched on.
class NoPreferenceSync final : public PreferenceSyncing {
  public:
    bool isConfigured() const override { return false; }
    QCoro::Task<void> push(PortablePreferences) override { co_return; }
    QCoro::Task<std::optional<PortablePreferences>> pull() override { co_return std::nullopt; }
};

// The model over a desktop's own window and picture services.
struct ModelHarness {
    ModelHarness(Desktop& desktop, Scheduler& scheduler, EventRecording& events,
                 const WallClock& wallClock, BackgroundExecutor& executor)
        : windows(desktop, events),
          previews(desktop.screenCapture(), scheduler),
          model(AppModel::Platform{desktop, scheduler, events, wallClock, executor, {}}, windows,
                previews, store, sync) {}

    AccessibilityWindowService windows;
    ScreenCapturePreviewService previews;
    BenchPreferenceStore store;
    NoPreferenceSync sync;
    AppModel model;
};

}  // namespace pellucine
