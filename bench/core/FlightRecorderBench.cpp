#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "core/FlightRecorder.h"

namespace pellucine {
namespace {

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const EventFields& typicalFields() {
    static const EventFields fields{{QStringLiteral("source"), QStringLiteral("command-tab")},
                                    {QStringLiteral("windowCount"), QStringLiteral("4")},
                                    {QStringLiteral("durationMilliseconds"), QStringLiteral("37")},
                                    {QStringLiteral("title"), QStringLiteral("dropped")}};
    return fields;
}

void fillLog(const QString& directory, int lines) {
    FlightRecorder recorder(directory);
    for (int i = 0; i < lines; ++i) {
        recorder.record(QStringLiteral("glance-shown"), typicalFields());
    }
    recorder.drain();
}

// What a caller on the main thread pays: stamping, filtering and queueing, no disk work. The
// worker writes meanwhile; its backlog is written after the timed loop.
void BM_RecordCallerSide(benchmark::State& state) {
    QTemporaryDir folder;
    FlightRecorder recorder(folder.path() + QStringLiteral("/diagnostics"));
    for (auto _ : state) {
        recorder.record(QStringLiteral("glance-shown"), typicalFields());
    }
    // Outside the timed loop.
    recorder.drain();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordCallerSide)->Iterations(200'000)->Repetitions(3)->ReportAggregatesOnly();

void BM_RecordSkippedEvent(benchmark::State& state) {
    QTemporaryDir folder;
    FlightRecorder recorder(folder.path() + QStringLiteral("/diagnostics"));
    for (auto _ : state) {
        recorder.record(QStringLiteral("switcher-committed"), typicalFields());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordSkippedEvent);

// Events per second through to disk, trims included: batches of 1000 recorded and drained
// onto a log that already holds 4000 lines, so that it keeps crossing the trim bound.
void BM_SustainedThroughput(benchmark::State& state) {
    QTemporaryDir folder;
    const QString directory = folder.path() + QStringLiteral("/diagnostics");
    fillLog(directory, FlightRecorder::maximumLines);
    FlightRecorder recorder(directory);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            recorder.record(QStringLiteral("glance-shown"), typicalFields());
        }
        recorder.drain();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.counters["lines"] = static_cast<double>(
        FlightRecorder::readRecentEvents(directory, std::numeric_limits<int>::max()).size());
}
BENCHMARK(BM_SustainedThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

// The diagnostics window's read of a full log.
void BM_ReadRecentEvents(benchmark::State& state) {
    QTemporaryDir folder;
    const QString directory = folder.path() + QStringLiteral("/diagnostics");
    fillLog(directory, 4500);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FlightRecorder::readRecentEvents(directory, 150));
    }
}
BENCHMARK(BM_ReadRecentEvents)->Unit(benchmark::kMicrosecond);

// The newest ten events of a log grown far past its bound (a trim that never ran), `range(0)`
// MiB of typical lines. Reports the growth of the process's peak memory while reading.
void BM_ReadRecentEventsHugeLog(benchmark::State& state) {
    QTemporaryDir folder;
    const QString directory = folder.path() + QStringLiteral("/diagnostics");
    fillLog(directory, 1);
    QFile log(FlightRecorder::logFilePath(directory));
    if (!log.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no log");
        return;
    }
    const QByteArray line = log.readAll();
    log.close();
    QByteArray block;
    while (block.size() < (1 << 20)) {
        block += line;
    }
    if (!log.open(QIODevice::WriteOnly)) {
        state.SkipWithError("log not writable");
        return;
    }
    for (qint64 i = 0; i < state.range(0); ++i) {
        log.write(block);
    }
    log.close();
    const long peakBefore = peakResidentKiB();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FlightRecorder::readRecentEvents(directory, 10));
    }
    state.counters["peakGrowthMiB"] = static_cast<double>(peakResidentKiB() - peakBefore) / 1024;
}
BENCHMARK(BM_ReadRecentEventsHugeLog)->Arg(32)->Arg(320)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pellucine
