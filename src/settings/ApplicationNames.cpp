#include "settings/ApplicationNames.h"

#include <memory>

#include "platform/x11/X11DesktopEntries.h"

namespace pellucine::ApplicationNames {

ApplicationNameLookup fromDesktopEntries(QStringList folders) {
    auto entries = std::make_shared<std::optional<X11DesktopEntries>>();
    return [entries,
            folders = std::move(folders)](const QString& identifier) -> std::optional<QString> {
        if (!*entries) {
            *entries = X11DesktopEntries::load(
                folders.isEmpty() ? X11DesktopEntries::standardFolders() : folders);
        }
        if (const X11DesktopEntry* entry = (*entries)->byId(identifier)) {
            return entry->name;
        }
        return std::nullopt;
    };
}

}  // namespace pellucine::ApplicationNames
