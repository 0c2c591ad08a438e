#include <benchmark/benchmark.h>

#include <atomic>

#include "base/SerialQueue.h"

namespace pellucine {
namespace {

// Submitting one small item while the worker runs the earlier ones.
void BM_SerialQueueAsync(benchmark::State& state) {
    SerialQueue queue(QStringLiteral("bench.serial"));
    std::atomic<long> sum{0};
    long i = 0;
    for (auto _ : state) {
        queue.async([&sum, i] { sum.fetch_add(i, std::memory_order_relaxed); });
        ++i;
    }
    // Outside the timed loop.
    queue.drain();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SerialQueueAsync)->Iterations(1'000'000);

// One item and a drain: the hand-off to the worker and back.
void BM_SerialQueueRoundTrip(benchmark::State& state) {
    SerialQueue queue(QStringLiteral("bench.serial"));
    for (auto _ : state) {
        queue.async([] {});
        queue.drain();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SerialQueueRoundTrip)->UseRealTime();

}  // namespace
}  // namespace pellucine
