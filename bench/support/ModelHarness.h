#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QFile>
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
    explicit BenchPreferenceStore(double previewWidth) {
        portable.previewWidth = previewWidth;
        portable.keepPreviewsReady = false;
    }

    PortablePreferences loadPortablePreferences() override { return portable; }
    MachinePreferences loadMachinePreferences() override { return {}; }
    bool savePortablePreferences(const PortablePreferences& p) override {
        portable = p;
        return true;
    }
    bool saveMachinePreferences(const MachinePreferences&) override { return true; }
    PortablePreferences importSettings(const QString&) override { return portable; }

    PortablePreferences portable;
};

// Sync that is never switched on.
class NoPreferenceSync final : public PreferenceSyncing {
  public:
    bool isConfigured() const override { return false; }
    QCoro::Task<std::optional<PortablePreferences>> push(PortablePreferences, StoredWins) override {
        co_return std::nullopt;
    }
    QCoro::Task<std::optional<PortablePreferences>> pull() override { co_return std::nullopt; }
};

// The model over a desktop's own window and picture services.
struct ModelHarness {
    // Pictures for previews `previewWidth` points wide; previews are not kept ready, so every
    // new preview session starts with an empty cache.
    ModelHarness(Desktop& desktop, Scheduler& scheduler, EventRecording& events,
                 const WallClock& wallClock, BackgroundExecutor& executor,
                 double previewWidth = PortablePreferences::defaultPreviewWidth)
        : store(previewWidth),
          windows(desktop, events),
          previews(desktop.screenCapture(), scheduler),
          model(AppModel::Platform{desktop, scheduler, events, wallClock, executor, {}}, windows,
                previews, store, sync) {}

    BenchPreferenceStore store;
    NoPreferenceSync sync;
    AccessibilityWindowService windows;
    ScreenCapturePreviewService previews;
    AppModel model;
};

// Runs the event loop until the task has ended.
inline void runToEnd(QCoro::Task<void> task) {
    bool done = false;
    auto runner = [&](QCoro::Task<void> t) -> QCoro::Task<> {
        try {
            co_await std::move(t);
        } catch (...) {
        }
        done = true;
    };
    auto running = runner(std::move(task));
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// When the first and the last picture of a load were published, in milliseconds since it began.
struct PublishTimes {
    double first = 0;
    double last = 0;
};

// Empties the pictures and the cache, loads the previews of the windows and times their
// publishing.
inline PublishTimes timeLoad(AppModel& model, const QList<WindowDescriptor>& windows) {
    model.advancePreviewSessionGeneration();
    model.resetPreviews();
    QElapsedTimer clock;
    PublishTimes times{-1, -1};
    Subscription published = model.previewImages().subscribe([&](const PreviewImages& images) {
        if (images.isEmpty()) {
            return;
        }
        const double at = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (times.first < 0) {
            times.first = at;
        }
        times.last = at;
    });
    clock.start();
    runToEnd(model.loadPreviews({}, windows));
    return times;
}

// Times one load of the windows' previews per iteration; the time of the last picture is the
// iteration's time, and the counters give both averages.
inline void timeLoads(benchmark::State& state, AppModel& model,
                      const QList<WindowDescriptor>& windows) {
    double first = 0;
    double last = 0;
    for (auto _ : state) {
        const PublishTimes times = timeLoad(model, windows);
        first += times.first;
        last += times.last;
        state.SetIterationTime(times.last / 1000);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["firstPictureMs"] = first / n;
    state.counters["allPicturesMs"] = last / n;
    state.counters["pictures"] = static_cast<double>(model.previewImages().value().size());
    state.counters["windows"] = static_cast<double>(windows.size());
}

// The process's resident memory in bytes.
inline double residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE))
                             : 0;
}

}  // namespace pellucine
