#include <benchmark/benchmark.h>

#include "platform/x11/X11ApplicationRegistry.h"

namespace pellucine {
namespace {

// Grouping a desktop of `range(0)` clients, four to a process, into applications: the cost of
// every read of a desktop that a client has flooded with windows.
void BM_GroupManyWindowsIntoApplications(benchmark::State& state) {
    const auto count = static_cast<qsizetype>(state.range(0));
    X11DesktopSnapshot snapshot;
    for (qsizetype i = 0; i < count; ++i) {
        X11WindowInfo info;
        info.window = static_cast<xcb_window_t>(0x400000 + i);
        info.pid = static_cast<qint32>(1000 + i / 4);
        info.resourceClass = QStringLiteral("Flood");
        snapshot.windows.append(info);
        snapshot.mappingOrder.append(info.window);
    }
    snapshot.activeWindow = snapshot.windows.last().window;
    X11ApplicationRegistry registry({}, ProcessInfo(QStringLiteral("/nonexistent")));
    for (auto _ : state) {
        benchmark::DoNotOptimize(registry.applications(snapshot));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GroupManyWindowsIntoApplications)
    ->RangeMultiplier(4)
    ->Range(256, 16384)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace pellucine
