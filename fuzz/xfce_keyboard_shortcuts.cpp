// Xfce's keyboard-shortcuts channel files, the system's defaults and the user's own, which the
// settings daemon and the user's tools write. The input is both files, split at the first NUL.
#include "FuzzSupport.h"
#include "platform/KeyModifiers.h"
#include "platform/linux/shortcuts/XfceKeyboardShortcuts.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype nul = input.indexOf('\0');
    const QList<QByteArray> files =
        nul < 0 ? QList<QByteArray>{input} : QList<QByteArray>{input.left(nul), input.mid(nul + 1)};
    const QList<DesktopShortcut> both = XfceKeyboardShortcuts::parse(files);
    for (const DesktopShortcut& shortcut : both) {
        FUZZ_CHECK((shortcut.modifiers & ~KeyModifiers::all) == 0);
        FUZZ_CHECK(shortcut.owner.startsWith(QLatin1String("Xfce: ")));
    }
    // Files that are not channel files add nothing.
    FUZZ_CHECK(XfceKeyboardShortcuts::parse(files + QList<QByteArray>{"<not-a-channel/>"}) == both);
    return 0;
}
