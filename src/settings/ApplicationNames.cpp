#include "settings/ApplicationNames.h"

#include <memory>

#include "platform/linux/DesktopEntries.h"

namespace pellucine::ApplicationNames {

ApplicationNameLookup fromDesktopEntries(QStringList folders) {
    auto entries = std::make_shared<std::optional<DesktopEntries>>();
    return [entries,
            folders = std::move(folders)](const QString& identifier) -> std::optional<QString> {
        if (!*entries) {
            *entries = DesktopEntries::load(folders.isEmpty() ? DesktopEntries::standardFolders()
                                                              : folders);
        }
        if (const DesktopEntry* entry = (*entries)->byId(identifier)) {
            return entry->name;
        }
        return std::nullopt;
    };
}

}  // namespace pellucine::ApplicationNames
