#include <benchmark/benchmark.h>

#include "panels/SearchCandidates.h"

namespace pellucine {
namespace {

using bench::makeCandidates;
using WindowSearch::Candidate;

void rankPrepared(benchmark::State& state, const QString& query) {
    const WindowSearch::Index index(makeCandidates(static_cast<int>(state.range(0))));
    qsizetype results = 0;
    for (auto _ : state) {
        const auto ranked = index.rank(query);
        results = ranked.size();
        benchmark::DoNotOptimize(ranked);
    }
    state.counters["results"] = static_cast<double>(results);
}

// Two words, each found in most windows: nearly every window is scored, kept and sorted.
void BM_RankTwoWordsBroad(benchmark::State& state) {
    rankPrepared(state, QStringLiteral("re ma"));
}
BENCHMARK(BM_RankTwoWordsBroad)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Two words every window holds, one of them only in its application name: the worst case.
void BM_RankTwoWordsEveryWindow(benchmark::State& state) {
    rankPrepared(state, QStringLiteral("e application"));
}
BENCHMARK(BM_RankTwoWordsEveryWindow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Two words that few windows hold.
void BM_RankTwoWordsNarrow(benchmark::State& state) {
    rankPrepared(state, QStringLiteral("quarterly budget"));
}
BENCHMARK(BM_RankTwoWordsNarrow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The opening list: every window, sorted by recency and focus.
void BM_RankEmptyQuery(benchmark::State& state) {
    rankPrepared(state, QString());
}
BENCHMARK(BM_RankEmptyQuery)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Folding every title and application name, once per candidate list.
void BM_BuildIndex(benchmark::State& state) {
    const QList<Candidate> candidates = makeCandidates(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        WindowSearch::Index index(candidates);
        benchmark::DoNotOptimize(index);
    }
}
BENCHMARK(BM_BuildIndex)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Folding and ranking together, as a caller without an index pays on every keystroke.
void BM_RankUnprepared(benchmark::State& state) {
    const QList<Candidate> candidates = makeCandidates(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(WindowSearch::rank(QStringLiteral("re ma"), candidates));
    }
}
BENCHMARK(BM_RankUnprepared)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Indexing one window whose application name is `state.range(0)` characters of a kind that
// once cost quadratic time.
void buildIndexWithHugeName(benchmark::State& state, const QString& name) {
    Candidate c;
    c.window.id = 1;
    c.window.title = QStringLiteral("huge");
    c.window.applicationName = name;
    const QList<Candidate> candidates{c};
    for (auto _ : state) {
        WindowSearch::Index index(candidates);
        benchmark::DoNotOptimize(index);
    }
    state.SetComplexityN(state.range(0));
}

// A run of regional indicators: each pair is a flag.
void BM_BuildIndexRegionalIndicators(benchmark::State& state) {
    QString name;
    for (qint64 i = 0; i < state.range(0); ++i) {
        name += QString::fromUcs4(U"\U0001F1E6");
    }
    buildIndexWithHugeName(state, name);
}
BENCHMARK(BM_BuildIndexRegionalIndicators)
    ->RangeMultiplier(4)
    ->Range(8 << 10, 128 << 10)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// One letter carrying marks of two classes, alternating, that canonical ordering interleaves.
void BM_BuildIndexAlternatingMarks(benchmark::State& state) {
    QString name = QStringLiteral("a");
    for (qint64 i = 0; i < state.range(0); ++i) {
        name += QChar(i % 2 == 0 ? 0x0301 : 0x0316);
    }
    buildIndexWithHugeName(state, name);
}
BENCHMARK(BM_BuildIndexAlternatingMarks)
    ->RangeMultiplier(4)
    ->Range(4 << 10, 64 << 10)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace pellucine
