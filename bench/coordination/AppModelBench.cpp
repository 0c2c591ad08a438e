#include <benchmark/benchmark.h>

#include "base/ManualExecutor.h"
#include "support/LargeDesktop.h"
#include "support/ModelHarness.h"

namespace pellucine {
namespace {

// refreshWindows over the simulated desktop: the snapshot, publishing the list, reading the live
// window numbers and pruning a full picture cache.
void BM_RefreshWindows(benchmark::State& state) {
    LargeDesktop large(static_cast<int>(state.range(0)), 10);
    ManualExecutor executor(large.scheduler);
    ModelHarness harness(large.desktop, large.scheduler, large.events,
                         large.scheduler.clocks().wall, executor);
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    for (quint32 window = 100; window < 100 + AppModel::cacheCapacity; ++window) {
        harness.model.previewCache().store(picture, window, large.scheduler.now());
    }
    executor.runAll();
    large.scheduler.runUntilIdle();
    for (auto _ : state) {
        QCoro::Task<void> refresh = harness.model.refreshWindows();
        large.scheduler.runUntilIdle();
        benchmark::DoNotOptimize(harness.model.applications().value().size());
    }
    state.counters["cachedEntries"] =
        static_cast<double>(harness.model.previewCache().entries().size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RefreshWindows)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pellucine
