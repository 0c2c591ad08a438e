#pragma once

#include <QString>

#include "updates/UpdateAvailability.h"

namespace pellucine {

class UpdateController;

// What the status menu shows of the updater.
struct UpdateOffer {
    bool canUpdateItself = false;
    // Only an available update is offered.
    UpdateAvailability available;
    // This program's short version, "0.0.0" when the bundle has none.
    QString currentVersion;
};

UpdateOffer updateOffer(const UpdateController& updates);

}  // namespace pellucine
