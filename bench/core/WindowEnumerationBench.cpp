#include <benchmark/benchmark.h>

#include "core/AccessibilityWindowService.h"
#include "core/WindowCandidateIndex.h"
#include "support/LargeDesktop.h"

namespace pellucine {
namespace {

void enumerate(benchmark::State& state, int perApplication) {
    LargeDesktop large(static_cast<int>(state.range(0)), perApplication);
    AccessibilityWindowService service(large.desktop, large.events);
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.snapshot());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_EnumerateWindows_TenPerApplication(benchmark::State& state) {
    enumerate(state, 10);
}
void BM_EnumerateWindows_OneApplication(benchmark::State& state) {
    enumerate(state, 1 << 30);
}
BENCHMARK(BM_EnumerateWindows_TenPerApplication)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnumerateWindows_OneApplication)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);

// The pairing step alone for one application holding every window, against a scan of every
// candidate for every window.
std::vector<WindowCandidateIndex::Candidate> cascade(int count) {
    std::vector<WindowCandidateIndex::Candidate> out;
    for (int i = 0; i < count; ++i) {
        const int step = i % 40;
        out.push_back({static_cast<quint32>(i + 1), 100,
                       GlobalRect{40.0 + 22 * step, 30.0 + 14 * step, 800, 600}, true, i});
    }
    return out;
}

void BM_PairWindows_Indexed(benchmark::State& state) {
    const auto candidates = cascade(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        WindowCandidateIndex index(candidates);
        for (const auto& c : candidates) {
            benchmark::DoNotOptimize(index.take(100, c.frame));
        }
    }
}

void BM_PairWindows_Scan(benchmark::State& state) {
    const auto candidates = cascade(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<bool> used(candidates.size(), false);
        for (const auto& window : candidates) {
            for (std::size_t i = 0; i < candidates.size(); ++i) {
                if (!used[i] && candidates[i].ownerPID == 100 &&
                    WindowCandidateIndex::framesAgree(candidates[i].frame, window.frame)) {
                    used[i] = true;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(used);
    }
}
BENCHMARK(BM_PairWindows_Indexed)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PairWindows_Scan)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pellucine
