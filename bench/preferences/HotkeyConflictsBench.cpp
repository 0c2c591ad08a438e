#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "platform/sim/SimulatedKeyboardShortcutSettings.h"
#include "preferences/HotkeyConflicts.h"

namespace pellucine {
namespace {

// A full symbolic hot-key dictionary (about 200 entries, a few switched off) and a desktop with
// 40 bindings: the size of a busy desktop.
HotkeyConflicts::Sources busySources() {
    HotkeyConflicts::Sources sources;
    for (int id = 0; id < 200; ++id) {
        sources.symbolicHotKeys->insert(
            QString::number(id),
            QJsonObject{
                {"enabled", id % 7 != 0},
                {"value", QJsonObject{{"parameters", QJsonArray{65535, id % 120, 0x40000}}}}});
    }
    for (int i = 0; i < 40; ++i) {
        sources.desktopShortcuts.append({{quint32(i), KeyCombo::option | KeyCombo::control},
                                         QStringLiteral("Openbox: binding")});
    }
    return sources;
}

// The default window-search hotkey is free, so every source is searched to the end.
void BM_OwnerOfAFreeCombination(benchmark::State& state) {
    const HotkeyConflicts::Sources sources = busySources();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            HotkeyConflicts::owner(49, KeyCombo::shift | KeyCombo::command, sources));
    }
}
BENCHMARK(BM_OwnerOfAFreeCombination)->Unit(benchmark::kMicrosecond);

void BM_ReadSourcesFromFiles(benchmark::State& state) {
    QTemporaryDir dir;
    const AppPaths paths = AppPaths::under(dir.path());
    const auto write = [&](const QString& relative, const QJsonObject& object) {
        const QString path = paths.applicationSupport + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QJsonDocument(object).toJson());
    };
    const QJsonObject combo{{"keyCode", 49}, {"modifiers", 0x120000}};
    write("Garnock/settings.json", {{"launcherHotkey", combo}, {"clipboardHotkey", combo}});
    QJsonArray shortcuts;
    for (int i = 0; i < 50; ++i) {
        shortcuts << QStringLiteral("shortcutNumber%1").arg(i) << combo;
    }
    write("Quorrel/settings.json", {{"shortcuts", shortcuts}});
    write("Plim/settings.json", {{"itemHotkeys", QJsonArray{QJsonObject{{"shortcut", combo}}}}});
    SimulatedKeyboardShortcutSettings settings;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HotkeyConflicts::readSources(settings, paths));
    }
}
BENCHMARK(BM_ReadSourcesFromFiles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pellucine
