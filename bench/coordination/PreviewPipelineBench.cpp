#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>

#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "base/ThreadPoolExecutor.h"
#include "support/LargeDesktop.h"
#include "support/ModelHarness.h"

namespace pellucine {
namespace {

void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "coordination_bench";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }
}

// The simulated desktop on real time: `windowCount` on-screen windows of 800 x 600 points,
// five to an application, each pictured as a textured picture (coarse noise, which compresses
// worse than most windows do).
struct TimedDesktop {
    explicit TimedDesktop(int windowCount) {
        ensureApplication();
        desktop.setOwnProcessIdentifier(1);
        for (int a = 0; a < (windowCount + 4) / 5; ++a) {
            RunningApplication app;
            app.processIdentifier = 100 + a;
            app.bundleIdentifier = QStringLiteral("com.example.app%1").arg(a);
            app.localizedName = QStringLiteral("App %1").arg(a);
            desktop.addApplication(app);
        }
        QRandomGenerator random(7);
        for (int i = 0; i < windowCount; ++i) {
            SimulatedWindow w;
            w.ownerPID = 100 + i / 5;
            w.title = QStringLiteral("Document %1").arg(i);
            w.frame = {20.0 * (i % 30), 15.0 * (i % 30), 800, 600};
            const quint32 number = desktop.addWindow(w);
            QImage texture(200, 150, QImage::Format_RGB32);
            for (int y = 0; y < texture.height(); ++y) {
                for (int x = 0; x < texture.width(); ++x) {
                    texture.setPixel(x, y, random.generate() | 0xFF000000u);
                }
            }
            desktop.simulatedCapture().setPicture(number, texture);
        }
    }

    QList<WindowDescriptor> windows(AppModel& model) {
        runToEnd(model.refreshWindows());
        QList<WindowDescriptor> all;
        for (const ApplicationDescriptor& application : model.applications().value()) {
            all += application.windows;
        }
        return all;
    }

    QtScheduler scheduler{systemContinuousClock()};
    SimulatedDesktop desktop{scheduler};
    ThreadPoolExecutor executor;
    DiscardedEvents events;
};

// 20 windows at width 260 with nothing cached, on the simulated desktop with the cost of the
// X11 port modelled: 2 ms to list the windows that can be pictured, then the argument's
// milliseconds per picture (about 3 for an xterm, 15 for a full-screen window), four at once.
void BM_LoadTwentyPreviewsSimulated(benchmark::State& state) {
    TimedDesktop timed(20);
    timed.desktop.simulatedCapture().setContentDelay(std::chrono::milliseconds(2));
    timed.desktop.simulatedCapture().setCaptureDelay(std::chrono::milliseconds(state.range(0)));
    ModelHarness harness(timed.desktop, timed.scheduler, timed.events, systemWallClock(),
                         timed.executor, 260);
    const QList<WindowDescriptor> windows = timed.windows(harness.model);
    timeLoads(state, harness.model, windows);
}
BENCHMARK(BM_LoadTwentyPreviewsSimulated)
    ->Arg(3)
    ->Arg(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// Resident memory for a full cache: 150 windows pictured at the argument's width, JPEG copies
// made and the decoded tier trimmed to its 16 pictures.
void BM_FullCacheMemory(benchmark::State& state) {
    TimedDesktop timed(AppModel::cacheCapacity);
    ModelHarness harness(timed.desktop, timed.scheduler, timed.events, systemWallClock(),
                         timed.executor, static_cast<double>(state.range(0)));
    harness.store.portable.keepPreviewsReady = true;
    harness.model.portablePreferences().set(harness.store.portable);
    const QList<WindowDescriptor> windows = timed.windows(harness.model);
    const double before = residentBytes();
    for (auto _ : state) {
        runToEnd(harness.model.warmAllPreviews({}));
        // Let the JPEG copies come back and the decoded tier shrink.
        for (int i = 0; i < 200; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    double hot = 0;
    double copies = 0;
    for (const auto& [window, entry] : harness.model.previewCache().entries()) {
        hot += entry.hot ? static_cast<double>(entry.hot->sizeInBytes()) : 0;
        copies += entry.compressed ? static_cast<double>(entry.compressed->size()) : 0;
    }
    state.counters["entries"] = static_cast<double>(harness.model.previewCache().entries().size());
    state.counters["hotPictures"] = harness.model.previewCache().hotImageCount();
    state.counters["decodedMB"] = hot / 1e6;
    state.counters["jpegMB"] = copies / 1e6;
    state.counters["residentGrowthMB"] = (residentBytes() - before) / 1e6;
    state.counters["windows"] = static_cast<double>(windows.size());
}
BENCHMARK(BM_FullCacheMemory)->Arg(260)->Arg(600)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pellucine
