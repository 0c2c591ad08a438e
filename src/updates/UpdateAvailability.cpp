#include "updates/UpdateAvailability.h"

namespace pellucine {

std::optional<UpdateAvailability::MenuItemText> UpdateAvailability::menuItemText() const {
    if (case_ != Case::available) {
        return std::nullopt;
    }
    return MenuItemText{QStringLiteral("v%1 Available").arg(version_),
                        QStringLiteral("Click to learn more…")};
}

}  // namespace pellucine
