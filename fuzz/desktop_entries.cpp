// An application's desktop entry, as any installed package (or the user) left it, read into the
// menu of applications and looked up by id and window class.
#include "FuzzSupport.h"
#include "platform/linux/DesktopEntries.h"
#include "platform/linux/DesktopEntryGroup.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text = fuzz::bytesOf(data, size);
    if (const auto group = readDesktopEntryGroup(text)) {
        for (auto it = group->begin(); it != group->end(); ++it) {
            FUZZ_CHECK(!it.key().isEmpty());
            FUZZ_CHECK(!it.key().contains(QLatin1Char('\n')) &&
                       !it.value().contains(QLatin1Char('\n')));
        }
    }
    const QString id = QStringLiteral("org.example.App");
    const auto entry = DesktopEntries::parse(id, QStringLiteral("/x.desktop"), text);
    if (entry) {
        FUZZ_CHECK(entry->id == id && !entry->name.isEmpty());
    }

    static const QString folder = fuzz::scratchFolder() + QStringLiteral("/applications");
    fuzz::writeFile(folder + QLatin1Char('/') + id + QStringLiteral(".desktop"), text);
    const DesktopEntries entries = DesktopEntries::load({folder});
    FUZZ_CHECK(entries.size() == (entry ? 1 : 0));
    if (entry) {
        FUZZ_CHECK(entries.byId(id.toUpper()) != nullptr);
        if (!entry->startupWMClass.isEmpty()) {
            FUZZ_CHECK(entries.byWindowClass(entry->startupWMClass) != nullptr);
        }
    }
    return 0;
}
