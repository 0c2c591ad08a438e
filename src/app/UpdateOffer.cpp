#include "app/UpdateOffer.h"

#include "core/Bundle.h"
#include "updates/UpdateController.h"

namespace pellucine {

UpdateOffer updateOffer(const UpdateController& updates) {
    UpdateOffer offer;
    // The updater exists only where the program can replace itself.
    offer.canUpdateItself = updates.hasUpdater();
    offer.availableVersion = updates.availableVersion();
    offer.currentVersion =
        Bundle::infoString(QStringLiteral("CFBundleShortVersionString"), Bundle::main())
            .value_or(QStringLiteral("0.0.0"));
    return offer;
}

}  // namespace pellucine
