#pragma once

#include <QString>
#include <optional>

namespace pellucine {

class UpdateController;

// What the status menu shows of the updater.
struct UpdateOffer {
    bool canUpdateItself = false;
    // The version an available update offers; none when nothing is offered.
    std::optional<QString> availableVersion;
    // This program's short version, "0.0.0" when the bundle has none.
    QString currentVersion;
};

UpdateOffer updateOffer(const UpdateController& updates);

}  // namespace pellucine
