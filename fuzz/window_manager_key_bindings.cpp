// The window manager's configuration, which names its key bindings; the file is the one named
// on the root window, which any X client can set.
#include "FuzzSupport.h"
#include "platform/KeyModifiers.h"
#include "platform/linux/shortcuts/OpenboxKeyBindings.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const DesktopShortcut& shortcut : OpenboxKeyBindings::parse(fuzz::bytesOf(data, size))) {
        FUZZ_CHECK((shortcut.modifiers & ~KeyModifiers::all) == 0);
        FUZZ_CHECK(shortcut.owner.startsWith(QStringLiteral("Openbox: ")));
    }
    return 0;
}
