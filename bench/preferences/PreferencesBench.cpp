#include <benchmark/benchmark.h>

#include <QJsonDocument>
#include <QTemporaryDir>

#include "base/EventRecording.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "preferences/KeyCombo.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsEnvelope.h"
#include "preferences/SettingsFileStore.h"

namespace pellucine {
namespace {

class NoEvents final : public EventRecording {
  public:
    using EventRecording::record;
    void record(const QString&, const EventFields&) override {}
};

PortablePreferences sample() {
    PortablePreferences p = PortablePreferences::makeDefault(QDateTime::currentDateTimeUtc());
    for (int i = 0; i < 20; ++i) {
        p.excludedDockAppBundleIdentifiers << QStringLiteral("com.example.app%1").arg(i);
    }
    return p;
}

void BM_KeycapLabels(benchmark::State& state) {
    std::uint32_t code = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(KeyCombo::keycapLabels(code, 0x1E0000));
        code = (code + 1) % 128;
    }
}
BENCHMARK(BM_KeycapLabels);

void BM_DecodePortable(benchmark::State& state) {
    const QByteArray data = PreferenceStore::encode(sample().toJson());
    for (auto _ : state) {
        benchmark::DoNotOptimize(PortablePreferences::fromJsonData(data));
    }
}
BENCHMARK(BM_DecodePortable);

void BM_EncodePortable(benchmark::State& state) {
    const PortablePreferences p = sample();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PreferenceStore::encode(p.normalized().toJson()));
    }
}
BENCHMARK(BM_EncodePortable);

void BM_SaveAndLoadInMemory(benchmark::State& state) {
    InMemoryKeyValueStore defaults;
    NoEvents events;
    QTemporaryDir dir;
    PreferenceStore store(defaults, AppPaths::under(dir.path()), systemWallClock(), events);
    const PortablePreferences p = sample();
    for (auto _ : state) {
        store.savePortablePreferences(p);
        benchmark::DoNotOptimize(store.loadPortablePreferences());
    }
}
BENCHMARK(BM_SaveAndLoadInMemory);

// Every save goes to disk at once.
void BM_SaveToSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const AppPaths paths = AppPaths::under(dir.path());
    SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths));
    NoEvents events;
    PreferenceStore store(defaults, paths, systemWallClock(), events);
    PortablePreferences p = sample();
    for (auto _ : state) {
        p.dockHoverDelayMilliseconds = p.dockHoverDelayMilliseconds == 300 ? 400 : 300;
        store.savePortablePreferences(p);
    }
}
BENCHMARK(BM_SaveToSettingsFile)->Unit(benchmark::kMicrosecond);

// The largest accepted export: one record padded to 1 MiB.
void BM_DecodeImportOneMebibyte(benchmark::State& state) {
    SettingsEnvelope envelope;
    envelope.portable = sample();
    QByteArray data = QJsonDocument(envelope.toJson()).toJson(QJsonDocument::Compact);
    data.chop(1);
    data.append(QByteArray(PreferenceStore::importSizeLimit - data.size() - 1, ' '));
    data.append('}');
    for (auto _ : state) {
        benchmark::DoNotOptimize(PreferenceStore::decodeImport(data));
    }
}
BENCHMARK(BM_DecodeImportOneMebibyte)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pellucine
