#include "settings/SettingsDocument.h"

#include "settings/SettingsTransfer.h"

namespace pellucine {

void SettingsDocument::write(const QString& path) const {
    SettingsTransfer::writeFile(path, data);
}

}  // namespace pellucine
