// The other programs' settings that hotkey conflicts are read from (an INI file of defaults and
// three JSON files) and the system's symbolic hot keys, each any bytes; then who owns a few
// combinations taken from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <QJsonDocument>

#include "FuzzSupport.h"
#include "platform/sim/SimulatedKeyboardShortcutSettings.h"
#include "preferences/HotkeyConflicts.h"
#include "preferences/SettingsFileStore.h"

using namespace pellucine;

namespace {

QByteArray take(FuzzedDataProvider& input) {
    const std::string part = input.ConsumeRandomLengthString(4096);
    return QByteArray(part.data(), static_cast<qsizetype>(part.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    static const AppPaths paths = AppPaths::under(fuzz::scratchFolder());
    fuzz::writeFile(
        SettingsFileStore::domainFilePath(paths, QStringLiteral("com.orrinvale.ravelin")),
        take(input));
    fuzz::writeFile(HotkeyConflicts::garnockSettingsPath(paths), take(input));
    fuzz::writeFile(paths.applicationSupport + QStringLiteral("/Quorrel/settings.json"),
                    take(input));
    fuzz::writeFile(paths.applicationSupport + QStringLiteral("/Plim/settings.json"), take(input));
    SimulatedKeyboardShortcutSettings settings;
    settings.setSymbolicHotKeys(QJsonDocument::fromJson(take(input)).object());

    const HotkeyConflicts::Sources sources = HotkeyConflicts::readSources(settings, paths);
    for (const auto& shortcut : sources.otherShortcuts) {
        FUZZ_CHECK((shortcut.combo.modifiers & ~KeyCombo::allModifiers) == 0);
        FUZZ_CHECK(!shortcut.owner.isEmpty());
    }
    while (input.remaining_bytes() > 0) {
        const auto keyCode = input.ConsumeIntegral<quint32>();
        const auto modifiers = input.ConsumeIntegral<quint64>();
        const auto owner = HotkeyConflicts::owner(keyCode, modifiers, sources);
        FUZZ_CHECK(!owner || !owner->isEmpty());
        // Bits outside the four modifiers never change the answer.
        FUZZ_CHECK(HotkeyConflicts::owner(keyCode, modifiers & KeyCombo::allModifiers, sources) ==
                   owner);
    }
    return 0;
}
