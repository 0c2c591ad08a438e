// KDE Plasma's kglobalshortcutsrc, which every application that registers a global shortcut
// has kglobalaccel write into.
#include "FuzzSupport.h"
#include "platform/KeyModifiers.h"
#include "platform/linux/shortcuts/DesktopAccelerator.h"
#include "platform/linux/shortcuts/PlasmaGlobalShortcuts.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text = fuzz::bytesOf(data, size);
    for (const DesktopShortcut& shortcut : PlasmaGlobalShortcuts::parse(text)) {
        FUZZ_CHECK((shortcut.modifiers & ~KeyModifiers::all) == 0);
        FUZZ_CHECK(shortcut.owner.startsWith(QLatin1String("KDE Plasma: ")));
    }
    // Each line as a written combination of either form.
    for (const QByteArray& line : text.split('\n')) {
        const QString written = QString::fromUtf8(line);
        for (const auto& shortcut :
             {DesktopAccelerator::fromQt(written), DesktopAccelerator::fromGtk(written)}) {
            FUZZ_CHECK(!shortcut || ((shortcut->modifiers & ~KeyModifiers::all) == 0 &&
                                     shortcut->owner.isEmpty()));
        }
    }
    return 0;
}
